// window_web.h - input the page hands the browser's window besides what
// emscripten's GLFW reports: presses from the page's buttons and the aim of
// a touch, which this GLFW does not turn into pointer moves.
#pragma once

#include "platform/keys.h"  // Tkey

// Queued after the keys already pressed, read by the next frame as a press
// of that key is.
void WINDOW_WEB_PRESS(Tkey key);

// The pointer at (x, y) canvas pixels over the picture, as a move of the
// pointer there would put it; the next pointer move or leave overrides it.
void WINDOW_WEB_AIM(double x, double y);

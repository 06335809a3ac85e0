// hud.h - the HUD's box and letters as untextured quads.
//
// Rules:
//  - Drawn in the 2D view of the 640 x 480 picture after the sprites and
//    before the picture is presented.
//  - Restores every GL state it changes, so the next frame's sprite pass
//    starts as it always does.
#pragma once

#include "gl/screen.h"         // the 2D view
#include "scene/hud_layout.h"  // what to draw where

void HUD_DRAW(Tscreen& screen, const Thud_layout& layout);

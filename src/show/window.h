// window.h - the window, its GL context and input: the half of the seam
// beside draw.h that every window backend implements (src/window on the
// desktop's GLFW, src/webgl/window_web.cpp on the browser's) and the show's
// loop, the drawing backends and the GL tests use.
//
// Rules:
//  - One window per process, opened once; everything runs on the thread that
//    opened it.
//  - Pixel-format requests are made before the window opens and are kept in
//    a record that tests can read; SCREEN_REQUEST_PIXEL_FORMAT makes the
//    show's, in the show's order.
//  - Mouse coordinates are window pixels, origin at the top-left; (-1, -1)
//    while the cursor is outside the client area or the window is inactive.
//  - Closing the window with its close button does not end anything: the
//    request is dropped, only the program decides when to stop.
//  - Key presses are queued as they happen (while SCREEN_FLIP services the
//    window), so a tap shorter than a frame is never missed; each press is
//    delivered once, auto-repeat is not a press.
//  - Names no window system's or GL's type (docs/ARCHITECTURE.md, rules).
#pragma once

#include <cstring>  // memset of a backend's record

#include "platform/keys.h"           // Tkey, VP_SCANCODE_ESCAPE
#include "platform/runtime_error.h"  // VP_ERR_ILLEGAL_CALL

enum {
  VP_SCREEN_GL = 2,                  // OpenGL mode (always on; windowed)
  VP_SCREEN_MULTISAMPLE = 0x40000,   // samples were requested (SCREEN_REQUEST_PIXEL_FORMAT)
  VP_SCREEN_HIDDEN = 0x1000000       // an offscreen window (capture, tests)
};

enum Tscreen_attribute {
  VP_GL_RED_BITS,
  VP_GL_GREEN_BITS,
  VP_GL_BLUE_BITS,
  VP_GL_ALPHA_BITS,
  VP_GL_DEPTH_BITS,
  VP_GL_SAMPLES,
  VP_GL_ATTRIBUTE_COUNT
};

// The requests made so far, in attribute order; 0 where none was made, and
// `order` lists the attributes in the order they were asked for.
struct Tscreen_requests {
  int value[VP_GL_ATTRIBUTE_COUNT];
  int order[16];
  int count;
};

void SCREEN_GL_REQUEST(Tscreen_attribute attribute, int value);
const Tscreen_requests& SCREEN_GL_REQUESTS();
void SCREEN_GL_REQUESTS_CLEAR();

// The show's pixel format, the same request in every backend: depth / 4 bits
// for each of red, green, blue and alpha, a 24-bit depth buffer, and
// `samples` when at least 1. Returns the flags SCREEN_OPEN then needs
// (VP_SCREEN_MULTISAMPLE when samples were asked for, else 0).
inline int SCREEN_REQUEST_PIXEL_FORMAT(int depth, int samples) {
  const int bits = depth / 4;
  SCREEN_GL_REQUEST(VP_GL_RED_BITS, bits);
  SCREEN_GL_REQUEST(VP_GL_GREEN_BITS, bits);
  SCREEN_GL_REQUEST(VP_GL_BLUE_BITS, bits);
  SCREEN_GL_REQUEST(VP_GL_ALPHA_BITS, bits);
  SCREEN_GL_REQUEST(VP_GL_DEPTH_BITS, 24);
  if (samples < 1) return 0;
  SCREEN_GL_REQUEST(VP_GL_SAMPLES, samples);
  return VP_SCREEN_MULTISAMPLE;
}

// The window opens `scale` times the requested size (1 to 4); the requested
// size stays the size of the picture. Asked before SCREEN_OPEN, like the
// pixel format.
void SCREEN_WINDOW_SCALE(int scale);

// 0 when the mode is acceptable, else VP_ERR_ILLEGAL_CALL: width and height
// at least 1, depth one of 1, 2, 4, 8, 15, 16, 24, 32.
int SCREEN_VALIDATE(int width, int height, int depth);

// Opens the window with a current OpenGL context. 0 on success, else an
// error code of the run-time error facility.
int SCREEN_OPEN(int width, int height, int depth, int pages, int flags, int refresh);
bool SCREEN_IS_OPEN();
void WINDOW_TITLE(const char* title);
void SCREEN_FLIP();  // presents the frame and services the window's events

int KEY_HELD(int scancode);             // -1 while held, else 0; only VP_SCANCODE_ESCAPE is asked
void MOUSE_POSITION(int& x, int& y);    // window pixels or (-1, -1)

// The next queued press, oldest first; false when none is left. Presses of
// other keys are not queued.
bool KEY_PRESS(Tkey& key);

// For the backends' implementations: the request record every backend keeps
// the same way (SCREEN_GL_REQUEST, SCREEN_GL_REQUESTS_CLEAR), and the modes
// SCREEN_VALIDATE accepts.
inline void SCREEN_REQUEST_RECORD(Tscreen_requests& requests, Tscreen_attribute attribute, int value) {
  if (attribute < 0 || attribute >= VP_GL_ATTRIBUTE_COUNT) return;
  requests.value[attribute] = value;
  if (requests.count < static_cast<int>(sizeof requests.order / sizeof requests.order[0]))
    requests.order[requests.count++] = attribute;
}

inline void SCREEN_REQUEST_CLEAR(Tscreen_requests& requests) { std::memset(&requests, 0, sizeof requests); }

// 0 when a screen may open in this mode, else VP_ERR_ILLEGAL_CALL: what
// every backend's SCREEN_VALIDATE answers.
inline int SCREEN_MODE_ERROR(int width, int height, int depth) {
  if (width <= 0 || height <= 0) return VP_ERR_ILLEGAL_CALL;
  switch (depth) {
    case 1: case 2: case 4: case 8: case 15: case 16: case 24: case 32: return 0;
    default: return VP_ERR_ILLEGAL_CALL;
  }
}

// gl_window.h - the one window of a GL test process.
//
// Each GL test runs in its own process (CTest runs them one by one), so the
// window opens on first use and the GL state starts fresh for every test.
// Multisampling is off so that pixel edges are exact.
#pragma once

#include "gl/atlas.h"         // the sprites' texture
#include "gl/screen.h"        // the screen under test
#include "render/picture.h"   // frames as a person sees them

constexpr int VP_TEST_WIDTH = 640;
constexpr int VP_TEST_HEIGHT = 480;

// 640 x 480, depth 32, no samples, INIT_GL_SCREEN done.
Tscreen& TEST_SCREEN();

// The atlas as the show loads it: decoded, a bad file warned about in the
// show's words, then uploaded.
Tatlas LOAD_TEST_ATLAS(const char* file);

// The whole back buffer, top row first.
inline Tpicture READ_FRAME() { return READ_BACK_BUFFER(VP_TEST_WIDTH, VP_TEST_HEIGHT); }

// One pixel of a frame, addressed the way the 2D view addresses it: (x, y)
// with y counted down from the top row.
inline const std::uint8_t* PIXEL_AT(const Tpicture& frame, int x, int y) { return frame.at(x, y); }

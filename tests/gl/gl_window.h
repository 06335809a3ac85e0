// gl_window.h - the one window of a GL test process.
//
// Each GL test runs in its own process (CTest runs them one by one), so the
// window opens on first use and the GL state starts fresh for every test.
// Multisampling is off so that pixel edges are exact.
#pragma once

#include <cstdint>  // pixels
#include <vector>   // frame read-back

#include "render/screen.h"  // the screen under test

constexpr int VP_TEST_WIDTH = 640;
constexpr int VP_TEST_HEIGHT = 480;

// 640 x 480, depth 32, no samples, INIT_GL_SCREEN done.
Tscreen& TEST_SCREEN();

// The back buffer as RGBA bytes, rows bottom to top as GL reads them.
std::vector<std::uint8_t> READ_FRAME_RGBA();

// One pixel of a READ_FRAME_RGBA frame, addressed the way the 2D view
// addresses it: (x, y) with y counted down from the top row.
inline const std::uint8_t* PIXEL_AT(const std::vector<std::uint8_t>& frame, int x, int y) {
  return &frame[(static_cast<std::size_t>(VP_TEST_HEIGHT - 1 - y) * VP_TEST_WIDTH + x) * 4];
}

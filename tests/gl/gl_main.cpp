// gl_main.cpp - the GL tests' entry and their window.
#include <GL/gl.h>         // read-back
#include <gtest/gtest.h>   // the runner

#include "gl_window.h"
#include "platform/window.h"  // VP_SCREEN_GL

Tscreen& TEST_SCREEN() {
  static Tscreen* screen = [] {
    int flags = VP_SCREEN_GL;
    auto* s = new Tscreen(VP_TEST_WIDTH, VP_TEST_HEIGHT, 32, 1, 0, flags);
    s->INIT_GL_SCREEN();
    return s;
  }();
  return *screen;
}

std::vector<std::uint8_t> READ_FRAME_RGBA() {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(VP_TEST_WIDTH) * VP_TEST_HEIGHT * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, VP_TEST_WIDTH, VP_TEST_HEIGHT, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

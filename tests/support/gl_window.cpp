// gl_window.cpp - the GL tests' entry and their window.
#include "support/gl_window.h"

#include <gtest/gtest.h>  // the runner

#include "show/show.h"      // SHOW_READ_ATLAS: the show's decoding and warning
#include "show/window.h"  // VP_SCREEN_GL

Tscreen& TEST_SCREEN() {
  static Tscreen* screen = [] {
    int flags = VP_SCREEN_GL;
    auto* s = new Tscreen(VP_TEST_WIDTH, VP_TEST_HEIGHT, 32, 1, 0, flags);
    s->INIT_GL_SCREEN();
    return s;
  }();
  return *screen;
}

Tatlas LOAD_TEST_ATLAS(const char* file) {
  Tatlas_pixels pixels;
  SHOW_READ_ATLAS(file, pixels);
  return ATLAS_UPLOAD(pixels);
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

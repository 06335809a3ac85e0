// capture_test.cpp - a captured frame shows the show's own frame, upright:
// the emitter rings in a vorpane-capture picture sit where the simulation
// puts the emitters in that frame, y counted down from the top row.
#include <FreeImage.h>    // reading the captured PNG
#include <gtest/gtest.h>  // the runner

#include <algorithm>  // min, max
#include <cmath>      // hypot
#include <cstdio>   // the frame file's name
#include <cstdlib>  // system
#include <string>   // paths and commands

#include "game/scene.h"        // the simulation the capture must match
#include "platform/console.h"  // the schedules' reports, kept off the test output
#include "platform/random.h"   // the fixed initial state the show builds from

namespace {

struct Tspot {
  float x;
  float y;
};

// Where each emitter's ring is centred after `frames` frames with the mouse
// outside the window: its sprite is 32 x 32 from the top-left corner (X, Y).
void emitter_centres(long frames, Tspot (&centres)[VP_EMITTER_COUNT]) {
  Tconsole_capture quiet;
  RANDOM_RESET();
  Tscene scene;
  BUILD_SCENE(scene);
  for (long frame = 1; frame <= frames; ++frame) {
    scene.target = {-1.0f, -1.0f};
    STEP_SCENE(scene);
  }
  for (int i = 0; i < VP_EMITTER_COUNT; ++i)
    centres[i] = {scene.emitters[i].X() + 16.0f, scene.emitters[i].Y() + 16.0f};
  DESTROY_SCENE(scene);
}

// The ring's colour: strong blue and green, little red. Bullets are pink
// and white, so they do not pass.
bool ring_coloured(const BYTE* pixel) {
  return pixel[FI_RGBA_BLUE] > 150 && pixel[FI_RGBA_GREEN] > 120 && pixel[FI_RGBA_RED] < 110;
}

// The centre of the ring-coloured pixels within 20 pixels of `near`, taken
// from their outermost extent: a bullet over the ring hides some of its
// pixels (additive pink over cyan is no longer cyan), which would pull an
// average aside, but rarely all four extremes at once. False when there are
// too few pixels to be a ring.
bool ring_centre(FIBITMAP* picture, Tspot near, Tspot& centre) {
  const int height = static_cast<int>(FreeImage_GetHeight(picture));
  const int width = static_cast<int>(FreeImage_GetWidth(picture));
  int left = width, right = -1, top = height, bottom = -1;
  long count = 0;
  for (int y = 0; y < height; ++y) {
    // Scan line 0 is the picture's bottom row.
    const BYTE* line = FreeImage_GetScanLine(picture, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      if (std::hypot(x + 0.5 - near.x, y + 0.5 - near.y) > 20.0) continue;
      if (!ring_coloured(line + x * 3)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      ++count;
    }
  }
  if (count < 30) return false;
  centre = {(left + right + 1) / 2.0f, (top + bottom + 1) / 2.0f};
  return true;
}

TEST(Capture, EmitterRingsSitWhereTheSimulationPutsThem) {
  const std::string work = std::string(VORPANE_BIN_DIR) + "/../capture-test";
  // Frames from three emitter phases (circling, the wide orbit, the spline
  // paths) where no crowd of bullets hides the rings.
  for (long frame : {600L, 1450L, 7600L}) {
    const std::string command = "rm -rf '" + work + "' && '" + VORPANE_BIN_DIR +
                                "/vorpane-capture' --fast-forward --atlas '" + VORPANE_SOURCE_DIR +
                                "/assets/parts.png' --out '" + work + "' --frames " + std::to_string(frame) +
                                " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frame);
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, (work + name).c_str(), 0);
    ASSERT_NE(loaded, nullptr);
    FIBITMAP* picture = FreeImage_ConvertTo24Bits(loaded);
    FreeImage_Unload(loaded);
    ASSERT_NE(picture, nullptr);

    Tspot expected[VP_EMITTER_COUNT];
    emitter_centres(frame, expected);
    Tspot neighbour[VP_EMITTER_COUNT];
    emitter_centres(frame + 1, neighbour);
    for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
      SCOPED_TRACE("frame " + std::to_string(frame) + ", emitter " + std::to_string(i));
      Tspot found{};
      ASSERT_TRUE(ring_centre(picture, expected[i], found)) << "no ring near (" << expected[i].x << ", "
                                                            << expected[i].y << ")";
      const double miss = std::hypot(found.x - expected[i].x, found.y - expected[i].y);
      const double miss_next = std::hypot(found.x - neighbour[i].x, found.y - neighbour[i].y);
      EXPECT_LT(miss, 1.0) << "ring at (" << found.x << ", " << found.y << ")";
      // The picture is this frame's, not the next one's.
      EXPECT_LT(miss, miss_next);
    }
    FreeImage_Unload(picture);
  }
}

}  // namespace

// capture_test.cpp - a captured frame shows the show's own frame, upright:
// the emitter rings in a vorpane-capture picture sit where the simulation
// puts the emitters in that frame, y counted down from the top row; a
// BulletML pattern's root ring is centred where its player puts the root.
#include <gtest/gtest.h>  // the runner

#include <algorithm>  // min, max
#include <cstdint>    // pixel bytes
#include <cmath>      // hypot
#include <string>     // paths
#include <vector>     // a pattern's mistakes

#include "bulletml/bulletml_read.h"   // a gallery pattern, read in-process
#include "patterns/pattern_player.h"  // where its root stands
#include "scene/play.h"            // frames skipped as the show skips them
#include "scene/scene.h"           // the simulation the capture must match
#include "platform/console.h"     // the schedules' reports, kept off the test output
#include "support/capture_run.h"  // the frame from the tool

namespace {

struct Tspot {
  float x;
  float y;
};

// Where each emitter's ring is centred after `frames` frames with the mouse
// outside the window: its sprite is 32 x 32 from the top-left corner (X, Y).
void emitter_centres(long frames, Tspot (&centres)[VP_EMITTER_COUNT]) {
  Tconsole_quiet quiet;
  Tscene scene;
  BUILD_SCENE(scene);
  Tplay play;
  PLAY_SKIP_TO(scene, play, frames);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i)
    centres[i] = {scene.emitters[i].X() + 16.0f, scene.emitters[i].Y() + 16.0f};
}

// The ring's colour: strong blue and green, little red. Bullets are pink
// and white, so they do not pass.
bool ring_coloured(const std::uint8_t* rgb) {
  return rgb[2] > 150 && rgb[1] > 120 && rgb[0] < 110;
}

// The centre of the ring-coloured pixels within 20 pixels of `near`, taken
// from their outermost extent: a bullet over the ring hides some of its
// pixels (additive pink over cyan is no longer cyan), which would pull an
// average aside, but rarely all four extremes at once. False when there are
// too few pixels to be a ring.
bool ring_centre(const Tpicture& picture, Tspot near, Tspot& centre) {
  int left = picture.width, right = -1, top = picture.height, bottom = -1;
  long count = 0;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (std::hypot(x + 0.5 - near.x, y + 0.5 - near.y) > 20.0) continue;
      if (!ring_coloured(picture.at(x, y))) continue;
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
    Tpicture picture;
    std::string path, why;
    ASSERT_TRUE(CAPTURE_ONE_FRAME(frame, "", work, picture, path, why)) << why;

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
  }
}

// A BulletML file as the scene: its root's ring is centred on the root's
// position, which a corner-placed sprite would miss by 16 pixels.
TEST(Capture, APatternsRootRingIsCentredOnTheRoot) {
  const std::string work = std::string(VORPANE_BIN_DIR) + "/../capture-test-pattern";
  for (const char* name : {"rank-curtain.xml", "split-rings.xml", "turning-spiral.xml"}) {
    SCOPED_TRACE(name);
    Tpicture picture;
    std::string path, why;
    ASSERT_TRUE(CAPTURE_ONE_FRAME(
        30, std::string("--scene '") + VORPANE_SOURCE_DIR + "/assets/scenes/" + name + "' --rank 0.2", work,
        picture, path, why))
        << why;
    Tpattern pattern;
    std::vector<Tbulletml_mistake> mistakes;
    ASSERT_TRUE(BULLETML_READ_FILE(std::string(VORPANE_SOURCE_DIR) + "/assets/scenes/" + name, pattern, mistakes));
    Tpattern_player player;
    player.BUILD(pattern);
    Tpattern_input input;
    input.rank = 0.2;
    for (int f = 0; f < 30; ++f) player.STEP(input);
    const Tspot root{static_cast<float>(player.ROOT().x), static_cast<float>(player.ROOT().y)};
    Tspot found{};
    ASSERT_TRUE(ring_centre(picture, root, found)) << "no ring near (" << root.x << ", " << root.y << ")";
    EXPECT_LT(std::hypot(found.x - root.x, found.y - root.y), 1.0) << "ring at (" << found.x << ", " << found.y << ")";
  }
}

}  // namespace

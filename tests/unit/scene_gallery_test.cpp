// scene_gallery_test.cpp - every shipped scene reads, and runs 2,000 frames
// with finite positions, bullets in bounds and pools within their size,
// with the mouse outside the window and then circling inside it.
#include <gtest/gtest.h>

#include <cmath>  // the circling target

#include "platform/console.h"      // the schedules' reports, kept off the output
#include "scene/play.h"            // the frame step
#include "scenefile/scene_file.h"  // the files
#include "support/gallery.h"       // GALLERY_SCENES
#include "support/scene_checks.h"  // CHECK_FRAME

namespace {

TEST(SceneGallery, EveryShippedSceneRunsInBounds) {
  Tconsole_quiet quiet;
  const std::vector<std::string> files = GALLERY_SCENES();
  ASSERT_GE(files.size(), 4u);  // the show itself and at least three more
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Tscene_desc desc;
    std::string errors;
    ASSERT_TRUE(SCENE_FILE_READ(file, desc, errors)) << errors;
    Tscene scene;
    BUILD_SCENE(scene, desc);
    Tplay play;
    Tframe_input input;
    for (long frame = 1; frame <= 2000; ++frame) {
      if (frame > 1000) {
        const double a = static_cast<double>(frame) * 0.01;
        input.target = Ttarget_point{static_cast<float>(320.0 + 200.0 * std::cos(a)),
                                     static_cast<float>(240.0 + 150.0 * std::sin(a))};
      }
      PLAY_STEP(scene, play, input);
      const Tfault fault = CHECK_FRAME(scene);
      ASSERT_EQ(fault.what, nullptr) << "frame " << frame << ": " << DESCRIBE_FAULT(fault);
    }
  }
}

}  // namespace

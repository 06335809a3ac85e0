// scene_fuzz.cpp - libFuzzer target: arbitrary bytes as a scene file.
//
// A refused file must come with a report. An accepted one is built and
// stepped, with the mouse circling, for up to 300 frames; after every frame
// positions are finite, bullets in flight lie in the play area and no pool
// holds more in flight than its turret uses (tests/support/scene_checks.h).
// Emitters x pool x frames is capped so that one input runs well under a
// second under the sanitizers; memory is bounded by the reader's limits.
#include <cmath>    // the circling target
#include <cstddef>  // size_t
#include <cstdint>  // uint8_t
#include <cstdio>   // the fault, before the abort
#include <cstdlib>  // abort
#include <string>   // the text

#include "platform/console.h"      // the schedules' reports, silenced
#include "scene/play.h"            // the frame step
#include "scenefile/scene_file.h"  // under test
#include "support/scene_checks.h"  // CHECK_FRAME

namespace {

constexpr long k_bullet_frames = 2000000;  // emitters x pool x frames, at most

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CONSOLE_SILENCE();
  Tscene_desc desc;
  std::string errors;
  if (!SCENE_TEXT_READ(std::string(reinterpret_cast<const char*>(data), size), "fuzz.toml", desc, errors)) {
    if (errors.empty()) std::abort();
    return 0;
  }
  const long per_frame = static_cast<long>(desc.EMITTERS()) * desc.pool_size;
  long frames = k_bullet_frames / per_frame;
  if (frames > 300) frames = 300;
  if (frames < 10) frames = 10;
  Tscene scene;
  BUILD_SCENE(scene, desc);
  Tplay play;
  Tframe_input input;
  for (long frame = 1; frame <= frames; ++frame) {
    const double a = static_cast<double>(frame) * 0.05;
    input.target = Ttarget_point{static_cast<float>(320.0 + 300.0 * std::cos(a)),
                                 static_cast<float>(240.0 + 260.0 * std::sin(a))};
    PLAY_STEP(scene, play, input);
    const Tfault fault = CHECK_FRAME(scene);
    if (fault.what) {
      std::fprintf(stderr, "frame %ld: %s\n", frame, DESCRIBE_FAULT(fault).c_str());
      std::abort();
    }
  }
  return 0;
}

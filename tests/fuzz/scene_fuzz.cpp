// scene_fuzz.cpp - libFuzzer target: arbitrary bytes as a scene file, and
// a BulletML file beside it.
//
// The input is the scene file up to the first line "%%", then the text of
// every BulletML file it names (without such a line it names none that
// exists). A refused file must come with a report. An accepted one is built and
// stepped, with the mouse circling, for up to 300 frames; after every frame
// positions are finite, bullets in flight lie in the play area and no pool
// holds more in flight than its turret uses (tests/support/scene_checks.h).
// Emitters x pool x frames is capped so that one input runs well under a
// second under the sanitizers; memory is bounded by the reader's limits.
// Every pattern's frame keeps within the frame's command cap.
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
const std::string k_split = "\n%%\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CONSOLE_SILENCE();
  Tscene_desc desc;
  std::string errors;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t split = bytes.find(k_split);
  const std::string toml = bytes.substr(0, split);
  const std::string xml = split == std::string::npos ? std::string() : bytes.substr(split + k_split.size());
  const bool has_xml = split != std::string::npos;
  const Tscene_text_source beside = [&](const std::string&, std::string& text, std::string& why) {
    if (!has_xml) why = "no such file";
    text = xml;
    return has_xml;
  };
  if (!SCENE_TEXT_READ(toml, "fuzz.toml", desc, errors, beside)) {
    if (errors.empty()) std::abort();
    return 0;
  }
  long per_frame = static_cast<long>(desc.EMITTERS()) * desc.pool_size;
  for (const Tscene_pattern& p : desc.patterns) per_frame += p.pool_size;
  if (per_frame < 1) per_frame = 1;
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
    for (const Tpattern_player& player : scene.players)
      if (player.FRAME_COMMANDS() > VP_PATTERN_MAX_FRAME_COMMANDS || player.IN_FLIGHT() > player.POOL()) {
        std::fprintf(stderr, "frame %ld: a pattern past its caps\n", frame);
        std::abort();
      }
  }
  return 0;
}

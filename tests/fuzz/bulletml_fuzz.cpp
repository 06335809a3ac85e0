// bulletml_fuzz.cpp - libFuzzer target: arbitrary bytes as a BulletML file.
//
// A refused file must come with mistakes placed inside it and leave the
// pattern it was given untouched. An accepted one is built into a scene, as
// the programs play it, and stepped through PLAY_STEP for up to 300 frames,
// with the rank, the aim target and whether $rand is held taken from a hash
// of the input, so that the same bytes always play the same; every frame
// its player is checked as tests/support/pattern_checks.h says and the
// scene's description of what is in flight as tests/support/scene_checks.h
// says.
// A frame's work is bounded by the player's caps, VP_PATTERN_MAX_COMMANDS
// for one object and VP_PATTERN_MAX_FRAME_COMMANDS for all: an input whose
// frames all come near the second (bullets running long repeats) would
// still add up past libFuzzer's -timeout over 300 frames under the
// sanitizers, so playing stops after k_seconds, and -timeout is left to
// catch one frame that takes longer than the rest of it.
#include <chrono>   // the playing time of one input
#include <cmath>    // the circling target
#include <cstddef>  // size_t
#include <cstdint>  // uint8_t, the hash
#include <cstdio>   // the violation, before the abort
#include <cstdlib>  // abort
#include <string>   // the text
#include <vector>   // the mistakes, line lengths

#include "platform/console.h"        // the status line, silenced
#include "scene/play.h"              // the frame step
#include "support/pattern_checks.h"  // PATTERN_CHECK_FRAME and the reader's and player's headers
#include "support/pattern_text.h"    // PATTERN_SCENE
#include "support/scene_checks.h"    // CHECK_FRAME: the one description

namespace {

constexpr long k_frames = 300;
constexpr double k_seconds = 5.0;  // of playing one input, at most

[[noreturn]] void violation(long frame, const std::string& what) {
  std::fprintf(stderr, "frame %ld: %s\n", frame, what.c_str());
  std::abort();
}

std::uint64_t hash(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::size_t> lines = PATTERN_LINE_LENGTHS(text);
  Tpattern pattern;
  pattern.nodes.resize(1);  // a marker a refused file must leave in place
  pattern.top_actions.push_back(0);
  std::vector<Tbulletml_mistake> mistakes;
  if (!BULLETML_READ("fuzz.xml", text, pattern, mistakes)) {
    const std::string wrong = PATTERN_CHECK_MISTAKES("fuzz.xml", lines, mistakes);
    if (!wrong.empty()) violation(0, wrong);
    if (pattern.nodes.size() != 1 || pattern.top_actions.size() != 1)
      violation(0, "a refused file changed the pattern it was given");
    return 0;
  }
  if (!mistakes.empty() || pattern.top_actions.empty()) violation(0, "accepted with mistakes or no top action");

  CONSOLE_SILENCE();
  const std::uint64_t h = hash(data, size);
  Tscene scene;
  BUILD_SCENE(scene, PATTERN_SCENE(pattern, "fuzz.xml"));
  // A fault is checked in place; a line on stderr for each would drown
  // libFuzzer's own.
  scene.faults_reported[0] = VP_PATTERN_FAULT_KINDS;
  scene.rank = static_cast<double>(h % 1001) / 1000.0;
  scene.hold_rand = (h >> 10) % 4 == 0;
  scene.rand_value = static_cast<double>((h >> 12) % 3) / 2.0;  // 0, 0.5 or 1: the ends count
  const bool no_target = (h >> 14) % 8 == 0;                    // (-1, -1), as the comparisons use
  const double phase = static_cast<double>((h >> 17) % 628) / 100.0;

  const Tpattern_player& player = scene.players[0];
  Tplay play;
  Tframe_input input;
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  for (long frame = 1; frame <= k_frames && elapsed() < k_seconds; ++frame) {
    const double a = phase + static_cast<double>(frame) * 0.05;
    input.target = no_target ? VP_NO_TARGET
                             : Ttarget_point{static_cast<float>(320.0 + 300.0 * std::cos(a)),
                                             static_cast<float>(240.0 + 260.0 * std::sin(a))};
    const Tpattern_counts before = PATTERN_COUNTS(player);
    PLAY_STEP(scene, play, input);
    if (player.FRAME() != frame) violation(frame, "FRAME() is " + std::to_string(player.FRAME()));
    const Tpattern_violation v = PATTERN_CHECK_FRAME(player, before, lines);
    if (v.what) violation(frame, DESCRIBE_VIOLATION(v));
    const Tfault fault = CHECK_FRAME(scene);
    if (fault.what) violation(frame, DESCRIBE_FAULT(fault));
  }
  return 0;
}

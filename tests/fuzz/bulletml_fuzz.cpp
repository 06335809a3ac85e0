// bulletml_fuzz.cpp - libFuzzer target: arbitrary bytes as a BulletML file.
//
// A refused file must come with mistakes placed inside it and leave the
// pattern it was given untouched. An accepted one is built and played for
// up to 300 frames, with the rank, the aim target and whether $rand is held
// taken from a hash of the input, so that the same bytes always play the
// same; every frame is checked as tests/support/pattern_checks.h says.
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

#include "support/pattern_checks.h"  // PATTERN_CHECK_FRAME and the reader's and player's headers

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

  const std::uint64_t h = hash(data, size);
  Tpattern_input input;
  input.rank = static_cast<double>(h % 1001) / 1000.0;
  input.hold_rand = (h >> 10) % 4 == 0;
  input.rand_value = static_cast<double>((h >> 12) % 3) / 2.0;  // 0, 0.5 or 1: the ends count
  const bool no_target = (h >> 14) % 8 == 0;                    // (-1, -1), as the comparisons use
  const double phase = static_cast<double>((h >> 17) % 628) / 100.0;

  Tpattern_player player;
  player.BUILD(pattern);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  for (long frame = 1; frame <= k_frames && elapsed() < k_seconds; ++frame) {
    const double a = phase + static_cast<double>(frame) * 0.05;
    input.target_x = no_target ? -1.0 : 320.0 + 300.0 * std::cos(a);
    input.target_y = no_target ? -1.0 : 240.0 + 260.0 * std::sin(a);
    const Tpattern_counts before = PATTERN_COUNTS(player);
    player.STEP(input);
    if (player.FRAME() != frame) violation(frame, "FRAME() is " + std::to_string(player.FRAME()));
    const Tpattern_violation v = PATTERN_CHECK_FRAME(player, before, lines);
    if (v.what) violation(frame, DESCRIBE_VIOLATION(v));
  }
  return 0;
}

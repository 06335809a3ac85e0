// bulletml_fuzz.cpp - libFuzzer target: arbitrary bytes as a BulletML file.
//
// A refused file must come with mistakes, each at a place inside the text,
// and leave the pattern it was given untouched. An accepted one is built
// and played for up to 300 frames, with the rank, the aim target and
// whether $rand is held taken from a hash of the input, so that the same
// bytes always play the same. After every frame: the root and every bullet
// in flight at a finite position, bullets in creation order with numbers no
// larger than the fires counted, those that have moved inside the play
// area, at most VP_PATTERN_POOL in flight, no more fires than one per
// command the cap allows, faults at places in the text. The work of a frame
// is bounded by the player's command cap; libFuzzer's -timeout catches a
// frame that is not. Bullet-frames are capped so that one input stays well
// under a second under the sanitizers.
#include <cmath>    // isfinite, the circling target
#include <cstddef>  // size_t
#include <cstdint>  // uint8_t, the hash
#include <cstdio>   // the violation, before the abort
#include <cstdlib>  // abort
#include <string>   // the text, the mistakes' text
#include <vector>   // the mistakes, line lengths

#include "bulletml/bulletml_read.h"   // under test: the reader
#include "patterns/pattern_player.h"  // under test: the player

namespace {

constexpr long k_frames = 300;
constexpr long k_bullet_frames = 3000000;  // bullets in flight summed over frames, at most

[[noreturn]] void violation(long frame, const std::string& what) {
  std::fprintf(stderr, "frame %ld: %s\n", frame, what.c_str());
  std::abort();
}

// Bytes per line, a line end's '\n' not counted: a place's column may be
// one past the line's last byte, where an end of file or line is reported.
std::vector<std::size_t> line_lengths(const std::string& text) {
  std::vector<std::size_t> lengths(1, 0);
  for (char c : text) {
    if (c == '\n') lengths.push_back(0);
    else ++lengths.back();
  }
  return lengths;
}

bool inside_text(const std::vector<std::size_t>& lines, int line, int column) {
  return line >= 1 && static_cast<std::size_t>(line) <= lines.size() && column >= 1 &&
         static_cast<std::size_t>(column) <= lines[static_cast<std::size_t>(line) - 1] + 1;
}

std::uint64_t hash(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211ull;
  return h;
}

void check_refused(const std::vector<Tbulletml_mistake>& mistakes, const Tpattern& untouched,
                   const std::vector<std::size_t>& lines) {
  if (mistakes.empty()) violation(0, "refused without a mistake");
  // The limit, its "reading stopped" line and one found after the limit.
  if (mistakes.size() > static_cast<std::size_t>(VP_BULLETML_MAX_MISTAKES) + 2)
    violation(0, std::to_string(mistakes.size()) + " mistakes");
  for (const Tbulletml_mistake& m : mistakes) {
    const std::string text = BULLETML_MISTAKE_TEXT(m);
    const std::string head = "fuzz.xml:" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": ";
    if (m.message.empty() || text.compare(0, head.size(), head) != 0)
      violation(0, "a mistake without its place or message: " + text);
    if (!inside_text(lines, m.line, m.column)) violation(0, "a mistake placed outside the text: " + text);
  }
  if (untouched.nodes.size() != 1 || untouched.top_actions.size() != 1)
    violation(0, "a refused file changed the pattern it was given");
}

void check_frame(const Tpattern_player& player, long frame, long long fired_before, long long missed_before,
                 int in_flight_before, const std::vector<std::size_t>& lines) {
  if (player.FRAME() != frame) violation(frame, "FRAME() is " + std::to_string(player.FRAME()));
  const Tpattern_body& root = player.ROOT();
  if (!std::isfinite(root.x) || !std::isfinite(root.y)) violation(frame, "the root's position is not finite");
  const int in_flight = player.IN_FLIGHT();
  if (in_flight < 0 || in_flight > VP_PATTERN_POOL) violation(frame, std::to_string(in_flight) + " in flight");
  const long long fired = player.FIRED() - fired_before;
  const long long missed = player.MISSED() - missed_before;
  if (fired < 0 || missed < 0) violation(frame, "the fired or missed count went down");
  // Every fire is a command, and each object in flight at the frame's
  // start, the root included, runs at most the cap.
  if (fired + missed > (static_cast<long long>(in_flight_before) + 1) * VP_PATTERN_MAX_COMMANDS)
    violation(frame, std::to_string(fired + missed) + " fires in one frame: more than the command cap allows");
  if (in_flight > in_flight_before + fired) violation(frame, "more in flight than were there and were fired");
  long long previous = 0;
  for (int i = 0; i < in_flight; ++i) {
    const Tpattern_body& b = player.SHOT(i);
    if (!std::isfinite(b.x) || !std::isfinite(b.y))
      violation(frame, "bullet " + std::to_string(b.number) + " at a position that is not finite");
    if (b.number <= previous || b.number > player.FIRED())
      violation(frame, "bullet " + std::to_string(b.number) + " out of creation order");
    previous = b.number;
    // A bullet fired this frame stands where its firer stood, which for the
    // root may be anywhere; one that has moved is retired outside.
    const bool moved = b.number <= fired_before;
    if (moved && !(b.x >= -50.0 && b.x <= 690.0 && b.y >= -50.0 && b.y <= 530.0))
      violation(frame, "bullet " + std::to_string(b.number) + " outside the play area");
  }
  if (player.FAULT_COUNT() < 0 || player.FAULT_COUNT() > VP_PATTERN_FAULT_KINDS)
    violation(frame, std::to_string(player.FAULT_COUNT()) + " faults");
  for (int i = 0; i < player.FAULT_COUNT(); ++i) {
    const Tpattern_fault& f = player.FAULT(i);
    if (!inside_text(lines, f.line, f.column) || f.frame < 1 || f.frame > frame || f.objects < 1)
      violation(frame, "a fault at " + std::to_string(f.line) + ":" + std::to_string(f.column) + " in frame " +
                           std::to_string(f.frame) + " with " + std::to_string(f.objects) + " objects");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::size_t> lines = line_lengths(text);
  Tpattern pattern;
  pattern.nodes.resize(1);  // a marker a refused file must leave in place
  pattern.top_actions.push_back(0);
  std::vector<Tbulletml_mistake> mistakes;
  if (!BULLETML_READ("fuzz.xml", text, pattern, mistakes)) {
    check_refused(mistakes, pattern, lines);
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
  long bullet_frames = 0;
  for (long frame = 1; frame <= k_frames && bullet_frames <= k_bullet_frames; ++frame) {
    const double a = phase + static_cast<double>(frame) * 0.05;
    input.target_x = no_target ? -1.0 : 320.0 + 300.0 * std::cos(a);
    input.target_y = no_target ? -1.0 : 240.0 + 260.0 * std::sin(a);
    const long long fired = player.FIRED(), missed = player.MISSED();
    const int in_flight = player.IN_FLIGHT();
    player.STEP(input);
    check_frame(player, frame, fired, missed, in_flight, lines);
    bullet_frames += player.IN_FLIGHT();
  }
  return 0;
}

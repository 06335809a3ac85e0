// pattern_checks.h - what must hold for any BulletML text read and played:
// a refused text has mistakes placed inside it; after every frame of an
// accepted one the root and the bullets are at finite positions, bullets
// are in creation order and those that have moved lie in the play area, at
// most VP_PATTERN_POOL are in flight, no frame runs more commands or
// operations of values than the frame's caps or fires more than its
// objects' caps allow, and faults are
// placed inside the text. Shared by the
// bad-input test and the BulletML fuzz target; no test framework here.
#pragma once

#include <cmath>    // isfinite
#include <cstddef>  // size_t
#include <string>   // a violation described
#include <vector>   // line lengths, mistakes

#include "bulletml/bulletml_read.h"   // mistakes
#include "patterns/pattern_player.h"  // the player checked

// Bytes per line without the '\n'. A place's column may be one past the
// line's last byte, where the end of a line or of the text is reported.
inline std::vector<std::size_t> PATTERN_LINE_LENGTHS(const std::string& text) {
  std::vector<std::size_t> lengths(1, 0);
  for (char c : text) {
    if (c == '\n') lengths.push_back(0);
    else ++lengths.back();
  }
  return lengths;
}

inline bool PATTERN_PLACE_INSIDE(const std::vector<std::size_t>& lines, int line, int column) {
  return line >= 1 && static_cast<std::size_t>(line) <= lines.size() && column >= 1 &&
         static_cast<std::size_t>(column) <= lines[static_cast<std::size_t>(line) - 1] + 1;
}

// "" when the mistakes of a refused text named `name` are sound.
inline std::string PATTERN_CHECK_MISTAKES(const std::string& name, const std::vector<std::size_t>& lines,
                                          const std::vector<Tbulletml_mistake>& mistakes) {
  if (mistakes.empty()) return "refused without a mistake";
  // The limit, its "reading stopped" line and one found after the limit.
  if (mistakes.size() > static_cast<std::size_t>(VP_BULLETML_MAX_MISTAKES) + 2)
    return std::to_string(mistakes.size()) + " mistakes";
  for (const Tbulletml_mistake& m : mistakes) {
    const std::string text = BULLETML_MISTAKE_TEXT(m);
    const std::string head = name + ":" + std::to_string(m.line) + ":" + std::to_string(m.column) + ": ";
    if (m.message.empty() || text.compare(0, head.size(), head) != 0) return "without its place or message: " + text;
    if (!PATTERN_PLACE_INSIDE(lines, m.line, m.column)) return "placed outside the text: " + text;
  }
  return "";
}

// The counts a frame's check compares with, taken before its STEP.
struct Tpattern_counts {
  long long fired = 0;
  long long missed = 0;
  int in_flight = 0;
};

inline Tpattern_counts PATTERN_COUNTS(const Tpattern_player& player) {
  return {player.FIRED(), player.MISSED(), player.IN_FLIGHT()};
}

// What a frame check found; text is only built for a violation, so that the
// check allocates nothing while the heap is being watched.
struct Tpattern_violation {
  const char* what = nullptr;  // null: the frame is sound
  long long number = 0;        // the bullet or the count in question
  double x = 0.0;
  double y = 0.0;
};

inline std::string DESCRIBE_VIOLATION(const Tpattern_violation& v) {
  return std::string(v.what) + " (" + std::to_string(v.number) + ", at " + std::to_string(v.x) + ", " +
         std::to_string(v.y) + ")";
}

inline Tpattern_violation PATTERN_CHECK_FRAME(const Tpattern_player& player, const Tpattern_counts& before,
                                              const std::vector<std::size_t>& lines) {
  const Tpattern_body& root = player.ROOT();
  if (!std::isfinite(root.x) || !std::isfinite(root.y)) return {"the root not at a finite position", 0, root.x, root.y};
  const int in_flight = player.IN_FLIGHT();
  if (in_flight < 0 || in_flight > VP_PATTERN_POOL) return {"more in flight than the pool holds", in_flight};
  const long long fired = player.FIRED() - before.fired;
  const long long missed = player.MISSED() - before.missed;
  if (fired < 0 || missed < 0) return {"the fired or missed count went down", fired};
  // Every fire is a command, and each object there at the frame's start,
  // the root included, runs at most the cap.
  if (fired + missed > (static_cast<long long>(before.in_flight) + 1) * VP_PATTERN_MAX_COMMANDS)
    return {"more fires in one frame than the command cap allows", fired + missed};
  if (player.FRAME_COMMANDS() < 0 || player.FRAME_COMMANDS() > VP_PATTERN_MAX_FRAME_COMMANDS ||
      fired + missed > player.FRAME_COMMANDS())
    return {"more commands in one frame than the frame's cap, or fewer than its fires", player.FRAME_COMMANDS()};
  if (player.FRAME_OPERATIONS() < 0 || player.FRAME_OPERATIONS() > VP_PATTERN_MAX_FRAME_OPERATIONS)
    return {"more operations of values in one frame than the frame's cap", player.FRAME_OPERATIONS()};
  if (in_flight > before.in_flight + fired) return {"more in flight than were there and were fired", in_flight};
  long long previous = 0;
  for (int i = 0; i < in_flight; ++i) {
    const Tpattern_body& b = player.SHOT(i);
    if (!std::isfinite(b.x) || !std::isfinite(b.y)) return {"a bullet not at a finite position", b.number, b.x, b.y};
    if (b.number <= previous || b.number > player.FIRED()) return {"a bullet out of creation order", b.number, b.x, b.y};
    previous = b.number;
    // One fired this frame stands where its firer stood, which for the
    // root may be anywhere; one that has moved is retired outside.
    if (b.number <= before.fired && !(b.x >= -50.0 && b.x <= 690.0 && b.y >= -50.0 && b.y <= 530.0))
      return {"a bullet in flight outside the play area", b.number, b.x, b.y};
  }
  if (player.FAULT_COUNT() < 0 || player.FAULT_COUNT() > VP_PATTERN_FAULT_KINDS)
    return {"more faults than kinds", player.FAULT_COUNT()};
  for (int i = 0; i < player.FAULT_COUNT(); ++i) {
    const Tpattern_fault& f = player.FAULT(i);
    if (!PATTERN_PLACE_INSIDE(lines, f.line, f.column) || f.frame < 1 || f.frame > player.FRAME() || f.objects < 1)
      return {"a fault without its place, frame or objects", f.line, static_cast<double>(f.column),
              static_cast<double>(f.frame)};
  }
  return {};
}

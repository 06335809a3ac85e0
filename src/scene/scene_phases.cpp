// scene_phases.cpp - phase entry frames from the schedule durations.
#include "scene/scene_phases.h"

#include <algorithm>  // upper_bound over the entry offsets

#include "scene/scene.h"              // the scene's phase durations
#include "platform/runtime_error.h"  // VP_CHECK_INDEX: a timeline needs a phase

namespace {

// Calls that a record counting down from `t` stays current: it is
// decremented first and runs out once it is below 0.
long countdown_calls(int t) { return t > 0 ? static_cast<long>(t) + 1 : 1; }

template <typename Tphase>
Tphase_timeline timeline_of(const std::vector<Tphase>& phases) {
  std::vector<int> durations;
  for (const Tphase& phase : phases) durations.push_back(phase.ACTIVETIME);
  return Tphase_timeline(durations);
}

}  // namespace

Tphase_timeline::Tphase_timeline(const std::vector<int>& durations) {
  VP_CHECK_INDEX(0, static_cast<long>(durations.size()), "Tphase_timeline", "Tphase_timeline");
  long offset = 0;
  for (int t : durations) {
    offsets_.push_back(offset);
    offset += countdown_calls(t);
  }
  // `offset` is now where the last phase runs out and the cursor steps onto
  // the tail; the next call rewinds and counts the constructor record: from
  // 0 the first time (the owner's ACTIVETIME was still the constructor's
  // when that record was reloaded in frame 1), from the last phase's
  // ACTIVETIME ever after. Phase records themselves are reloaded with their
  // own ACTIVETIME, so nothing else changes from cycle to cycle.
  const int last = durations.back();
  second_cycle_ = 1 + offset + countdown_calls(0);
  period_ = offset + countdown_calls(last);
}

long Tphase_timeline::cycle_start(long frame) const {
  if (frame < second_cycle_) return 1;
  return second_cycle_ + (frame - second_cycle_) / period_ * period_;
}

long Tphase_timeline::NEXT_ENTRY(long frame) const {
  if (frame < 1) return 1;
  const long start = cycle_start(frame);
  // Entries of one cycle all lie before the next cycle's start.
  auto it = std::upper_bound(offsets_.begin(), offsets_.end(), frame - start);
  return it != offsets_.end() ? start + *it : next_cycle_start(start);
}

long Tphase_timeline::PREVIOUS_ENTRY(long frame) const {
  if (frame <= 1) return 0;
  const long start = cycle_start(frame - 1);
  // offsets_[0] is 0 and start <= frame - 1, so one offset always qualifies.
  auto it = std::upper_bound(offsets_.begin(), offsets_.end(), frame - 1 - start);
  return start + *(it - 1);
}

// Emitters with lists of their own each have their timelines; else all
// share the scene's two.
long NEXT_PHASE_FRAME(const Tscene& scene, long frame) {
  if (scene.desc.own.empty())
    return std::min(timeline_of(scene.desc.movement).NEXT_ENTRY(frame),
                    timeline_of(scene.desc.firing).NEXT_ENTRY(frame));
  long next = 0;
  const auto take = [&next](long entry) { next = next == 0 ? entry : std::min(next, entry); };
  for (int i = 0; i < scene.emitter_count; ++i) {
    take(timeline_of(SCENE_MOVEMENT_OF(scene, i)).NEXT_ENTRY(frame));
    const std::vector<Tturret_phase>& firing = SCENE_FIRING_OF(scene, i);
    if (!firing.empty()) take(timeline_of(firing).NEXT_ENTRY(frame));
  }
  return next == 0 ? frame : next;
}

long PREVIOUS_PHASE_FRAME(const Tscene& scene, long frame) {
  if (scene.desc.own.empty())
    return std::max(timeline_of(scene.desc.movement).PREVIOUS_ENTRY(frame),
                    timeline_of(scene.desc.firing).PREVIOUS_ENTRY(frame));
  long previous = 0;
  for (int i = 0; i < scene.emitter_count; ++i) {
    previous = std::max(previous, timeline_of(SCENE_MOVEMENT_OF(scene, i)).PREVIOUS_ENTRY(frame));
    const std::vector<Tturret_phase>& firing = SCENE_FIRING_OF(scene, i);
    if (!firing.empty()) previous = std::max(previous, timeline_of(firing).PREVIOUS_ENTRY(frame));
  }
  return previous;
}

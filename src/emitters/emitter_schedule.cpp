// emitter_schedule.cpp - the emitter's cyclic programme of movement phases.
#include "emitters/emitter.h"
#include "containers/schedule.h"     // the countdown and the report on rows 6 and 7

void Temitter::ADDTO_LIST(const Temitter_phase& phase) { schedule.ADD(phase); }

void Temitter::START() { schedule.GETFIRST(); }

int Temitter::MANAGE_LIST(int x, int y) {
  static constexpr Tschedule_report k_report = {6, "emitter time ", "emitter listindex "};
  const Temitter_phase* phase = SCHEDULE_STEP(schedule, LISTINDEX_, p_.ACTIVETIME, k_report);
  if (phase == nullptr) return 0;
  p_ = *phase;
  CHANGE_AI();
  if (x != MISSING_COORD) p_.X = static_cast<float>(x);
  if (y != MISSING_COORD) p_.Y = static_cast<float>(y);
  return -1;
}

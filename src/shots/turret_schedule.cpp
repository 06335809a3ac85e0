// turret_schedule.cpp - the turret's cyclic programme of firing phases.
#include "containers/schedule.h"  // the countdown and the report on rows 2 and 3
#include "shots/turret.h"

void Tturret::ADDTO_LIST(const Tturret_phase& phase) { schedule.ADD(phase); }

void Tturret::START() { schedule.GETFIRST(); }

void Tturret::APPLY_PHASE(const Tturret_phase& phase) {
  // A null pointer in a phase means "keep the turret's own", so the target
  // given with SET_TARGET survives every phase change.
  const Ttarget_point* position = p_.P_POSITION;
  const Ttarget_point* target = p_.P_TARGET;
  p_ = phase;
  if (phase.P_POSITION == nullptr) p_.P_POSITION = position;
  if (phase.P_TARGET == nullptr) p_.P_TARGET = target;
  p_.MAXBULLET = CLAMP_MAXBULLET(phase.MAXBULLET);
  restyle_due_ = true;
}

int Tturret::MANAGE_LIST(int x, int y) {
  static constexpr Tschedule_report k_report = {2, "turret time ", "turret listindex "};
  const Tturret_phase* phase = SCHEDULE_STEP(schedule, LISTINDEX_, p_.ACTIVETIME, k_report);
  if (phase == nullptr) return 0;
  APPLY_PHASE(*phase);
  CHANGE_ROTATION_AI(p_.ROTATION_TYPE);
  if (x != MISSING_COORD) p_.X = static_cast<float>(x);
  if (y != MISSING_COORD) p_.Y = static_cast<float>(y);
  return -1;
}

// turret_schedule.cpp - the turret's cyclic programme of firing phases.
#include "platform/console.h"  // the two-line status report on rows 2 and 3
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
}

int Tturret::MANAGE_LIST(int x, int y) {
  if (schedule.EMPTY() != 0) return 0;
  if (schedule.GETNODE()->next == nullptr) {  // on the tail: wrap round
    LISTINDEX_ = 0;
    START();
  }
  Tturret_phase* r = schedule.GETDATA_PTR();
  if (r == nullptr) return 0;
  r->ACTIVETIME = WRAP_SUB(r->ACTIVETIME, 1);

  CONSOLE_LOCATE(2, 1);
  CONSOLE_PRINT("turret time ");
  CONSOLE_PRINT_INT(r->ACTIVETIME);
  CONSOLE_PRINT("turret listindex ");
  CONSOLE_PRINT_INT(LISTINDEX_);

  if (r->ACTIVETIME >= 0) return 0;
  // Reload the finished record with the length of the phase in force; a node
  // with a record always has a successor, so GETNEXT cannot pass the tail.
  r->ACTIVETIME = p_.ACTIVETIME;
  schedule.GETNEXT();
  const Tturret_phase* next = schedule.GETDATA_PTR();
  if (next == nullptr) return 0;  // reached the tail: the current phase stays

  LISTINDEX_ = WRAP_ADD(LISTINDEX_, 1);
  APPLY_PHASE(*next);
  CHANGE_ROTATION_AI(p_.ROTATION_TYPE);
  if (x != MISSING_COORD) p_.X = static_cast<float>(x);
  if (y != MISSING_COORD) p_.Y = static_cast<float>(y);
  return -1;
}

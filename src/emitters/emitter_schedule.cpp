// emitter_schedule.cpp - the emitter's cyclic programme of movement phases.
#include "emitters/emitter.h"
#include "platform/console.h"  // the two-line status report on rows 6 and 7

void Temitter::ADDTO_LIST(const Temitter_phase& phase) { schedule.ADD(phase); }

void Temitter::START() { schedule.GETFIRST(); }

int Temitter::MANAGE_LIST(int x, int y) {
  if (schedule.EMPTY() != 0) return 0;
  if (schedule.GETNODE()->next == nullptr) {  // on the tail: wrap round
    LISTINDEX_ = 0;
    START();
  }
  Temitter_phase* d = schedule.GETDATA_PTR();
  if (d == nullptr) return 0;
  d->ACTIVETIME = WRAP_SUB(d->ACTIVETIME, 1);

  CONSOLE_LOCATE(6, 1);
  CONSOLE_PRINT("emitter time ");
  CONSOLE_PRINT_INT(d->ACTIVETIME);
  CONSOLE_PRINT("emitter listindex ");
  CONSOLE_PRINT_INT(LISTINDEX_);

  if (d->ACTIVETIME >= 0) return 0;
  // Reload the finished record with the length of the phase in force; a node
  // with a record always has a successor, so GETNEXT cannot pass the tail.
  d->ACTIVETIME = p_.ACTIVETIME;
  schedule.GETNEXT();
  const Temitter_phase* e = schedule.GETDATA_PTR();
  if (e == nullptr) return 0;  // reached the tail: the current pattern stays

  LISTINDEX_ = WRAP_ADD(LISTINDEX_, 1);
  p_ = *e;
  CHANGE_AI();
  if (x != MISSING_COORD) p_.X = static_cast<float>(x);
  if (y != MISSING_COORD) p_.Y = static_cast<float>(y);
  return -1;
}

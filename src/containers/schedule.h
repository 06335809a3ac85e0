// schedule.h - one frame of a cyclic phase schedule, for turrets and emitters.
//
// Rules:
//  - The list opens with the owner's empty constructor phase and ends in the
//    empty tail node; the cursor never passes the tail: a call that finds it
//    there rewinds (LISTINDEX back to 0) before counting.
//  - The current record's ACTIVETIME counts down in place; when it passes 0
//    it is reloaded with the owner's ACTIVETIME (the length of the phase in
//    force) so it is ready for the next cycle.
//  - The two-line report is printed on every call that finds a record.
#pragma once

#include "containers/list.h"   // the schedule and its cursor
#include "platform/console.h"  // the status report
#include "core/numeric.h"     // wrapping counters

struct Tschedule_report {
  int row;                  // console row of the first line; the second follows
  const char* time_label;   // "turret time ", "emitter time "
  const char* index_label;  // "turret listindex ", "emitter listindex "
};

// Counts the current phase down. Returns the record of the phase to enter in
// this call (LISTINDEX already advanced), or null when nothing changes; the
// caller then applies the record to itself.
template <typename T>
const T* SCHEDULE_STEP(Tlist<T>& schedule, int& listindex, int owner_activetime,
                       const Tschedule_report& report) {
  if (schedule.EMPTY() != 0) return nullptr;
  if (schedule.GETNODE()->next == nullptr) {
    listindex = 0;
    schedule.GETFIRST();
  }
  T* current = schedule.GETDATA_PTR();
  if (current == nullptr) return nullptr;
  current->ACTIVETIME = WRAP_SUB(current->ACTIVETIME, 1);

  CONSOLE_LOCATE(report.row, 1);
  CONSOLE_PRINT(report.time_label);
  CONSOLE_PRINT_INT(current->ACTIVETIME);
  CONSOLE_PRINT(report.index_label);
  CONSOLE_PRINT_INT(listindex);

  if (current->ACTIVETIME >= 0) return nullptr;
  current->ACTIVETIME = owner_activetime;
  // A node with a record always has a successor, so this cannot pass the tail.
  schedule.GETNEXT();
  const T* next = schedule.GETDATA_PTR();
  if (next == nullptr) return nullptr;  // on the tail: the phase in force stays
  listindex = WRAP_ADD(listindex, 1);
  return next;
}

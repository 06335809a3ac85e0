// emitter.cpp - emitter construction, pattern selection and the frame step.
#include "emitters/emitter.h"

Temitter::Temitter() {
  p_.ACTIVE = -1;
  // The schedule opens with an empty phase that is only ever counted down,
  // so the first MANAGE_LIST after START enters the first real phase.
  Temitter_phase empty;
  ADDTO_LIST(empty);
}

// Members go in reverse order of declaration: schedule, spline, turret.
Temitter::~Temitter() = default;

void Temitter::CHANGE_AI() {
  static constexpr Tai_proc k_patterns[8] = {
      &Temitter::AI_LINEAR,   &Temitter::AI_SINE_V, &Temitter::AI_SINE_H, &Temitter::AI_BOUNCE_V,
      &Temitter::AI_BOUNCE_H, &Temitter::AI_CIRCLE, &Temitter::AI_POLAR,  &Temitter::AI_SPLINE};
  const int ai = p_.AI;
  ai_proc_ = (ai >= 0 && ai < 8) ? k_patterns[ai] : &Temitter::AI_LINEAR;
}

void Temitter::DO_THINGY(int flag) {
  (void)flag;
  MOVE();
  turret.X(p_.X);
  turret.Y(p_.Y);
  turret.SHOOT(turret.MANAGE_LIST(MISSING_COORD, MISSING_COORD));
}

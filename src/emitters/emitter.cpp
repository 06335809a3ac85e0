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

const Tmovement_pattern VP_MOVEMENT_PATTERNS[VP_MOVEMENT_PATTERN_COUNT] = {
    {&Temitter::AI_LINEAR, "linear"},     {&Temitter::AI_SINE_V, "sine-v"},
    {&Temitter::AI_SINE_H, "sine-h"},     {&Temitter::AI_BOUNCE_V, "bounce-v"},
    {&Temitter::AI_BOUNCE_H, "bounce-h"}, {&Temitter::AI_CIRCLE, "circle"},
    {&Temitter::AI_POLAR, "orbit"},       {&Temitter::AI_SPLINE, "spline"},
};

void Temitter::CHANGE_AI() {
  const int ai = p_.AI;
  ai_proc_ = (ai >= 0 && ai < VP_MOVEMENT_PATTERN_COUNT) ? VP_MOVEMENT_PATTERNS[ai].proc : &Temitter::AI_LINEAR;
}

void Temitter::DO_THINGY(int flag) {
  (void)flag;
  MOVE();
  turret.X(p_.X);
  turret.Y(p_.Y);
  turret.SHOOT(turret.MANAGE_LIST(MISSING_COORD, MISSING_COORD));
}

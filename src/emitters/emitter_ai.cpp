// emitter_ai.cpp - the eight movement patterns. Right-hand sides read the
// values from the start of the step; every product and sum is a float.
#include <cmath>  // float sin, cos

#include "emitters/emitter.h"

float Temitter::ADVANCE_ANGLE() {
  p_.ANGLE = WRAP_ADD(p_.ANGLE, p_.ANGLE_SPEED);
  return static_cast<float>(p_.ANGLE * DEG_TO_RAD);
}

float Temitter::BOUNCE(float r, float a) const {
  const int q = p_.ANGLE / 180;  // truncates toward zero; -1 counts as odd
  const float s = std::fabs(std::sin(a));
  const float b = r * s;
  return (q & 1) != 0 ? b : -b;
}

void Temitter::AI_LINEAR() {
  p_.X = p_.X + p_.XV;
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_SINE_V() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dy = r * std::sin(a);
  p_.X = p_.X + p_.XV;
  p_.Y = p_.Y + p_.YV + dy;
}

void Temitter::AI_SINE_H() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dx = r * std::sin(a);
  p_.X = p_.X + p_.XV + dx;
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_BOUNCE_V() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float b = BOUNCE(r, a);
  p_.X = p_.X + p_.XV;
  p_.Y = p_.Y + p_.YV + b;
}

void Temitter::AI_BOUNCE_H() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float b = BOUNCE(r, a);
  p_.X = p_.X + p_.XV + b;
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_CIRCLE() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dx = r * std::cos(a);
  const float dy = r * std::sin(a);
  p_.X = p_.X + p_.XV + dx;
  p_.Y = p_.Y + p_.YV + dy;
}

void Temitter::AI_POLAR() {
  const float a = ADVANCE_ANGLE();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  p_.XCENTER = p_.XCENTER + p_.XV;
  p_.YCENTER = p_.YCENTER + p_.YV;
  const float dx = r * std::cos(a);
  const float dy = r * std::sin(a);
  p_.X = p_.XCENTER + dx;
  p_.Y = p_.YCENTER + dy;
}

void Temitter::AI_SPLINE() {
  spline.UPDATE();
  p_.X = spline.X();
  p_.Y = spline.Y();
}

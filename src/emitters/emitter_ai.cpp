// emitter_ai.cpp - the movement patterns. Right-hand sides read the
// values from the start of the step.
#include <cmath>  // fabs, double sin for the bounce term

#include "emitters/emitter.h"

namespace {
// A new coordinate from its three float terms: summed in double, left to
// right, and rounded to float once. Two float terms need no helper: their
// float sum is already the once-rounded double sum.
float sum_of(float a, float b, float c) {
  return static_cast<float>(static_cast<double>(a) + b + c);
}
}  // namespace

float Temitter::advance_angle() {
  p_.ANGLE = WRAP_ADD(p_.ANGLE, p_.ANGLE_SPEED);
  return static_cast<float>(p_.ANGLE * DEG_TO_RAD);
}

float Temitter::bounce(float r, float a) const {
  const int q = p_.ANGLE / 180;  // truncates toward zero; -1 counts as odd
  const float b = static_cast<float>(std::fabs(std::sin(static_cast<double>(a))) * r);
  return (q & 1) != 0 ? b : -b;
}

void Temitter::AI_LINEAR() {
  p_.X = p_.X + p_.XV;
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_SINE_V() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dy = SIN_TIMES(a, r);
  p_.X = p_.X + p_.XV;
  p_.Y = sum_of(p_.Y, p_.YV, dy);
}

void Temitter::AI_SINE_H() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dx = SIN_TIMES(a, r);
  p_.X = sum_of(p_.X, p_.XV, dx);
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_BOUNCE_V() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float b = bounce(r, a);
  p_.X = p_.X + p_.XV;
  p_.Y = sum_of(p_.Y, p_.YV, b);
}

void Temitter::AI_BOUNCE_H() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float b = bounce(r, a);
  p_.X = sum_of(p_.X, p_.XV, b);
  p_.Y = p_.Y + p_.YV;
}

void Temitter::AI_CIRCLE() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  const float dx = COS_TIMES(a, r);
  const float dy = SIN_TIMES(a, r);
  p_.X = sum_of(p_.X, p_.XV, dx);
  p_.Y = sum_of(p_.Y, p_.YV, dy);
}

void Temitter::AI_POLAR() {
  const float a = advance_angle();
  const float r = static_cast<float>(p_.RADIUS_DELTA);
  p_.XCENTER = p_.XCENTER + p_.XV;
  p_.YCENTER = p_.YCENTER + p_.YV;
  const float dx = COS_TIMES(a, r);
  const float dy = SIN_TIMES(a, r);
  p_.X = p_.XCENTER + dx;
  p_.Y = p_.YCENTER + dy;
}

void Temitter::AI_SPLINE() {
  spline.UPDATE();
  p_.X = spline.X();
  p_.Y = spline.Y();
}

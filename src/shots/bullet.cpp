// bullet.cpp - bullet motion, pause and point arithmetic.
#include "shots/bullet.h"

#include <cstdint>  // 64-bit pause end: 3 * DELAY must not overflow

#include "core/numeric.h"  // WRAP_ADD for COUNTER

const Tbullet_motion VP_BULLET_MOTIONS[VP_BULLET_MOTION_COUNT] = {
    {VP_MOTION_STRAIGHT, "straight", nullptr},
    {VP_MOTION_ACCELERATING, "accelerating", nullptr},
    {VP_MOTION_DAMPED, "damped", nullptr},
    {VP_MOTION_AIMED, "aimed", "aimed"},
};

const Tbullet_motion* BULLET_MOTION(int btype) {
  return btype >= 0 && btype < VP_BULLET_MOTION_COUNT ? &VP_BULLET_MOTIONS[btype] : nullptr;
}

Tbullet& Tbullet::operator=(const Tbullet& other) {
  X_ = other.X_;
  Y_ = other.Y_;
  XV_ = other.XV_;
  YV_ = other.YV_;
  XG_ = other.XG_;
  YG_ = other.YG_;
  ACTIVE_ = other.ACTIVE_;
  COUNTER_ = other.COUNTER_;
  ROTATION_ = other.ROTATION_;
  FRAME_ = other.FRAME_;
  MINFRAME_ = other.MINFRAME_;
  MAXFRAME_ = other.MAXFRAME_;
  ANIM_ = other.ANIM_;
  ENERGY_ = other.ENERGY_;
  DEATH_ID_ = other.DEATH_ID_;
  BTYPE_ = other.BTYPE_;
  return *this;
}

void Tbullet::MOVE(float target_x, float target_y, float speed) {
  COUNTER_ = WRAP_ADD(COUNTER_, 1);
  switch (BTYPE_) {
    case VP_MOTION_STRAIGHT:
      XV_ += XG_;
      YV_ += YG_;
      X_ += XV_;
      Y_ += YV_;
      break;
    case VP_MOTION_ACCELERATING:
      XACCEL_ += XG_;
      YACCEL_ += YG_;
      XV_ += XACCEL_;
      YV_ += YACCEL_;
      XV_ = XV_ - XV_ * 0.0042f;
      YV_ = YV_ - YV_ * 0.0042f;
      X_ += XV_;
      Y_ += YV_;
      break;
    case VP_MOTION_DAMPED: {
      XV_ += XG_;
      YV_ += YG_;
      const float xx = XV_ * XV_;
      const float yy = YV_ * YV_;
      const float speed2 = xx + yy;
      if (speed2 > 1.0f) {
        XV_ *= 0.968f;
        YV_ *= 0.968f;
      }
      X_ += XV_;
      Y_ += YV_;
      break;
    }
    case VP_MOTION_AIMED:
      X_ += XV_;
      Y_ += YV_;
      break;
    default:
      return;  // stands still and never pauses
  }

  // A non-positive DELAY never pauses, also once COUNTER has wrapped round.
  if (DELAY_ <= 0) return;
  const std::int64_t counter = COUNTER_;
  const std::int64_t pause_end = 3 * static_cast<std::int64_t>(DELAY_);
  if (counter == DELAY_) {
    saved_xv_ = XV_;
    saved_yv_ = YV_;
    XV_ = 0.0f;
    YV_ = 0.0f;
  }
  if (DELAY_ < counter && counter < pause_end) {
    XV_ = 0.0f;
    YV_ = 0.0f;
  }
  if (counter == pause_end) {
    switch (BTYPE_) {
      case VP_MOTION_ACCELERATING:
        XV_ = 0.0f;
        YV_ = 0.0f;
        XACCEL_ *= 0.5f;
        YACCEL_ *= 0.5f;
        break;
      case VP_MOTION_AIMED: {
        // Float differences; the angle and each velocity component come from
        // double trigonometry and are rounded to float once.
        const float a = AIM_ANGLE(target_y - Y_, target_x - X_);
        XV_ = COS_TIMES(a, speed);
        YV_ = SIN_TIMES(a, speed);
        break;
      }
      default:  // straight and damped
        XV_ = saved_xv_;
        YV_ = saved_yv_;
        break;
    }
  }
}

Tbullet& Tbullet::operator=(float v) {
  X_ = v;
  Y_ = v;
  return *this;
}

Tbullet& Tbullet::operator+=(const Tbullet& b) {
  X_ += b.X_;
  Y_ += b.Y_;
  return *this;
}
Tbullet& Tbullet::operator-=(const Tbullet& b) {
  X_ -= b.X_;
  Y_ -= b.Y_;
  return *this;
}
Tbullet& Tbullet::operator*=(const Tbullet& b) {
  X_ *= b.X_;
  Y_ *= b.Y_;
  return *this;
}
Tbullet& Tbullet::operator/=(const Tbullet& b) {
  X_ /= b.X_;
  Y_ /= b.Y_;
  return *this;
}
Tbullet& Tbullet::operator+=(float s) {
  X_ += s;
  Y_ += s;
  return *this;
}
Tbullet& Tbullet::operator-=(float s) {
  X_ -= s;
  Y_ -= s;
  return *this;
}
Tbullet& Tbullet::operator*=(float s) {
  X_ *= s;
  Y_ *= s;
  return *this;
}
Tbullet& Tbullet::operator/=(float s) {
  X_ /= s;
  Y_ /= s;
  return *this;
}

Tbullet operator+(const Tbullet& a, const Tbullet& b) { return Tbullet(a.X() + b.X(), a.Y() + b.Y()); }
Tbullet operator-(const Tbullet& a, const Tbullet& b) { return Tbullet(a.X() - b.X(), a.Y() - b.Y()); }
Tbullet operator*(const Tbullet& a, const Tbullet& b) { return Tbullet(a.X() * b.X(), a.Y() * b.Y()); }
Tbullet operator/(const Tbullet& a, const Tbullet& b) { return Tbullet(a.X() / b.X(), a.Y() / b.Y()); }
Tbullet operator+(const Tbullet& a, float s) { return Tbullet(a.X() + s, a.Y() + s); }
Tbullet operator-(const Tbullet& a, float s) { return Tbullet(a.X() - s, a.Y() - s); }
Tbullet operator*(const Tbullet& a, float s) { return Tbullet(a.X() * s, a.Y() * s); }
Tbullet operator/(const Tbullet& a, float s) { return Tbullet(a.X() / s, a.Y() / s); }

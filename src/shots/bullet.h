// bullet.h - one bullet: a point with velocity, gravity, pause and motion type.
//
// Rules and invariants:
//  - Floats are single precision and every step is stored in its float field
//    before the next one reads it; integers are 32-bit, COUNTER wraps.
//  - Bullets live only in turret pools and are never allocated during play.
//  - Idle in the pool: ACTIVE 0, COUNTER 0, DELAY -1. The bullet never
//    retires itself; the turret does when it leaves the play area.
//  - DELAY > 0 pauses the bullet from the DELAY-th to the 3*DELAY-th MOVE;
//    zero or negative never pauses.
//  - Assignment copies the visible state only: the target keeps its DELAY,
//    acceleration and saved velocity (drawing copies rely on this).
//  - Positions in window pixels, y grows downward.
//  - Aiming and trigonometric products follow core/numeric.h: the double
//    functions of float arguments, rounded to float once.
//  - BTYPE is one of the motions of VP_BULLET_MOTIONS; a bullet of any other
//    BTYPE stands still and never pauses.
#pragma once

#include "core/numeric.h"   // the trigonometric products
#include "core/property.h"  // VP_PROPERTY

// The motions, by their BTYPE.
enum {
  VP_MOTION_STRAIGHT = 0,
  VP_MOTION_ACCELERATING = 1,
  VP_MOTION_DAMPED = 2,
  VP_MOTION_AIMED = 3,
  VP_BULLET_MOTION_COUNT
};

class Tbullet {
 public:
  Tbullet() = default;
  Tbullet(float x, float y) : X_(x), Y_(y) {}
  Tbullet(const Tbullet&) = default;
  Tbullet& operator=(const Tbullet& other);

  VP_PROPERTY(float, X, X_)
  VP_PROPERTY(float, Y, Y_)
  VP_PROPERTY(float, XV, XV_)
  VP_PROPERTY(float, YV, YV_)
  VP_PROPERTY(float, XG, XG_)
  VP_PROPERTY(float, YG, YG_)
  VP_PROPERTY(float, XACCEL, XACCEL_)
  VP_PROPERTY(float, YACCEL, YACCEL_)
  VP_PROPERTY(int, ACTIVE, ACTIVE_)
  VP_PROPERTY(int, COUNTER, COUNTER_)
  VP_PROPERTY(int, DELAY, DELAY_)
  VP_PROPERTY(int, ROTATION, ROTATION_)
  VP_PROPERTY(int, FRAME, FRAME_)
  VP_PROPERTY(int, MINFRAME, MINFRAME_)
  VP_PROPERTY(int, MAXFRAME, MAXFRAME_)
  VP_PROPERTY(int, ANIM, ANIM_)
  VP_PROPERTY(int, ENERGY, ENERGY_)
  VP_PROPERTY(int, DEATH_ID, DEATH_ID_)
  VP_PROPERTY(int, BTYPE, BTYPE_)

  // One frame of flight. Only VP_MOTION_AIMED reads the target and speed
  // (re-aim when its pause ends).
  void MOVE(float target_x, float target_y, float speed);

  // Point arithmetic on (X, Y).
  Tbullet& operator=(float v);
  Tbullet& operator+=(const Tbullet& b);
  Tbullet& operator-=(const Tbullet& b);
  Tbullet& operator*=(const Tbullet& b);
  Tbullet& operator/=(const Tbullet& b);
  Tbullet& operator+=(float s);
  Tbullet& operator-=(float s);
  Tbullet& operator*=(float s);
  Tbullet& operator/=(float s);

 private:
  float X_ = 0.0f;
  float Y_ = 0.0f;
  float XV_ = 0.0f;
  float YV_ = 0.0f;
  float saved_xv_ = 0.0f;  // velocity when the pause began
  float saved_yv_ = 0.0f;
  float XG_ = 0.0f;
  float YG_ = 0.0f;
  float XACCEL_ = 0.0f;
  float YACCEL_ = 0.0f;
  int ACTIVE_ = 0;
  int COUNTER_ = 0;
  int DELAY_ = -1;
  int ROTATION_ = 0;
  int FRAME_ = 0;
  int MINFRAME_ = 0;
  int MAXFRAME_ = 1;
  int ANIM_ = 0;
  int ENERGY_ = 0;
  int DEATH_ID_ = 0;
  int BTYPE_ = 0;
};

// New default bullets whose X, Y are the operation applied to the operands'.
Tbullet operator+(const Tbullet& a, const Tbullet& b);
Tbullet operator-(const Tbullet& a, const Tbullet& b);
Tbullet operator*(const Tbullet& a, const Tbullet& b);
Tbullet operator/(const Tbullet& a, const Tbullet& b);
Tbullet operator+(const Tbullet& a, float s);
Tbullet operator-(const Tbullet& a, float s);
Tbullet operator*(const Tbullet& a, float s);
Tbullet operator/(const Tbullet& a, float s);

// The motions, indexed by their BTYPE: the one table that scene files, the
// HUD and docs/SCENES.md name them by. A new motion is a VP_MOTION_* value,
// its case in Tbullet::MOVE and one row here.
struct Tbullet_motion {
  int value;         // BTYPE
  const char* word;  // a scene file's `motion`
  // What the HUD calls a firing phase whose bullets move so, whatever the
  // shape of their shots; null where the shape's name stands (FIRING_NAME).
  const char* hud;
};
extern const Tbullet_motion VP_BULLET_MOTIONS[VP_BULLET_MOTION_COUNT];
// The row of `btype`; null for a BTYPE outside the table.
const Tbullet_motion* BULLET_MOTION(int btype);

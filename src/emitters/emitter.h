// emitter.h - a moving carrier of one turret, driven by a cyclic programme of
// movement phases.
//
// Rules and invariants:
//  - `turret` is the first member: the emitter places it on its own position
//    every frame before the turret's schedule and shot run.
//  - Positions in window pixels, y grows downward; angles in whole degrees.
//    ANGLE grows without bound and wraps as a 32-bit integer.
//  - Radians are ANGLE * DEG_TO_RAD rounded to single precision. Each
//    R*sin a or R*cos a term, and each new coordinate (the sum of its float
//    terms), is worked in double and rounded to float once.
//  - The movement pattern is a stored member pointer chosen from AI by
//    CHANGE_AI through VP_MOVEMENT_PATTERNS (an AI outside the table is
//    AI_LINEAR); the AI setter alone does not reselect it.
//  - Emitters are never copied: they own a turret, a spline and a schedule.
#pragma once

#include "containers/list.h"  // Temitter_Tlist, the phase schedule
#include "math/spline.h"      // the AI_SPLINE path
#include "core/numeric.h"    // MISSING_COORD, DEG_TO_RAD
#include "core/property.h"   // VP_PROPERTY
#include "shots/turret.h"     // the carried turret

// One movement phase; a default record is all zero.
struct Temitter_phase {
  int ACTIVETIME = 0;
  float X = 0.0f;
  float Y = 0.0f;
  float XV = 0.0f;
  float YV = 0.0f;
  float XCENTER = 0.0f;
  float YCENTER = 0.0f;
  int ACTIVE = 0;
  int ANGLE = 0;
  int ANGLE_SPEED = 0;
  int RADIUS_DELTA = 0;
  int AI = 0;
};

using Temitter_Tlist = Tlist<Temitter_phase>;

enum {
  AI_LINEAR_ID = 0,
  AI_SINE_V_ID = 1,
  AI_SINE_H_ID = 2,
  AI_BOUNCE_V_ID = 3,
  AI_BOUNCE_H_ID = 4,
  AI_CIRCLE_ID = 5,
  AI_POLAR_ID = 6,
  AI_SPLINE_ID = 7,
  VP_MOVEMENT_PATTERN_COUNT
};

class Temitter {
 public:
  using Tai_proc = void (Temitter::*)();

  Temitter();
  ~Temitter();
  Temitter(const Temitter&) = delete;
  Temitter& operator=(const Temitter&) = delete;

  Tturret turret;
  Tspline spline;

  VP_PROPERTY(int, LISTINDEX, LISTINDEX_)
  VP_PROPERTY(int, ACTIVETIME, p_.ACTIVETIME)
  VP_PROPERTY(float, X, p_.X)
  VP_PROPERTY(float, Y, p_.Y)
  VP_PROPERTY(float, XV, p_.XV)
  VP_PROPERTY(float, YV, p_.YV)
  VP_PROPERTY(float, XCENTER, p_.XCENTER)
  VP_PROPERTY(float, YCENTER, p_.YCENTER)
  VP_PROPERTY(int, ACTIVE, p_.ACTIVE)
  VP_PROPERTY(int, ANGLE, p_.ANGLE)
  VP_PROPERTY(int, ANGLE_SPEED, p_.ANGLE_SPEED)
  VP_PROPERTY(int, RADIUS_DELTA, p_.RADIUS_DELTA)
  VP_PROPERTY(int, AI, p_.AI)

  // One movement step by the selected pattern.
  void MOVE() { (this->*ai_proc_)(); }
  void CHANGE_AI();
  Tai_proc AI_PROC() const { return ai_proc_; }

  // Move, place the turret on the emitter, run the turret's schedule and
  // shot. The flag (this frame's MANAGE_LIST result) is not used.
  void DO_THINGY(int flag);

  // The movement patterns (emitter_ai.cpp).
  void AI_LINEAR();
  void AI_SINE_V();
  void AI_SINE_H();
  void AI_BOUNCE_V();
  void AI_BOUNCE_H();
  void AI_CIRCLE();
  void AI_POLAR();
  void AI_SPLINE();

  // Phase schedule (emitter_schedule.cpp).
  void ADDTO_LIST(const Temitter_phase& phase);
  void START();
  int MANAGE_LIST(int x = MISSING_COORD, int y = MISSING_COORD);

 private:
  // ANGLE += ANGLE_SPEED, then the angle in single-precision radians.
  float advance_angle();
  // The bounce term: R*|sin a| when ANGLE / 180 is odd, else its negative.
  float bounce(float r, float a) const;

  int LISTINDEX_ = 0;
  Temitter_phase p_;

 public:
  Temitter_Tlist schedule;

 private:
  Tai_proc ai_proc_ = &Temitter::AI_LINEAR;
};

// The movement patterns, indexed by their AI number: the one table that
// CHANGE_AI, the HUD and scene files read. A new pattern is an AI_*_ID, its
// procedure and one row here.
struct Tmovement_pattern {
  Temitter::Tai_proc proc;
  const char* name;  // one word, as the HUD shows it and a scene file writes it
};
extern const Tmovement_pattern VP_MOVEMENT_PATTERNS[VP_MOVEMENT_PATTERN_COUNT];

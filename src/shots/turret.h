// turret.h - a bullet shooter: parameter block, pool of 256 bullets, phase
// schedule and rotation procedure.
//
// Rules and invariants:
//  - Angles in whole degrees, 0 along +x, 90 along +y (y grows downward).
//  - The pool holds POOL_SIZE bullets, VP_POOL_SIZE unless RESIZE_POOL made
//    it another size before the turret first fired; MAXBULLET (how many of
//    them are used, from index 0) is clamped into 0..POOL_SIZE wherever it
//    is stored, so no index ever leaves the pool.
//  - P_POSITION and P_TARGET are borrowed, never owned; a phase whose pointer
//    is null keeps the turret's pointer (the target survives phase changes).
//  - One SHOOT per frame; nothing here allocates after construction.
//  - The rotation procedure is a stored member pointer chosen from
//    ROTATION_TYPE by CHANGE_ROTATION_AI: 1 sweeps (ROTATE2), else wraps.
//  - SHOOTER_AI lays a shot out by the firing mode WAVEMODE names in
//    VP_FIRING_MODES; a value outside the table fires as VP_FIRING_EVEN.
//  - Turrets are never copied: they own a pool and a schedule.
#pragma once

#include "containers/list.h"  // Tturret_Tlist, the phase schedule
#include "shots/bullet.h"     // the pool's element
#include "core/numeric.h"    // MISSING_COORD, DEG_TO_RAD
#include "core/property.h"   // VP_PROPERTY

enum { VP_POOL_SIZE = 256 };

// The firing modes, by their WAVEMODE.
enum {
  VP_FIRING_EVEN = 0,
  VP_FIRING_ONE_SIDED = 2,
  VP_FIRING_CENTRED = 3,
  VP_FIRING_ALTERNATING = 4,
  VP_FIRING_PARALLEL = 5
};

// The play area, the 640 x 480 window with a 50-pixel margin round it: a
// bullet that leaves it goes back to the pool after its move; one exactly on
// a bound stays in flight (and NaN is never outside).
inline bool OUTSIDE_PLAY_AREA(float x, float y) { return x < -50.0f || x > 690.0f || y < -50.0f || y > 530.0f; }

// Two floats, x then y: what a turret's position or target pointer reads.
struct Ttarget_point {
  float x;
  float y;
};

// One phase: a duration followed by the whole parameter block. A default
// record is all zero / null.
struct Tturret_phase {
  int ACTIVETIME = 0;
  int TARGETING = 0;
  const Ttarget_point* P_POSITION = nullptr;
  const Ttarget_point* P_TARGET = nullptr;
  float X = 0.0f;
  float Y = 0.0f;
  float XV = 0.0f;
  float YV = 0.0f;
  float XG = 0.0f;
  float YG = 0.0f;
  float TARGETX = 0.0f;
  float TARGETY = 0.0f;
  int ACTIVE = 0;
  float X_RADIUS = 0.0f;
  float Y_RADIUS = 0.0f;
  int ROTATION = 0;
  int MINROTATION = 0;
  int MAXROTATION = 0;
  int ROTATION_TYPE = 0;
  int ROTSPEED = 0;
  int ROTDIR = 0;
  int SPAWNDELAY = 0;
  int MAXSPAWNDELAY = 0;
  int MAXBULLET = 0;
  int BULLET_ENERGY = 0;
  int BULLET_DEATH_ID = 0;
  int BULLETS_PER_SHOT = 0;
  int SPREAD_ROTATION = 0;
  float BULLETSPEED = 0.0f;
  float BULLETSPEED_DELTA = 0.0f;
  float BULLETOFFSET = 0.0f;
  int WAVEMODE = 0;
  int BULLETCOUNTER = 0;
  int BULLETCOUNTERDELAY = 0;
  int BULLETWAVEMAX = 0;
  int BULLETWAVEMAXDELAY = 0;
  int BULLET_TYPE = 0;
  int BULLET_MIN_FRAME = 0;
  int BULLET_NUM_FRAME = 0;
  int BULLET_BASE_FRAME = 0;
};

using Tturret_Tlist = Tlist<Tturret_phase>;

class Tturret {
 public:
  using Trotate_proc = void (Tturret::*)();

  Tturret();
  explicit Tturret(int maxbullet);
  ~Tturret();
  Tturret(const Tturret&) = delete;
  Tturret& operator=(const Tturret&) = delete;

  VP_PROPERTY(int, LISTINDEX, LISTINDEX_)
  VP_PROPERTY(int, ACTIVETIME, p_.ACTIVETIME)
  VP_PROPERTY(int, TARGETING, p_.TARGETING)
  VP_PROPERTY(const Ttarget_point*, P_POSITION, p_.P_POSITION)
  VP_PROPERTY(const Ttarget_point*, P_TARGET, p_.P_TARGET)
  VP_PROPERTY(float, X, p_.X)
  VP_PROPERTY(float, Y, p_.Y)
  VP_PROPERTY(float, XV, p_.XV)
  VP_PROPERTY(float, YV, p_.YV)
  VP_PROPERTY(float, XG, p_.XG)
  VP_PROPERTY(float, YG, p_.YG)
  VP_PROPERTY(float, TARGETX, p_.TARGETX)
  VP_PROPERTY(float, TARGETY, p_.TARGETY)
  VP_PROPERTY(int, ACTIVE, p_.ACTIVE)
  VP_PROPERTY(float, X_RADIUS, p_.X_RADIUS)
  VP_PROPERTY(float, Y_RADIUS, p_.Y_RADIUS)
  VP_PROPERTY(int, ROTATION, p_.ROTATION)
  VP_PROPERTY(int, MINROTATION, p_.MINROTATION)
  VP_PROPERTY(int, MAXROTATION, p_.MAXROTATION)
  VP_PROPERTY(int, ROTATION_TYPE, p_.ROTATION_TYPE)
  VP_PROPERTY(int, ROTSPEED, p_.ROTSPEED)
  VP_PROPERTY(int, ROTDIR, p_.ROTDIR)
  VP_PROPERTY(int, SPAWNDELAY, p_.SPAWNDELAY)
  VP_PROPERTY(int, MAXSPAWNDELAY, p_.MAXSPAWNDELAY)
  VP_PROPERTY(int, BULLET_ENERGY, p_.BULLET_ENERGY)
  VP_PROPERTY(int, BULLET_DEATH_ID, p_.BULLET_DEATH_ID)
  VP_PROPERTY(int, BULLETS_PER_SHOT, p_.BULLETS_PER_SHOT)
  VP_PROPERTY(int, SPREAD_ROTATION, p_.SPREAD_ROTATION)
  VP_PROPERTY(float, BULLETSPEED, p_.BULLETSPEED)
  VP_PROPERTY(float, BULLETSPEED_DELTA, p_.BULLETSPEED_DELTA)
  VP_PROPERTY(float, BULLETOFFSET, p_.BULLETOFFSET)
  VP_PROPERTY(int, WAVEMODE, p_.WAVEMODE)
  VP_PROPERTY(int, BULLETCOUNTER, p_.BULLETCOUNTER)
  VP_PROPERTY(int, BULLETCOUNTERDELAY, p_.BULLETCOUNTERDELAY)
  VP_PROPERTY(int, BULLETWAVEMAX, p_.BULLETWAVEMAX)
  VP_PROPERTY(int, BULLETWAVEMAXDELAY, p_.BULLETWAVEMAXDELAY)
  VP_PROPERTY(int, BULLET_TYPE, p_.BULLET_TYPE)
  int BULLET_MIN_FRAME() const { return p_.BULLET_MIN_FRAME; }
  void BULLET_MIN_FRAME(int value) {
    p_.BULLET_MIN_FRAME = value;
    restyle_due_ = true;
  }
  VP_PROPERTY(int, BULLET_NUM_FRAME, p_.BULLET_NUM_FRAME)
  VP_PROPERTY(int, BULLET_BASE_FRAME, p_.BULLET_BASE_FRAME)

  int MAXBULLET() const { return p_.MAXBULLET; }
  void MAXBULLET(int value) {
    p_.MAXBULLET = CLAMP_MAXBULLET(value);
    restyle_due_ = true;
  }
  int CLAMP_MAXBULLET(int value) const { return value < 0 ? 0 : (value > pool_size_ ? pool_size_ : value); }

  int POOL_SIZE() const { return pool_size_; }
  // A new pool of `size` idle bullets (1 or more), MAXBULLET clamped to it;
  // for a scene being built, before anything is fired.
  void RESIZE_POOL(int size);

  // A copy of pool bullet i (0 <= i < MAXBULLET, else fatal), made as a
  // default bullet assigned from the pool's, so DELAY reads -1.
  Tbullet BULLET(int i) const;

  // Bullets that found no idle slot when fired, since construction.
  long long MISSED() const { return missed_; }

  void SET_POSITION(const Ttarget_point* p) { p_.P_POSITION = p; }
  void SET_TARGET(const Ttarget_point* p) { p_.P_TARGET = p; }

  // Rotation and aiming.
  void ROTATE() { (this->*rotate_proc_)(); }
  void ROTATE1();
  void ROTATE2();
  void CHANGE_ROTATION_AI(int n);
  Trotate_proc ROTATE_PROC() const { return rotate_proc_; }
  void AIM();
  void MOVE();

  // Firing (turret_fire.cpp).
  void SHOOT(int flag);
  void SHOOTER_AI();
  void MOVE_BULLETS();

  // Phase schedule (turret_schedule.cpp).
  void ADDTO_LIST(const Tturret_phase& phase);
  void START();
  int MANAGE_LIST(int x = MISSING_COORD, int y = MISSING_COORD);
  void APPLY_PHASE(const Tturret_phase& phase);
  Tturret& operator=(const Tturret_phase& phase) {
    APPLY_PHASE(phase);
    return *this;
  }

 private:
  // Places one bullet of a shot in the first idle slot at or after `slot`
  // (slots before it are known to be in flight), leaving `slot` past the one
  // taken; counts a miss when the pool is full.
  void place_bullet(int& slot, int spawn_angle, int direction, float speed, int rotation);

  int LISTINDEX_ = 0;
  Tturret_phase p_;
  Tbullet* pool_;
  int pool_size_ = VP_POOL_SIZE;

 public:
  Tturret_Tlist schedule;

 private:
  Trotate_proc rotate_proc_ = &Tturret::ROTATE1;
  long long missed_ = 0;
  // False only while every idle bullet among the first MAXBULLET already
  // carries BULLET_MIN_FRAME, so the restyling scan would change nothing.
  // Anything that can break that sets it: a new BULLET_MIN_FRAME or
  // MAXBULLET (setter or phase) and a bullet retiring with another MINFRAME.
  bool restyle_due_ = true;
};

// The firing modes: the one table that scene files, the HUD and
// docs/SCENES.md name them by, in the order a scene file's mistakes list
// them. A new mode is a VP_FIRING_* value, its case in SHOOTER_AI and one
// row here.
struct Tfiring_mode {
  int value;                // WAVEMODE
  const char* word;         // a scene file's `mode`
  const char* hud;          // the HUD's name for a firing phase of this mode
  const char* hud_stepped;  // the same, when speeds step (BULLETSPEED_DELTA is not 0)
};
enum { VP_FIRING_MODE_COUNT = 5 };
extern const Tfiring_mode VP_FIRING_MODES[VP_FIRING_MODE_COUNT];
// The row SHOOTER_AI fires `wavemode` by: its own, or VP_FIRING_EVEN's.
const Tfiring_mode& FIRING_MODE(int wavemode);

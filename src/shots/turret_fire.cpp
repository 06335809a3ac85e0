// turret_fire.cpp - the turret's frame step: follow, count down, turn or aim,
// fire a shot, move and retire bullets.
#include <cstdlib>  // abs for the V-shaped speed profile

#include "shots/turret.h"

const Tfiring_mode VP_FIRING_MODES[VP_FIRING_MODE_COUNT] = {
    {VP_FIRING_ONE_SIDED, "one-sided", "sweep", "sweep"},
    {VP_FIRING_CENTRED, "centred", "fan", "fan"},
    {VP_FIRING_ALTERNATING, "alternating", "wave", "wave"},
    {VP_FIRING_PARALLEL, "parallel", "wall", "chevron"},
    {VP_FIRING_EVEN, "even", "wave", "wave"},
};

const Tfiring_mode& FIRING_MODE(int wavemode) {
  for (const Tfiring_mode& mode : VP_FIRING_MODES)
    if (mode.value == wavemode) return mode;
  return FIRING_MODE(VP_FIRING_EVEN);  // a row of the table: one call deeper at most
}

void Tturret::SHOOT(int flag) {
  if (p_.ACTIVE == 0) return;
  const int count = p_.MAXBULLET;
  if (flag == 0 && restyle_due_) {
    restyle_due_ = false;
    for (int j = 0; j < count; ++j) {
      Tbullet& b = pool_[j];
      if (b.ACTIVE() == 0 && b.MINFRAME() != p_.BULLET_MIN_FRAME) {
        b.MINFRAME(p_.BULLET_MIN_FRAME);
        b.MAXFRAME(p_.BULLET_NUM_FRAME);
        b.ENERGY(p_.BULLET_ENERGY);
        b.DEATH_ID(p_.BULLET_DEATH_ID);
      }
    }
  }
  if (p_.P_TARGET != nullptr) {
    p_.TARGETX = p_.P_TARGET->x;
    p_.TARGETY = p_.P_TARGET->y;
  }
  if (p_.P_POSITION != nullptr) {
    p_.X = p_.P_POSITION->x;
    p_.Y = p_.P_POSITION->y;
  }
  p_.SPAWNDELAY = WRAP_SUB(p_.SPAWNDELAY, 1);
  if (p_.SPAWNDELAY < 0) {
    // The turret turns (or aims) once per wave, before its first shot.
    if (p_.BULLETCOUNTER == 0) {
      if (p_.TARGETING != 0) AIM();
      else ROTATE();
    }
    p_.SPAWNDELAY = p_.BULLETWAVEMAXDELAY;
    p_.BULLETCOUNTER = WRAP_ADD(p_.BULLETCOUNTER, 1);
    if (p_.BULLETCOUNTER > p_.BULLETWAVEMAX) {
      p_.BULLETCOUNTER = 0;
      p_.SPAWNDELAY = p_.MAXSPAWNDELAY;
    }
    SHOOTER_AI();
  }
  MOVE();
  MOVE_BULLETS();
}

void Tturret::SHOOTER_AI() {
  const int n = p_.BULLETS_PER_SHOT;
  const int c = p_.BULLETCOUNTER;  // already counts this shot; 0 for a wave's last
  int slot = 0;

  if (n == 1) {
    place_bullet(slot, p_.ROTATION, p_.ROTATION, p_.BULLETSPEED, p_.ROTATION % 360);
    return;
  }
  if (n <= 0) return;

  // Every speed below is worked in double from the float fields and rounded
  // to float once; rounding each partial result drifts by an ulp.
  const double base = p_.BULLETSPEED;
  const double delta = p_.BULLETSPEED_DELTA;

  // Speed of this shot within its wave: the k-th shot flies at
  // BULLETSPEED + k * BULLETSPEED_DELTA.
  const int wave_step = c == 0 ? p_.BULLETWAVEMAX : WRAP_SUB(c, 1);
  const float w = static_cast<float>(base + delta * wave_step);

  const float m = (p_.WAVEMODE == VP_FIRING_ALTERNATING && (c & 1) != 0) ? p_.BULLETOFFSET : 1.0f;
  const int n_odd = (n % 2 == 0) ? n + 1 : n;
  const int h = n / 2;
  const float spread = static_cast<float>(p_.SPREAD_ROTATION) * m;
  const int q = NEAREST_INT(spread);

  int step;
  int theta;
  if (p_.WAVEMODE == VP_FIRING_ONE_SIDED) {
    step = WRAP_MUL(p_.ROTDIR, p_.SPREAD_ROTATION);
    theta = p_.ROTATION;
  } else {
    step = WRAP_MUL(p_.ROTDIR, q);
    const double half = static_cast<double>(n_odd) / 2.0;  // ends in .5
    theta = NEAREST_INT(static_cast<double>(p_.ROTATION) - half * static_cast<double>(step));
  }

  for (int k = 0; k < n; ++k) {
    theta = WRAP_ADD(theta, step);
    switch (p_.WAVEMODE) {
      case VP_FIRING_ONE_SIDED: {
        const float v = static_cast<float>(base + (k + 1.0) * delta / n);
        place_bullet(slot, theta, theta, v, theta % 360);
        break;
      }
      case VP_FIRING_CENTRED:
      case VP_FIRING_PARALLEL: {
        const float v = static_cast<float>(base + delta * std::abs(k - h) / h);
        // A wall: spread along the ellipse, but every bullet flies along ROTATION.
        const int direction = p_.WAVEMODE == VP_FIRING_PARALLEL ? p_.ROTATION : theta;
        place_bullet(slot, theta, direction, v, theta % 360);
        break;
      }
      default:  // alternating, even and every value outside the table: one speed per shot
        place_bullet(slot, theta, theta, w, WRAP_ADD(theta, 360) % 360);
        break;
    }
  }
}

void Tturret::place_bullet(int& slot, int spawn_angle, int direction, float speed, int rotation) {
  const int count = p_.MAXBULLET;
  while (slot < count && pool_[slot].ACTIVE() != 0) ++slot;
  if (slot >= count) {
    ++missed_;
    return;
  }
  Tbullet& b = pool_[slot++];
  const float a = static_cast<float>(spawn_angle * DEG_TO_RAD);
  const float d = static_cast<float>(direction * DEG_TO_RAD);
  b.ROTATION(rotation);
  // The offset on the ellipse is rounded on its own, then added in float.
  b.X(COS_TIMES(a, p_.X_RADIUS) + p_.X);
  b.Y(SIN_TIMES(a, p_.Y_RADIUS) + p_.Y);
  b.XV(COS_TIMES(d, speed));
  b.YV(SIN_TIMES(d, speed));
  b.XACCEL(b.XV() * 0.5f);
  b.YACCEL(b.YV() * 0.5f);
  b.XG(p_.XG);
  b.YG(p_.YG);
  b.DELAY(p_.BULLETCOUNTERDELAY);
  b.BTYPE(p_.BULLET_TYPE);
  b.ACTIVE(-1);
}

void Tturret::MOVE_BULLETS() {
  const int count = p_.MAXBULLET;
  const float tx = p_.TARGETX;
  const float ty = p_.TARGETY;
  const float speed = p_.BULLETSPEED;
  for (int j = 0; j < count; ++j) {
    Tbullet& b = pool_[j];
    if (b.ACTIVE() == 0) continue;
    b.MOVE(tx, ty, speed);
    const float x = b.X();
    const float y = b.Y();
    if (OUTSIDE_PLAY_AREA(x, y)) {
      b.ACTIVE(0);
      b.COUNTER(0);
      b.DELAY(-1);
      if (b.MINFRAME() != p_.BULLET_MIN_FRAME) restyle_due_ = true;
    }
  }
}

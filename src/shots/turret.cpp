// turret.cpp - turret construction, pool access, rotation and aiming.
#include "shots/turret.h"

#include "platform/runtime_error.h"  // VP_CHECK_INDEX on BULLET

Tturret::Tturret() : Tturret(VP_POOL_SIZE) {}

Tturret::Tturret(int maxbullet) : pool_(new Tbullet[VP_POOL_SIZE]) {
  p_.ACTIVE = -1;
  p_.MAXBULLET = CLAMP_MAXBULLET(maxbullet);
  p_.WAVEMODE = VP_FIRING_ONE_SIDED;
  p_.BULLET_MIN_FRAME = 1;
  // The schedule opens with an empty phase that is only ever counted down,
  // so the first MANAGE_LIST after START applies the first real phase.
  Tturret_phase empty;
  ADDTO_LIST(empty);
}

Tturret::~Tturret() { delete[] pool_; }

void Tturret::RESIZE_POOL(int size) {
  if (size < 1) size = 1;
  Tbullet* pool = new Tbullet[size];
  delete[] pool_;
  pool_ = pool;
  pool_size_ = size;
  p_.MAXBULLET = CLAMP_MAXBULLET(p_.MAXBULLET);
  restyle_due_ = true;
}

Tbullet Tturret::BULLET(int i) const {
  VP_CHECK_INDEX(i, p_.MAXBULLET, "Tturret", "BULLET");
  Tbullet copy;
  copy = pool_[i];
  return copy;
}

void Tturret::ROTATE1() {
  p_.ROTATION = WRAP_ADD(p_.ROTATION, WRAP_MUL(p_.ROTSPEED, p_.ROTDIR));
  if (p_.ROTATION > p_.MAXROTATION) p_.ROTATION = WRAP_SUB(p_.ROTATION, p_.MAXROTATION);
  if (p_.ROTATION < p_.MINROTATION) p_.ROTATION = WRAP_ADD(p_.ROTATION, p_.MAXROTATION);
}

void Tturret::ROTATE2() {
  p_.ROTATION = WRAP_ADD(p_.ROTATION, WRAP_MUL(p_.ROTSPEED, p_.ROTDIR));
  if (p_.ROTATION > p_.MAXROTATION) p_.ROTDIR = WRAP_SUB(0, p_.ROTDIR);
  if (p_.ROTATION < p_.MINROTATION) p_.ROTDIR = WRAP_SUB(0, p_.ROTDIR);
}

void Tturret::CHANGE_ROTATION_AI(int n) {
  static constexpr Trotate_proc k_procs[2] = {&Tturret::ROTATE1, &Tturret::ROTATE2};
  rotate_proc_ = k_procs[n == 1 ? 1 : 0];
}

void Tturret::AIM() {
  const float a = AIM_ANGLE(p_.TARGETY - p_.Y, p_.TARGETX - p_.X);
  const double d = static_cast<double>(a) * RAD_TO_DEG + 360.0;
  p_.ROTATION = NEAREST_INT(d) % 360;
}

void Tturret::MOVE() {
  p_.X += p_.XV;
  p_.Y += p_.YV;
}

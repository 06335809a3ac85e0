// bench_largest.h - the largest scene the limits allow, kept busy: 64
// emitters a little apart on the built-in show's movement programme, each
// turret's 4096-bullet pool filled by wide, slow, fast-firing fans, so the
// simulation and the drawing are measured with every slot in use.
#pragma once

#include "scene/scene_desc.h"  // the limits and the built-in show

inline Tscene_desc BENCH_LARGEST_SCENE() {
  Tscene_desc d = SCENE_BUILTIN();
  d.start_angles.clear();
  for (int i = 0; i < VP_SCENE_MAX_EMITTERS; ++i) d.start_angles.push_back(i * 360 / VP_SCENE_MAX_EMITTERS);
  d.pool_size = VP_SCENE_MAX_POOL;
  Tturret_phase fan = d.firing[4];
  fan.ACTIVETIME = 100000;
  fan.MAXBULLET = VP_SCENE_MAX_POOL;
  fan.BULLETS_PER_SHOT = 40;
  fan.SPREAD_ROTATION = 9;
  fan.MAXSPAWNDELAY = 1;
  fan.BULLETWAVEMAX = 0;
  fan.BULLETSPEED = 0.6f;
  fan.BULLETSPEED_DELTA = 0.0f;
  fan.WAVEMODE = VP_FIRING_CENTRED;
  fan.BULLET_TYPE = VP_MOTION_STRAIGHT;
  fan.YG = 0.0f;
  d.firing = {fan};
  return d;
}

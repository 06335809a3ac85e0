// scene_checks.h - what must hold after every frame of any scene: finite
// positions, bullets in flight inside the play area, no more of them than
// the turret uses. Shared by the soak, the gallery test and the scene fuzz
// target; no test framework here.
#pragma once

#include <cmath>   // isfinite
#include <string>  // a fault described

#include "scene/scene.h"  // the scene checked

// What a frame check found; the text is only built for a fault, so that the
// check itself allocates nothing while the heap is being watched.
struct Tfault {
  const char* what = nullptr;  // null: the frame is sound
  int turret = -1;
  int bullet = -1;
  float x = 0.0f;
  float y = 0.0f;
  int count = 0;
};

inline std::string DESCRIBE_FAULT(const Tfault& f) {
  return std::string(f.what) + " (turret " + std::to_string(f.turret) + ", bullet " + std::to_string(f.bullet) +
         ", at " + std::to_string(f.x) + ", " + std::to_string(f.y) + ", count " + std::to_string(f.count) + ")";
}

inline Tfault CHECK_FRAME(Tscene& scene) {
  for (int i = 0; i < scene.emitter_count; ++i) {
    Temitter& emitter = scene.emitters[i];
    Tturret& turret = emitter.turret;
    if (!std::isfinite(emitter.X()) || !std::isfinite(emitter.Y()) || !std::isfinite(turret.X()) ||
        !std::isfinite(turret.Y())) {
      return {"emitter or turret not at a finite position", i, -1, emitter.X(), emitter.Y(), 0};
    }
    // The whole pool is read, also past MAXBULLET, so that a bullet left in
    // flight above it after a phase shrank the count is seen too. Setting
    // MAXBULLET only stores it; it is put back before the next frame.
    const int maxbullet = turret.MAXBULLET();
    turret.MAXBULLET(turret.POOL_SIZE());
    int in_flight = 0;
    Tfault fault;
    for (int j = 0; j < turret.POOL_SIZE() && fault.what == nullptr; ++j) {
      const Tbullet bullet = turret.BULLET(j);
      if (!std::isfinite(bullet.X()) || !std::isfinite(bullet.Y()) || !std::isfinite(bullet.XV()) ||
          !std::isfinite(bullet.YV())) {
        fault = {"bullet not finite", i, j, bullet.X(), bullet.Y(), 0};
      } else if (bullet.ACTIVE() != 0) {
        ++in_flight;
        if (OUTSIDE_PLAY_AREA(bullet.X(), bullet.Y())) {
          fault = {"bullet in flight outside the play area", i, j, bullet.X(), bullet.Y(), 0};
        }
      }
    }
    turret.MAXBULLET(maxbullet);
    if (fault.what != nullptr) return fault;
    if (in_flight > maxbullet) return {"more bullets in flight than MAXBULLET", i, -1, 0.0f, 0.0f, in_flight};
  }
  return {};
}



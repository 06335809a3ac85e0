// scene_checks.h - what must hold after every frame of any scene, of
// emitters or of patterns: finite positions, an emitter's bullets in flight
// inside the play area, no more of them than the source uses, a pattern's
// in creation order. Read through the scene's one description of what is
// in flight (scene/scene_bodies.h), then the emitters' own state that it
// does not describe. Shared by the soak, the gallery test and the fuzz
// targets; no test framework here.
#pragma once

#include <cmath>   // isfinite
#include <string>  // a fault described

#include "scene/scene.h"         // the scene checked
#include "scene/scene_bodies.h"  // what is in flight, of both kinds

// What a frame check found; the text is only built for a fault, so that the
// check itself allocates nothing while the heap is being watched.
struct Tfault {
  const char* what = nullptr;  // null: the frame is sound
  int turret = -1;  // the source
  int bullet = -1;  // its slot or creation number
  float x = 0.0f;
  float y = 0.0f;
  int count = 0;
};

inline std::string DESCRIBE_FAULT(const Tfault& f) {
  return std::string(f.what) + " (turret " + std::to_string(f.turret) + ", bullet " + std::to_string(f.bullet) +
         ", at " + std::to_string(f.x) + ", " + std::to_string(f.y) + ", count " + std::to_string(f.count) + ")";
}

// What is in flight, read through the one description: every object at a
// finite position, an emitter's bullets inside the play area and no more
// of them than its MAXBULLET, a pattern's in creation order and no more
// than its pool. Allocates nothing.
inline Tfault CHECK_BODIES(const Tscene& scene) {
  Tfault fault;
  int source = -1;
  int count = 0;
  long long previous = 0;
  const auto close_source = [&]() {
    if (source < 0 || fault.what != nullptr) return;
    const int most = SCENE_MOST_IN_FLIGHT(scene, source);
    if (count > most) fault = {"more bullets in flight than the source may hold", source, -1, 0.0f, 0.0f, count};
  };
  SCENE_EACH_BODY(scene, [&](const Tscene_body& b) {
    if (fault.what != nullptr) return;
    if (b.source != source) {
      close_source();
      source = b.source;
      count = 0;
      previous = 0;
    }
    const int number = static_cast<int>(b.number);
    const float x = static_cast<float>(b.x), y = static_cast<float>(b.y);
    if (!std::isfinite(b.x) || !std::isfinite(b.y)) {
      fault = {"an object not at a finite position", b.source, number, x, y, 0};
      return;
    }
    if (b.kind != VP_SPRITE_BULLET) return;
    ++count;
    if (b.source_kind == VP_SOURCE_EMITTER && OUTSIDE_PLAY_AREA(x, y))
      fault = {"bullet in flight outside the play area", b.source, number, x, y, 0};
    if (b.source_kind == VP_SOURCE_PATTERN && b.number <= previous)
      fault = {"a pattern's bullets out of creation order", b.source, number, x, y, 0};
    previous = b.number;
  });
  close_source();
  return fault;
}

// The description, then what it does not hold: an emitter's turret, its
// bullets' velocities, and the pool past MAXBULLET.
inline Tfault CHECK_FRAME(Tscene& scene) {
  const Tfault described = CHECK_BODIES(scene);
  if (described.what != nullptr) return described;
  for (int i = 0; i < scene.emitter_count; ++i) {
    Temitter& emitter = scene.emitters[i];
    Tturret& turret = emitter.turret;
    if (!std::isfinite(turret.X()) || !std::isfinite(turret.Y()))
      return {"turret not at a finite position", i, -1, turret.X(), turret.Y(), 0};
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

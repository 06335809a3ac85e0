// sprites.cpp - the scene's sprites in drawing order.
#include "scene/sprites.h"

void SCENE_SPRITES(const Tscene& scene, std::vector<Tsprite>& sprites) {
  sprites.clear();
  for (int i = 0; i < scene.emitter_count; ++i) {
    if (scene.shown[i] == 0) continue;
    const Temitter& emitter = scene.emitters[i];
    sprites.push_back(Tsprite{emitter.X(), emitter.Y(), VP_SPRITE_EMITTER});
    // Every slot is read by value, in flight or not; only those in flight
    // are shown.
    const Tturret& turret = emitter.turret;
    const int count = turret.MAXBULLET();
    for (int j = 0; j < count; ++j) {
      const Tbullet bullet = turret.BULLET(j);
      if (bullet.ACTIVE() != 0) sprites.push_back(Tsprite{bullet.X(), bullet.Y(), VP_SPRITE_BULLET});
    }
  }
}

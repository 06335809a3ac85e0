// sprites.cpp - the scene's sprites in drawing order.
#include "scene/sprites.h"

#include "scene/scene_bodies.h"  // what is in flight

void SCENE_SPRITES(const Tscene& scene, std::vector<Tsprite>& sprites) {
  sprites.clear();
  SCENE_EACH_BODY(scene, [&sprites](const Tscene_body& body) {
    if (!body.shown) return;
    // An emitter's position has always been its sprite's corner; the double
    // it is widened to gives back its float exactly.
    if (body.source_kind == VP_SOURCE_EMITTER) {
      sprites.push_back(Tsprite{static_cast<float>(body.x), static_cast<float>(body.y), body.kind});
      return;
    }
    const double half = (body.kind == VP_SPRITE_BULLET ? VP_BULLET_SIDE : VP_EMITTER_SIDE) / 2.0;
    sprites.push_back(Tsprite{static_cast<float>(body.x - half), static_cast<float>(body.y - half), body.kind});
  });
}

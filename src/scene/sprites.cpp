// sprites.cpp - the scene's sprites in drawing order.
#include "scene/sprites.h"

#include "scene/scene_bodies.h"  // what is in flight

namespace {

constexpr double k_bullet_half = 8.0;    // of the 16 x 16 bullet sprite
constexpr double k_emitter_half = 16.0;  // of the 32 x 32 emitter sprite

}  // namespace

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
    const double half = body.kind == VP_SPRITE_BULLET ? k_bullet_half : k_emitter_half;
    sprites.push_back(Tsprite{static_cast<float>(body.x - half), static_cast<float>(body.y - half), body.kind});
  });
}

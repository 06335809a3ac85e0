// scene_bodies.h - one description of what is in flight in a scene, both
// kinds of source read the same way: each emitter and its bullets, then
// each pattern's root and its bullets.
//
// Rules:
//  - Every reader of the scene's objects (sprites, HUD, trace, the soak and
//    fuzz checks, the capture through the sprites) goes through
//    SCENE_EACH_BODY; none walks emitters, turrets and pools by hand.
//  - Order: source by source (scene.sources: emitters 0, 1, ..., then the
//    patterns, unless the description ordered them); in
//    each, its emitter or root first (number -1), then its bullets in
//    flight: an emitter's in pool order within its turret's MAXBULLET,
//    numbered by pool slot; a pattern's in creation order, numbered by
//    creation number (1, 2, ..., never reused).
//  - An emitter's float position is widened to double, which is exact: the
//    float is got back unchanged. A pattern's is its double as it is.
//  - `shown` is an emitter's scene.shown (drawn, with its bullets, when it
//    was active in the last frame stepped); a pattern's objects always are.
//  - Allocation-free and inline: the trace and the sprites of every frame
//    run through it.
#pragma once

#include <cstdint>  // the kinds' widths

#include "scene/scene.h"    // the emitters and the patterns' players
#include "scene/sprites.h"  // Tsprite_kind

enum Tscene_source_kind : std::uint8_t { VP_SOURCE_EMITTER, VP_SOURCE_PATTERN };

struct Tscene_body {
  int source;       // emitters first, then the patterns
  long long number; // -1 for the emitter or the root; else pool slot or creation number
  double x;
  double y;
  Tsprite_kind kind;  // VP_SPRITE_EMITTER for an emitter or a root
  Tscene_source_kind source_kind;
  bool shown;
};

// Sources of the scene: its emitters and its patterns (scene.h).
inline int SCENE_SOURCES(const Tscene& scene) { return static_cast<int>(scene.sources.size()); }

// Calls fn(const Tscene_body&) for each object in flight, in the order above.
template <class Tfn>
void SCENE_EACH_BODY(const Tscene& scene, Tfn&& fn) {
  const int sources = SCENE_SOURCES(scene);
  for (int source = 0; source < sources; ++source) {
    const Tscene_source& s = scene.sources[static_cast<std::size_t>(source)];
    if (!s.pattern) {
      const Temitter& emitter = scene.emitters[s.index];
      const bool shown = scene.shown[static_cast<std::size_t>(s.index)] != 0;
      fn(Tscene_body{source, -1, emitter.X(), emitter.Y(), VP_SPRITE_EMITTER, VP_SOURCE_EMITTER, shown});
      // Every slot is read by value, in flight or not; only those in flight
      // are described.
      const Tturret& turret = emitter.turret;
      const int count = turret.MAXBULLET();
      for (int j = 0; j < count; ++j) {
        const Tbullet bullet = turret.BULLET(j);
        if (bullet.ACTIVE() != 0)
          fn(Tscene_body{source, j, bullet.X(), bullet.Y(), VP_SPRITE_BULLET, VP_SOURCE_EMITTER, shown});
      }
      continue;
    }
    const Tpattern_player& player = scene.players[static_cast<std::size_t>(s.index)];
    const Tpattern_body& root = player.ROOT();
    fn(Tscene_body{source, -1, root.x, root.y, VP_SPRITE_EMITTER, VP_SOURCE_PATTERN, true});
    const int in_flight = player.IN_FLIGHT();
    for (int j = 0; j < in_flight; ++j) {
      const Tpattern_body& shot = player.SHOT(j);
      fn(Tscene_body{source, shot.number, shot.x, shot.y, VP_SPRITE_BULLET, VP_SOURCE_PATTERN, true});
    }
  }
}

// Fires a source could not make because its pool was full: an emitter's
// turret's count, a pattern's player's.
inline long long SCENE_MISSED(const Tscene& scene, int source) {
  const Tscene_source& s = scene.sources[static_cast<std::size_t>(source)];
  if (!s.pattern) return scene.emitters[s.index].turret.MISSED();
  return scene.players[static_cast<std::size_t>(s.index)].MISSED();
}

// Bullets source may have in flight at most: an emitter's MAXBULLET, a
// pattern's pool.
inline int SCENE_MOST_IN_FLIGHT(const Tscene& scene, int source) {
  const Tscene_source& s = scene.sources[static_cast<std::size_t>(source)];
  if (!s.pattern) return scene.emitters[s.index].turret.MAXBULLET();
  return scene.players[static_cast<std::size_t>(s.index)].POOL();
}

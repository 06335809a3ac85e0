// play_test.cpp - the frame step: keys before the step, pausing and single
// steps, phase jumps landing where a plain run would be, and the sprites a
// stepped frame shows.
#include <gtest/gtest.h>

#include <vector>

#include "platform/console.h"     // the schedules' reports, kept off the output
#include "scene/play.h"           // under test
#include "scene/scene_phases.h"   // where the jumps should land
#include "scene/sprites.h"        // what a frame shows
#include "support/scene_fixture.h"

namespace {

Tframe_input pressing(std::vector<Tkey> keys) {
  Tframe_input input;
  for (Tkey key : keys) input.keys[input.key_count++] = key;
  return input;
}

// Emitter and bullet positions, bit for bit.
void expect_same_scene(const Tscene& a, const Tscene& b) {
  std::vector<Tsprite> sa, sb;
  SCENE_SPRITES(a, sa);
  SCENE_SPRITES(b, sb);
  ASSERT_EQ(sa.size(), sb.size());
  for (std::size_t i = 0; i < sa.size(); ++i) {
    EXPECT_EQ(sa[i].x, sb[i].x) << i;
    EXPECT_EQ(sa[i].y, sb[i].y) << i;
    EXPECT_EQ(sa[i].kind, sb[i].kind) << i;
  }
}

int shown_emitters(const Tscene& scene) {
  std::vector<Tsprite> sprites;
  SCENE_SPRITES(scene, sprites);
  int emitters = 0;
  for (const Tsprite& s : sprites) emitters += s.kind == VP_SPRITE_EMITTER ? 1 : 0;
  return emitters;
}

class PlayTest : public Tscene_test {
 protected:
  Tconsole_quiet quiet;
  Tplay play;
};

TEST_F(PlayTest, PauseHoldsTheSceneAndEachRightPressStepsOneFrame) {
  Tscene reference;
  BUILD_SCENE(reference);
  Tplay reference_play;
  EXPECT_TRUE(PLAY_STEP(scene, play, Tframe_input()));
  EXPECT_FALSE(PLAY_STEP(scene, play, pressing({VP_KEY_SPACE})));
  EXPECT_FALSE(PLAY_STEP(scene, play, Tframe_input()));
  EXPECT_EQ(play.frame, 1);
  // Two presses in one frame: that frame and the next are stepped.
  EXPECT_TRUE(PLAY_STEP(scene, play, pressing({VP_KEY_RIGHT, VP_KEY_PERIOD})));
  EXPECT_TRUE(PLAY_STEP(scene, play, Tframe_input()));
  EXPECT_FALSE(PLAY_STEP(scene, play, Tframe_input()));
  EXPECT_EQ(play.frame, 3);
  for (int i = 0; i < 3; ++i) PLAY_STEP(reference, reference_play, Tframe_input());
  expect_same_scene(scene, reference);
  // Right while running does nothing beyond the frame itself.
  EXPECT_TRUE(PLAY_STEP(scene, play, pressing({VP_KEY_SPACE, VP_KEY_RIGHT})));
  EXPECT_EQ(play.frame, 4);
  EXPECT_TRUE(PLAY_STEP(scene, play, pressing({VP_KEY_H})));
  EXPECT_TRUE(play.hud);
}

TEST_F(PlayTest, TheTargetReachesTheSceneOnlyOnAStep) {
  Tframe_input input;
  input.target = Ttarget_point{100.0f, 50.0f};
  PLAY_STEP(scene, play, input);
  EXPECT_EQ(scene.target.x, 100.0f);
  input.target = Ttarget_point{7.0f, 8.0f};
  input.keys[input.key_count++] = VP_KEY_SPACE;
  PLAY_STEP(scene, play, input);
  EXPECT_EQ(scene.target.x, 100.0f);
  EXPECT_EQ(scene.target.y, 50.0f);
}

// A jump lands on the frame before a phase entry and the entry itself is
// stepped in the same call: the scene then equals a plain run to that
// frame with the mouse outside the window, backwards (a rebuild) as well.
TEST_F(PlayTest, PageDownAndUpLandOnTheEntryFrameOfAPlainRun) {
  for (int i = 0; i < 10; ++i) PLAY_STEP(scene, play, Tframe_input());
  const long next = NEXT_PHASE_FRAME(scene, 10);
  PLAY_STEP(scene, play, pressing({VP_KEY_PAGE_DOWN}));
  EXPECT_EQ(play.frame, next);
  Tscene reference;
  BUILD_SCENE(reference);
  Tplay reference_play;
  for (long f = 0; f < next; ++f) PLAY_STEP(reference, reference_play, Tframe_input());
  expect_same_scene(scene, reference);

  PLAY_STEP(scene, play, pressing({VP_KEY_SPACE, VP_KEY_PAGE_UP}));
  EXPECT_EQ(play.frame, PREVIOUS_PHASE_FRAME(scene, next));
  EXPECT_TRUE(play.paused);
}

// A scene from a description is rebuilt from that description, not from the
// built-in show's: a backwards jump lands in the same scene's run.
TEST_F(PlayTest, PageUpRebuildsTheSceneFromItsOwnDescription) {
  Tscene_desc desc = SCENE_BUILTIN();
  desc.start_angles = {30, 150, 270};
  desc.pool_size = 64;
  desc.movement.resize(2);
  desc.movement[0].ACTIVETIME = 40;
  desc.firing.resize(3);
  desc.firing[0].ACTIVETIME = 25;
  Tscene built;
  BUILD_SCENE(built, desc);
  Tplay built_play;
  for (int i = 0; i < 200; ++i) PLAY_STEP(built, built_play, Tframe_input());
  PLAY_STEP(built, built_play, pressing({VP_KEY_PAGE_UP}));
  const long landed = built_play.frame;
  EXPECT_EQ(landed, PREVIOUS_PHASE_FRAME(built, 201));
  EXPECT_EQ(built.emitter_count, 3);
  EXPECT_EQ(built.emitters[0].turret.POOL_SIZE(), 64);

  Tscene reference;
  BUILD_SCENE(reference, desc);
  Tplay reference_play;
  for (long f = 0; f < landed; ++f) PLAY_STEP(reference, reference_play, Tframe_input());
  expect_same_scene(built, reference);
}

TEST_F(PlayTest, AnEmitterSwitchedOffIsShownNoMoreFromTheNextFrame) {
  PLAY_STEP(scene, play, Tframe_input());
  std::vector<Tsprite> sprites;
  SCENE_SPRITES(scene, sprites);
  ASSERT_EQ(sprites.front().kind, VP_SPRITE_EMITTER);
  EXPECT_EQ(sprites.front().x, scene.emitters[0].X());
  EXPECT_EQ(shown_emitters(scene), VP_EMITTER_COUNT);
  scene.emitters[1].ACTIVE(0);
  EXPECT_EQ(shown_emitters(scene), VP_EMITTER_COUNT);  // still the frame as it was stepped
  PLAY_STEP(scene, play, Tframe_input());
  EXPECT_EQ(shown_emitters(scene), VP_EMITTER_COUNT - 1);
}

}  // namespace

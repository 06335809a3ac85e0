// Scene: list sizes and angles, repeatable spline points, the target pointer
// across phase changes, and the first frame.
#include <gtest/gtest.h>

#include <cstring>  // memcmp: bit-identical floats

#include "scene/scene.h"
#include "support/scene_fixture.h"  // the built scene
#include "platform/console.h"
#include "platform/random.h"

namespace {

template <typename T>
int records_from_first(Tlist<T>& list, T* first_out) {
  int n = 0;
  for (auto* node = list.GETFIRST(); node != nullptr && node->data != nullptr; node = node->next) {
    if (n == 0) *first_out = *node->data;
    ++n;
  }
  list.GETFIRST();
  return n;
}

using SceneTest = Tscene_test;

TEST_F(SceneTest, ListsHoldConstructorPhaseAndTheScript) {
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Temitter& e = scene.emitters[i];
    Temitter_phase ef;
    EXPECT_EQ(records_from_first(e.schedule, &ef), 7);
    EXPECT_EQ(ef.ACTIVETIME, 0);
    EXPECT_EQ(ef.AI, 0);
    Tturret_phase tf;
    EXPECT_EQ(records_from_first(e.turret.schedule, &tf), 11);
    EXPECT_EQ(tf.ACTIVETIME, 0);
    EXPECT_EQ(tf.MAXBULLET, 0);
    EXPECT_EQ(e.LISTINDEX(), 0);
    EXPECT_EQ(e.turret.LISTINDEX(), 0);
    EXPECT_EQ(e.turret.P_TARGET(), &scene.target);
    EXPECT_EQ(e.spline.MAXINDEX(), 60);
    EXPECT_EQ(e.spline.SPEED(), 0.01f);
  }
}

TEST_F(SceneTest, EveryPhaseCarriesTheEmittersStartAngle) {
  const int angle[4] = {0, 90, 180, 270};
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    Temitter& e = scene.emitters[i];
    for (auto* n = e.schedule.GETFIRST()->next; n->data != nullptr; n = n->next)
      EXPECT_EQ(n->data->ANGLE, angle[i]);
    for (auto* n = e.turret.schedule.GETFIRST()->next; n->data != nullptr; n = n->next)
      EXPECT_EQ(n->data->ROTATION, angle[i]);
  }
}

TEST_F(SceneTest, TwoBuildsGiveBitIdenticalSplinePoints) {
  Tscene again;
  RANDOMIZE(12345.0);  // a seeded, used source: every build rewinds it
  RND();
  BUILD_SCENE(again);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    for (int j = 0; j < 60; ++j) {
      const Tspline_point a = scene.emitters[i].spline.P(j);
      const Tspline_point b = again.emitters[i].spline.P(j);
      EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a));
      EXPECT_GE(a.x, 0.0f);
      EXPECT_LT(a.x, 640.0f);
      EXPECT_LT(a.y, 480.0f);
    }
  }
  // Different emitters got different points.
  EXPECT_NE(scene.emitters[0].spline.P(0).x, scene.emitters[1].spline.P(0).x);
  DESTROY_SCENE(again);
  EXPECT_EQ(again.emitters, nullptr);
}

TEST_F(SceneTest, ABuiltSceneBuiltAgainStartsTheShowOver) {
  const Tspline_point first = scene.emitters[3].spline.P(7);
  Tconsole_quiet quiet;
  for (int frame = 0; frame < 50; ++frame) STEP_SCENE(scene);
  BUILD_SCENE(scene);
  const Tspline_point rebuilt = scene.emitters[3].spline.P(7);
  EXPECT_EQ(0, std::memcmp(&first, &rebuilt, sizeof first));
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    EXPECT_EQ(scene.emitters[i].LISTINDEX(), 0);
    EXPECT_EQ(scene.emitters[i].turret.LISTINDEX(), 0);
    EXPECT_EQ(scene.emitters[i].turret.BULLET(0).ACTIVE(), 0);
  }
}

TEST_F(SceneTest, FirstFrameEntersFirstPhasesAndStandsTurretAtPhasePosition) {
  Tconsole_quiet quiet;
  STEP_SCENE(scene);
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    const Temitter& e = scene.emitters[i];
    EXPECT_EQ(e.LISTINDEX(), 1);
    EXPECT_EQ(e.turret.LISTINDEX(), 1);
    EXPECT_EQ(e.turret.X(), 420.0f);
    EXPECT_EQ(e.turret.Y(), 140.0f);
    EXPECT_EQ(e.AI_PROC(), &Temitter::AI_CIRCLE);
  }
  STEP_SCENE(scene);
  EXPECT_EQ(scene.emitters[0].turret.X(), scene.emitters[0].X());
}

TEST_F(SceneTest, TargetPointerSurvivesPhaseChanges) {
  Tconsole_quiet quiet;
  for (int f = 0; f < 1700; ++f) {
    scene.target = Ttarget_point{100.0f, 50.0f};
    STEP_SCENE(scene);
  }
  for (int i = 0; i < VP_EMITTER_COUNT; ++i) {
    EXPECT_EQ(scene.emitters[i].turret.LISTINDEX(), 2);
    EXPECT_EQ(scene.emitters[i].turret.P_TARGET(), &scene.target);
    EXPECT_EQ(scene.emitters[i].turret.TARGETX(), 100.0f);
  }
}

TEST_F(SceneTest, InactiveEmitterIsSkipped) {
  Tconsole_capture cap;
  scene.emitters[1].ACTIVE(0);
  EXPECT_EQ(STEP_EMITTER(scene.emitters[1]), 0);
  EXPECT_TRUE(cap.text.empty());
  EXPECT_EQ(scene.emitters[1].LISTINDEX(), 0);
  EXPECT_EQ(STEP_EMITTER(scene.emitters[0]), -1);
}

}  // namespace

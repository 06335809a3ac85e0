// Bullet: motion types, the pause and its resume, assignment and wrap.
#include <gtest/gtest.h>

#include <climits>

#include "shots/bullet.h"

namespace {

Tbullet moving(float xv, float yv, int btype, int delay) {
  Tbullet b;
  b.XV(xv);
  b.YV(yv);
  b.BTYPE(btype);
  b.DELAY(delay);
  b.ACTIVE(-1);
  return b;
}

TEST(Bullet, Defaults) {
  Tbullet b;
  EXPECT_EQ(b.DELAY(), -1);
  EXPECT_EQ(b.MAXFRAME(), 1);
  EXPECT_EQ(b.ACTIVE(), 0);
  EXPECT_EQ(b.COUNTER(), 0);
  EXPECT_EQ(b.X(), 0.0f);
  Tbullet p(3.0f, 4.0f);
  EXPECT_EQ(p.X(), 3.0f);
  EXPECT_EQ(p.Y(), 4.0f);
  EXPECT_EQ(p.DELAY(), -1);
}

TEST(Bullet, Type0PausesFromDelayToThreeTimesDelay) {
  Tbullet b = moving(1.0f, 0.5f, 0, 10);
  for (int call = 1; call <= 9; ++call) b.MOVE(0, 0, 0);
  EXPECT_EQ(b.X(), 9.0f);
  b.MOVE(0, 0, 0);  // call 10 moves, then saves and stops
  EXPECT_EQ(b.X(), 10.0f);
  EXPECT_EQ(b.XV(), 0.0f);
  EXPECT_EQ(b.YV(), 0.0f);
  for (int call = 11; call <= 29; ++call) {
    b.MOVE(0, 0, 0);
    EXPECT_EQ(b.XV(), 0.0f) << call;
  }
  EXPECT_EQ(b.X(), 10.0f);
  b.MOVE(0, 0, 0);  // call 30: restored after its motion step
  EXPECT_EQ(b.X(), 10.0f);
  EXPECT_EQ(b.XV(), 1.0f);
  EXPECT_EQ(b.YV(), 0.5f);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.X(), 11.0f);
  EXPECT_EQ(b.COUNTER(), 31);
}

TEST(Bullet, DelayOneStopsOnFirstMoveAndResumesOnThird) {
  Tbullet b = moving(2.0f, 0.0f, 0, 1);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.X(), 2.0f);
  EXPECT_EQ(b.XV(), 0.0f);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.XV(), 0.0f);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.XV(), 2.0f);
  EXPECT_EQ(b.X(), 2.0f);
}

TEST(Bullet, NonPositiveDelayNeverPauses) {
  for (int delay : {0, -1, -7}) {
    Tbullet b = moving(1.0f, 0.0f, 0, delay);
    for (int i = 0; i < 30; ++i) b.MOVE(0, 0, 0);
    EXPECT_EQ(b.X(), 30.0f) << delay;
  }
}

TEST(Bullet, PausedType0And2DriftByGravity) {
  Tbullet b = moving(1.0f, 0.0f, 0, 1);
  b.YG(0.25f);
  b.MOVE(0, 0, 0);  // Y 0.25, then stopped
  b.MOVE(0, 0, 0);  // gravity on zero velocity: Y += 0.25
  EXPECT_EQ(b.Y(), 0.5f);
  EXPECT_EQ(b.YV(), 0.0f);
}

TEST(Bullet, Type1DragAndResumeWithHalfAcceleration) {
  Tbullet b = moving(0.0f, 0.0f, 1, 2);
  b.XACCEL(1.0f);
  b.MOVE(0, 0, 0);
  const float xv1 = 1.0f - 1.0f * 0.0042f;
  EXPECT_EQ(b.XV(), xv1);
  EXPECT_EQ(b.X(), xv1);
  b.MOVE(0, 0, 0);  // pause starts
  EXPECT_EQ(b.XV(), 0.0f);
  for (int i = 0; i < 4; ++i) b.MOVE(0, 0, 0);  // call 6 resumes
  EXPECT_EQ(b.COUNTER(), 6);
  EXPECT_EQ(b.XV(), 0.0f);
  EXPECT_EQ(b.XACCEL(), 0.5f);
}

TEST(Bullet, Type2DampsOnlyAboveUnitSpeed) {
  Tbullet exact = moving(1.0f, 0.0f, 2, -1);
  exact.MOVE(0, 0, 0);
  EXPECT_EQ(exact.XV(), 1.0f);  // 1.0 is not greater than 1.0

  Tbullet fast = moving(2.0f, 0.0f, 2, -1);
  fast.MOVE(0, 0, 0);
  EXPECT_EQ(fast.XV(), 2.0f * 0.968f);
  for (int i = 0; i < 100; ++i) fast.MOVE(0, 0, 0);
  const float settled = fast.XV();
  EXPECT_LE(settled * settled, 1.0f);
  EXPECT_GT(settled, 0.9f);
  fast.MOVE(0, 0, 0);
  EXPECT_EQ(fast.XV(), settled);
}

TEST(Bullet, Type3IgnoresGravityAndReaimsAfterPause) {
  Tbullet b = moving(1.0f, 0.0f, 3, 1);
  b.YG(5.0f);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.Y(), 0.0f);
  EXPECT_EQ(b.X(), 1.0f);
  b.MOVE(0, 0, 0);
  b.MOVE(11.0f, 10.0f, 3.0f);  // resume toward (11, 10) from (1, 0)
  // The float angle 0.785398185 lies just above pi/4, and each component is
  // 3 times its double cosine or sine, rounded once: they differ by an ulp.
  EXPECT_EQ(b.XV(), 2.12132025f);
  EXPECT_EQ(b.YV(), 2.12132049f);

  // Toward (5, 2): the double atan2 rounds to 0.380506366; the float atan2f
  // returns the next float up, which would give (2.78542995, 1.1141721).
  Tbullet c = moving(1.0f, 0.0f, 3, 1);
  c.X(-1.0f);
  for (int call = 1; call <= 3; ++call) c.MOVE(5.0f, 2.0f, 3.0f);
  EXPECT_EQ(c.X(), 0.0f);
  EXPECT_EQ(c.XV(), 2.78543019f);
  EXPECT_EQ(c.YV(), 1.11417198f);

  Tbullet same = moving(0.0f, 0.0f, 3, 1);
  same.X(5.0f);
  same.Y(6.0f);
  same.MOVE(5, 6, 2);
  same.MOVE(5, 6, 2);
  same.MOVE(5.0f, 6.0f, 2.0f);  // target on the bullet: angle 0, along +x
  EXPECT_EQ(same.XV(), 2.0f);
  EXPECT_EQ(same.YV(), 0.0f);
}

TEST(Bullet, UnknownTypeStandsStillAndOnlyCounts) {
  Tbullet b = moving(1.0f, 1.0f, VP_BULLET_MOTION_COUNT, 1);
  b.XG(1.0f);
  for (int i = 0; i < 5; ++i) b.MOVE(0, 0, 0);
  EXPECT_EQ(b.X(), 0.0f);
  EXPECT_EQ(b.XV(), 1.0f);  // never paused either
  EXPECT_EQ(b.COUNTER(), 5);
}

// Scene files and the HUD name motions through one table, indexed by BTYPE.
TEST(Bullet, MotionTableRowsAreTheirBtypes) {
  for (int i = 0; i < VP_BULLET_MOTION_COUNT; ++i) {
    ASSERT_NE(VP_BULLET_MOTIONS[i].word, nullptr) << i;  // not a row left out
    EXPECT_EQ(VP_BULLET_MOTIONS[i].value, i);
    EXPECT_EQ(BULLET_MOTION(i), &VP_BULLET_MOTIONS[i]);
    for (int j = i + 1; j < VP_BULLET_MOTION_COUNT; ++j)
      EXPECT_STRNE(VP_BULLET_MOTIONS[i].word, VP_BULLET_MOTIONS[j].word) << i << " " << j;
  }
  for (int btype : {int{VP_BULLET_MOTION_COUNT}, -1, INT_MIN}) EXPECT_EQ(BULLET_MOTION(btype), nullptr) << btype;
}

TEST(Bullet, CounterWrapsAtInt32Max) {
  Tbullet b = moving(0.0f, 0.0f, 0, -1);
  b.COUNTER(INT_MAX);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.COUNTER(), INT_MIN);
  b.DELAY(INT_MAX);  // 3 * DELAY must not overflow either
  b.COUNTER(INT_MAX - 1);
  b.MOVE(0, 0, 0);
  EXPECT_EQ(b.COUNTER(), INT_MAX);
}

TEST(Bullet, AssignmentLeavesDelayAccelerationAndSavedVelocity) {
  Tbullet src = moving(3.0f, 4.0f, 2, 9);
  src.X(1.0f);
  src.XACCEL(7.0f);
  src.ROTATION(33);
  src.ENERGY(10);
  Tbullet dst;
  dst.DELAY(5);
  dst.YACCEL(2.0f);
  dst = src;
  EXPECT_EQ(dst.X(), 1.0f);
  EXPECT_EQ(dst.XV(), 3.0f);
  EXPECT_EQ(dst.BTYPE(), 2);
  EXPECT_EQ(dst.ROTATION(), 33);
  EXPECT_EQ(dst.ENERGY(), 10);
  EXPECT_EQ(dst.DELAY(), 5);
  EXPECT_EQ(dst.XACCEL(), 0.0f);
  EXPECT_EQ(dst.YACCEL(), 2.0f);

  // Saved velocity stays too: a paused copy resumes with its own.
  Tbullet paused = moving(1.0f, 0.0f, 0, 1);
  paused.MOVE(0, 0, 0);  // saved (1, 0)
  Tbullet other = moving(9.0f, 9.0f, 0, 1);
  other.MOVE(0, 0, 0);  // saved (9, 9)
  paused = other;
  paused.DELAY(1);
  paused.COUNTER(2);
  paused.MOVE(0, 0, 0);
  EXPECT_EQ(paused.XV(), 1.0f);
}

TEST(Bullet, PointArithmetic) {
  Tbullet a(2.0f, 3.0f);
  Tbullet b(4.0f, 6.0f);
  Tbullet c = a + b;
  EXPECT_EQ(c.X(), 6.0f);
  EXPECT_EQ(c.Y(), 9.0f);
  EXPECT_EQ(c.DELAY(), -1);
  EXPECT_EQ((b / a).Y(), 2.0f);
  EXPECT_EQ((a * 2.0f).X(), 4.0f);
  EXPECT_EQ((b - 1.0f).Y(), 5.0f);
  a += b;
  EXPECT_EQ(a.X(), 6.0f);
  a *= 0.5f;
  EXPECT_EQ(a.Y(), 4.5f);
  a = 1.25f;
  EXPECT_EQ(a.X(), 1.25f);
  EXPECT_EQ(a.Y(), 1.25f);
}

}  // namespace

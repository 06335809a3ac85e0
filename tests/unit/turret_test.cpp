// Turret state: defaults, pool bounds, rotation procedures and aiming.
#include <gtest/gtest.h>

#include <climits>

#include "platform/runtime_error.h"
#include "shots/turret.h"

namespace {

TEST(Turret, ConstructorDefaults) {
  Tturret t;
  EXPECT_EQ(t.ACTIVE(), -1);
  EXPECT_EQ(t.MAXBULLET(), 256);
  EXPECT_EQ(t.WAVEMODE(), 2);
  EXPECT_EQ(t.BULLET_MIN_FRAME(), 1);
  EXPECT_EQ(t.LISTINDEX(), 0);
  EXPECT_EQ(t.P_TARGET(), nullptr);
  EXPECT_EQ(t.ROTATE_PROC(), &Tturret::ROTATE1);
  // One all-zero phase, cursor on it.
  ASSERT_NE(t.schedule.GETDATA_PTR(), nullptr);
  EXPECT_EQ(t.schedule.GETDATA_PTR()->ACTIVETIME, 0);
  EXPECT_EQ(t.schedule.GETNODE()->next->next, nullptr);
  EXPECT_EQ(t.BULLET(255).DELAY(), -1);
}

TEST(Turret, MaxbulletIsClampedToThePool) {
  Tturret big(1000);
  EXPECT_EQ(big.MAXBULLET(), 256);
  Tturret t;
  t.MAXBULLET(300);
  EXPECT_EQ(t.MAXBULLET(), 256);
  t.MAXBULLET(-5);
  EXPECT_EQ(t.MAXBULLET(), 0);
  t.MAXBULLET(12);
  EXPECT_EQ(t.MAXBULLET(), 12);
  Tturret_phase phase;
  phase.MAXBULLET = 999;
  t.APPLY_PHASE(phase);
  EXPECT_EQ(t.MAXBULLET(), 256);
}

TEST(Turret, BulletIndexOutsideMaxbulletIsFatal) {
  Tturret t(10);
  Tfatal_trap trap;
  for (int i : {-1, 10, 256, INT_MAX}) {
    try {
      (void)t.BULLET(i);
      FAIL() << i;
    } catch (const Truntime_error& e) {
      EXPECT_EQ(e.code, VP_ERR_OUT_OF_BOUNDS);
      EXPECT_NE(e.report.find("Tturret::BULLET()"), std::string::npos);
    }
  }
  EXPECT_NO_THROW((void)t.BULLET(9));
}

TEST(Turret, Rotate1WrapsByMaxrotation) {
  Tturret t;
  t.MINROTATION(0);
  t.MAXROTATION(359);
  t.ROTSPEED(5);
  t.ROTDIR(1);
  t.ROTATION(355);
  t.ROTATE();
  EXPECT_EQ(t.ROTATION(), 1);  // 360 - 359, not 0
  t.ROTDIR(-1);
  t.ROTATION(0);
  t.ROTATE1();
  EXPECT_EQ(t.ROTATION(), 354);
  t.ROTATION(INT_MAX);  // the sum wraps instead of overflowing
  t.ROTDIR(1);
  t.ROTATE1();
  EXPECT_EQ(t.ROTATION(), INT_MIN + 4 + 359);
}

TEST(Turret, Rotate2SweepsBetweenBounds) {
  Tturret t;
  t.CHANGE_ROTATION_AI(1);
  EXPECT_EQ(t.ROTATE_PROC(), &Tturret::ROTATE2);
  t.MINROTATION(0);
  t.MAXROTATION(90);
  t.ROTSPEED(20);
  t.ROTDIR(1);
  t.ROTATION(80);
  t.ROTATE();
  EXPECT_EQ(t.ROTATION(), 100);
  EXPECT_EQ(t.ROTDIR(), -1);
  t.ROTATE();
  EXPECT_EQ(t.ROTATION(), 80);
  t.ROTATE();
  EXPECT_EQ(t.ROTATION(), 60);
  t.ROTATION(0);
  t.ROTATE();
  EXPECT_EQ(t.ROTATION(), -20);
  EXPECT_EQ(t.ROTDIR(), 1);

  // Speed 0 outside the bounds: no turning, the direction flips every step.
  t.ROTSPEED(0);
  t.ROTATION(120);
  t.ROTATE();
  EXPECT_EQ(t.ROTDIR(), -1);
  t.ROTATE();
  EXPECT_EQ(t.ROTDIR(), 1);
  EXPECT_EQ(t.ROTATION(), 120);
}

TEST(Turret, ChangeRotationAiSelectsRotate2OnlyForOne) {
  Tturret t;
  for (int n : {0, 2, -1, 7}) {
    t.CHANGE_ROTATION_AI(1);
    t.CHANGE_ROTATION_AI(n);
    EXPECT_EQ(t.ROTATE_PROC(), &Tturret::ROTATE1) << n;
  }
}

TEST(Turret, AimsInWholeDegrees) {
  Tturret t;
  t.X(100.0f);
  t.Y(100.0f);
  struct {
    float tx, ty;
    int expected;
  } cases[] = {{200, 100, 0}, {100, 200, 90}, {0, 100, 180}, {100, 0, 270}, {100, 100, 0}, {200, 200, 45}};
  for (const auto& c : cases) {
    t.TARGETX(c.tx);
    t.TARGETY(c.ty);
    t.AIM();
    EXPECT_EQ(t.ROTATION(), c.expected) << c.tx << "," << c.ty;
  }

  // atan2(-240.5, -291.75) is 219.4999991 degrees, but the angle is first
  // rounded to float, -2.45218778 rad, which is 219.5000053 degrees: 220. The
  // float atan2f returns the next float away from zero and would give 219.
  t.X(320.75f);
  t.Y(240.5f);
  t.TARGETX(29.0f);
  t.TARGETY(0.0f);
  t.AIM();
  EXPECT_EQ(t.ROTATION(), 220);
}

TEST(Turret, MoveAddsVelocity) {
  Tturret t;
  t.X(1.0f);
  t.XV(0.5f);
  t.YV(-2.0f);
  t.MOVE();
  EXPECT_EQ(t.X(), 1.5f);
  EXPECT_EQ(t.Y(), -2.0f);
}

}  // namespace

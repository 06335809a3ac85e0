// Turret firing: every WAVEMODE's angles and speeds, wave timing, the pool
// limit, restyling and the play-area bounds.
#include <gtest/gtest.h>

#include <algorithm>  // max
#include <cmath>
#include <vector>

#include "shots/turret.h"

namespace {

struct Tshot {
  int rotation;
  float xv, yv, x, y;
};

// Active bullets in pool order.
std::vector<Tshot> fired(const Tturret& t) {
  std::vector<Tshot> out;
  for (int j = 0; j < t.MAXBULLET(); ++j) {
    Tbullet b = t.BULLET(j);
    if (b.ACTIVE() != 0) out.push_back({b.ROTATION(), b.XV(), b.YV(), b.X(), b.Y()});
  }
  return out;
}

// The float angle of `deg` degrees. It goes through a volatile so that the
// compiler cannot fold a sine or cosine of it at build time with a
// differently rounded result than the run-time library's.
double cos_of(int deg) {
  volatile float a = static_cast<float>(deg * DEG_TO_RAD);
  return std::cos(static_cast<double>(a));
}
double sin_of(int deg) {
  volatile float a = static_cast<float>(deg * DEG_TO_RAD);
  return std::sin(static_cast<double>(a));
}

// The velocity a bullet gets for direction `deg` at speed v: the double
// cosine (sine) of the float angle times v, rounded to float once.
float vx(int deg, float v) { return static_cast<float>(cos_of(deg) * v); }
float vy(int deg, float v) { return static_cast<float>(sin_of(deg) * v); }

void fan(Tturret& t, int mode, int n, int spread, int rotation, int rotdir = 1) {
  t.WAVEMODE(mode);
  t.BULLETS_PER_SHOT(n);
  t.SPREAD_ROTATION(spread);
  t.ROTATION(rotation);
  t.ROTDIR(rotdir);
  t.BULLETSPEED(2.0f);
  t.BULLETSPEED_DELTA(1.0f);
  t.X(300.0f);
  t.Y(200.0f);
}

TEST(TurretFire, Mode3EvenFanHasVShapedSpeeds) {
  Tturret t;
  fan(t, 3, 4, 20, 90);
  t.SHOOTER_AI();
  auto s = fired(t);
  ASSERT_EQ(s.size(), 4u);
  const int dirs[4] = {60, 80, 100, 120};
  const float speeds[4] = {3.0f, 2.5f, 2.0f, 2.5f};  // slowest at 100, not 90
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s[k].rotation, dirs[k]);
    EXPECT_EQ(s[k].xv, vx(dirs[k], speeds[k])) << k;
    EXPECT_EQ(s[k].yv, vy(dirs[k], speeds[k])) << k;
  }
}

TEST(TurretFire, Mode3OddFan) {
  Tturret t;
  fan(t, 3, 3, 10, 90);
  t.SHOOTER_AI();
  auto s = fired(t);
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0].rotation, 85);
  EXPECT_EQ(s[1].rotation, 95);
  EXPECT_EQ(s[2].rotation, 105);
  EXPECT_EQ(s[0].xv, vx(85, 3.0f));
  EXPECT_EQ(s[1].xv, vx(95, 2.0f));
  EXPECT_EQ(s[2].xv, vx(105, 3.0f));
}

TEST(TurretFire, Mode4StartAngleTiesToEven) {
  Tturret t;
  fan(t, 4, 2, 45, 90);
  t.SHOOTER_AI();  // start nearest(22.5) = 22
  auto s = fired(t);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].rotation, 67);
  EXPECT_EQ(s[1].rotation, 112);
}

TEST(TurretFire, Mode2OneSidedFanWithRisingSpeed) {
  Tturret t;
  fan(t, 2, 4, 36, 0);
  t.BULLETSPEED_DELTA(2.0f);
  t.SHOOTER_AI();
  auto s = fired(t);
  ASSERT_EQ(s.size(), 4u);
  const float speeds[4] = {2.5f, 3.0f, 3.5f, 4.0f};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s[k].rotation, 36 * (k + 1));
    EXPECT_EQ(s[k].xv, vx(36 * (k + 1), speeds[k]));
  }
}

TEST(TurretFire, NegativeAnglesKeepTheirSignInModes2And3Only) {
  Tturret t;
  fan(t, 2, 2, 36, 10, -1);
  t.SHOOTER_AI();
  auto s = fired(t);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].rotation, -26);
  EXPECT_EQ(s[1].rotation, -62);
  EXPECT_EQ(s[1].yv, vy(-62, 3.0f));

  Tturret u;
  fan(u, 4, 2, 36, -44, -1);  // start -44 + 54 = 10: the same angles -26, -62
  u.SHOOTER_AI();
  s = fired(u);
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].rotation, 334);
  EXPECT_EQ(s[1].rotation, 298);
  EXPECT_EQ(s[1].yv, vy(-62, 2.0f));
}

TEST(TurretFire, Mode5WallFliesAlongRotation) {
  Tturret t;
  fan(t, 5, 3, 10, 90);
  t.X_RADIUS(10.0f);
  t.Y_RADIUS(20.0f);
  t.SHOOTER_AI();
  auto s = fired(t);
  ASSERT_EQ(s.size(), 3u);
  const int spawn[3] = {85, 95, 105};
  const float speeds[3] = {3.0f, 2.0f, 3.0f};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(s[k].rotation, spawn[k]);
    // The offset on the ellipse is rounded on its own before the float sum.
    EXPECT_EQ(s[k].x, static_cast<float>(cos_of(spawn[k]) * 10.0) + 300.0f);
    EXPECT_EQ(s[k].y, static_cast<float>(sin_of(spawn[k]) * 20.0) + 200.0f);
    EXPECT_EQ(s[k].xv, vx(90, speeds[k]));
    EXPECT_EQ(s[k].yv, vy(90, speeds[k]));
  }
}

TEST(TurretFire, SingleBulletIgnoresModeAndDelta) {
  for (const Tfiring_mode& row : VP_FIRING_MODES) {
    const int mode = row.value;
    Tturret t;
    fan(t, mode, 1, 45, -10);
    t.BULLETCOUNTER(2);
    t.BULLETWAVEMAX(3);
    t.SHOOTER_AI();
    auto s = fired(t);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].rotation, -10);
    EXPECT_EQ(s[0].xv, vx(-10, 2.0f));
  }
}

TEST(TurretFire, FiredBulletTakesTheTurretParameters) {
  Tturret t;
  fan(t, 2, 1, 0, 0);
  t.XG(0.25f);
  t.YG(-0.5f);
  t.BULLETCOUNTERDELAY(7);
  t.BULLET_TYPE(3);
  t.SHOOTER_AI();
  Tturret_phase none;  // read the pool bullet through a fresh copy
  Tbullet b = t.BULLET(0);
  EXPECT_EQ(b.XG(), 0.25f);
  EXPECT_EQ(b.YG(), -0.5f);
  EXPECT_EQ(b.BTYPE(), 3);
  EXPECT_EQ(b.ACTIVE(), -1);
  EXPECT_EQ(b.DELAY(), -1);  // copies never show the pool bullet's DELAY
  EXPECT_EQ(b.X(), 300.0f);
  (void)none;
}

TEST(TurretFire, WaveSpeedsRiseShotByShot) {
  Tturret t;
  fan(t, 4, 2, 0, 0);  // zero spread: every bullet along +x
  t.BULLETSPEED(2.0f);
  t.BULLETSPEED_DELTA(0.5f);
  t.BULLETWAVEMAX(2);
  const int counters[3] = {1, 2, 0};
  const float speeds[3] = {2.0f, 2.5f, 3.0f};
  for (int i = 0; i < 3; ++i) {
    Tturret u;
    fan(u, 4, 2, 0, 0);
    u.BULLETSPEED_DELTA(0.5f);
    u.BULLETWAVEMAX(2);
    u.BULLETCOUNTER(counters[i]);
    u.SHOOTER_AI();
    auto s = fired(u);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].xv, speeds[i]);
    EXPECT_EQ(s[1].xv, speeds[i]);
  }
}

// Scene files and the HUD name modes through one table; SHOOTER_AI fires a
// value outside it as the even mode, and FIRING_MODE says so.
TEST(TurretFire, ModesOutsideTheTableFireAsEven) {
  int outside = 1;
  for (const Tfiring_mode& row : VP_FIRING_MODES) {
    ASSERT_TRUE(row.word && row.hud && row.hud_stepped) << row.value;  // not a row left out
    EXPECT_EQ(&FIRING_MODE(row.value), &row) << row.word;
    for (const Tfiring_mode& other : VP_FIRING_MODES) {
      if (&other != &row) {
        EXPECT_STRNE(row.word, other.word);
        EXPECT_NE(row.value, other.value) << row.word;
      }
    }
    outside = std::max(outside, row.value + 1);
  }
  for (int mode : {1, outside, -1}) {
    EXPECT_EQ(FIRING_MODE(mode).value, VP_FIRING_EVEN) << mode;
    Tturret t, even;
    fan(t, mode, 5, 20, 90);
    fan(even, VP_FIRING_EVEN, 5, 20, 90);
    t.SHOOTER_AI();
    even.SHOOTER_AI();
    const std::vector<Tshot> a = fired(t), b = fired(even);
    ASSERT_EQ(a.size(), b.size()) << mode;
    for (std::size_t k = 0; k < a.size(); ++k) {
      EXPECT_EQ(a[k].rotation, b[k].rotation) << mode;
      EXPECT_EQ(a[k].xv, b[k].xv) << mode;
      EXPECT_EQ(a[k].yv, b[k].yv) << mode;
    }
  }
}

// Speed of bullet k of one shot fired along +x, where XV is the speed.
float speed_of(int mode, int n, float base, float delta, int k, int wavemax = 0) {
  Tturret t;
  fan(t, mode, n, 0, 0);
  t.BULLETSPEED(base);
  t.BULLETSPEED_DELTA(delta);
  t.BULLETWAVEMAX(wavemax);
  t.SHOOTER_AI();
  return fired(t)[k].xv;
}

// Each speed is worked out in double from the float fields and rounded once;
// rounding the partial products and quotients lands an ulp off in each case.
TEST(TurretFire, SpeedsAreRoundedOnce) {
  EXPECT_EQ(speed_of(4, 2, 0.1f, 0.7f, 0, 3), 2.2f);       // 0.1f + 3 * 0.7f = 2.19999997
  EXPECT_EQ(speed_of(2, 6, 0.1f, 0.3f, 4), 0.350000024f);  // 0.1f + 5 * 0.3f / 6 = 0.3500000114
  EXPECT_EQ(speed_of(3, 6, 0.1f, 0.2f, 1), 0.233333334f);  // 0.1f + 0.2f * 2 / 3 = 0.2333333368
  EXPECT_EQ(speed_of(3, 6, 0.1f, 0.2f, 5), 0.233333334f);
}

TEST(TurretFire, Mode4AlternatesFanWidthOnOddShots) {
  for (int c : {1, 2, 3, 0}) {
    Tturret t;
    fan(t, 4, 2, 20, 90);
    t.BULLETOFFSET(0.5f);
    t.BULLETWAVEMAX(3);
    t.BULLETCOUNTER(c);
    t.SHOOTER_AI();
    auto s = fired(t);
    ASSERT_EQ(s.size(), 2u);
    const int step = (c % 2 == 1) ? 10 : 20;
    EXPECT_EQ(s[1].rotation - s[0].rotation, step) << c;
    EXPECT_EQ(s[0].rotation, 90 - 3 * step / 2 + step) << c;
  }
}

TEST(TurretFire, ShotsFallOnFrames2_8_14AndTurnBeforeEach) {
  Tturret t;
  Tturret_phase p;
  p.ACTIVETIME = 1000;
  p.ACTIVE = 1;
  p.BULLETS_PER_SHOT = 1;
  p.BULLETWAVEMAX = 0;
  p.MAXSPAWNDELAY = 5;
  p.SPAWNDELAY = 1;
  p.ROTSPEED = 5;
  p.ROTDIR = 1;
  p.MAXROTATION = 359;
  p.MAXBULLET = 256;
  p.X = 300.0f;
  p.Y = 200.0f;  // speed 0: bullets stay where they are born
  t.ADDTO_LIST(p);
  t.START();
  std::vector<int> shot_frames;
  int last_count = 0;
  for (int frame = 1; frame <= 20; ++frame) {
    t.SHOOT(t.MANAGE_LIST());
    const int count = static_cast<int>(fired(t).size());
    if (count != last_count) {
      shot_frames.push_back(frame);
      EXPECT_EQ(t.ROTATION(), 5 * static_cast<int>(shot_frames.size())) << frame;
    }
    last_count = count;
  }
  EXPECT_EQ(shot_frames, (std::vector<int>{2, 8, 14, 20}));
}

TEST(TurretFire, WaveOfThreeShotsTurnsOnce) {
  Tturret t;
  fan(t, 2, 1, 0, 0);
  t.BULLETSPEED(0.0f);
  t.ROTSPEED(10);
  t.MAXROTATION(359);
  t.BULLETWAVEMAX(2);
  t.BULLETWAVEMAXDELAY(0);
  t.MAXSPAWNDELAY(3);
  t.SPAWNDELAY(0);
  std::vector<int> rotations;
  for (int frame = 0; frame < 8; ++frame) {
    const size_t before = fired(t).size();
    t.SHOOT(-1);
    if (fired(t).size() != before) rotations.push_back(t.ROTATION());
  }
  // Shots on calls 1, 2, 3, then MAXSPAWNDELAY + 1 calls later on 7 and 8.
  EXPECT_EQ(rotations, (std::vector<int>{10, 10, 10, 20, 20}));
}

TEST(TurretFire, FullPoolSkipsBulletsAndCountsMisses) {
  Tturret t(2);
  fan(t, 2, 3, 10, 0);
  t.SHOOTER_AI();
  EXPECT_EQ(fired(t).size(), 2u);
  EXPECT_EQ(t.MISSED(), 1);
  t.SHOOTER_AI();
  EXPECT_EQ(t.MISSED(), 4);
  Tturret none(0);
  fan(none, 2, 0, 10, 0);  // N = 0 fires nothing and misses nothing
  none.SHOOTER_AI();
  EXPECT_EQ(none.MISSED(), 0);
}

TEST(TurretFire, BulletsOnTheBoundStayAndPastItRetire) {
  Tturret t;
  fan(t, 2, 1, 0, 0);
  t.X(680.0f);
  t.Y(530.0f);
  t.BULLETSPEED(10.0f);
  t.BULLETCOUNTERDELAY(5);
  t.SPAWNDELAY(0);
  t.MAXSPAWNDELAY(100);
  t.SHOOT(-1);  // fired and moved in the same call: exactly 690, 530
  Tbullet b = t.BULLET(0);
  EXPECT_EQ(b.ACTIVE(), -1);
  EXPECT_EQ(b.X(), 690.0f);
  EXPECT_EQ(b.COUNTER(), 1);
  t.SHOOT(-1);  // 700: retired
  b = t.BULLET(0);
  EXPECT_EQ(b.ACTIVE(), 0);
  EXPECT_EQ(b.COUNTER(), 0);
  EXPECT_EQ(b.X(), 700.0f);  // other fields keep their last values

  Tturret u;
  fan(u, 2, 1, 0, 0);
  u.X(680.0f);
  u.BULLETSPEED(10.01f);
  u.SPAWNDELAY(0);
  u.MAXSPAWNDELAY(100);
  u.SHOOT(-1);
  EXPECT_EQ(u.BULLET(0).ACTIVE(), 0);
}

TEST(TurretFire, InactiveTurretFreezesEverything) {
  Tturret t;
  fan(t, 2, 1, 0, 0);
  t.SPAWNDELAY(0);
  t.SHOOT(-1);
  const float x = t.BULLET(0).X();
  t.ACTIVE(0);
  for (int i = 0; i < 5; ++i) t.SHOOT(0);
  EXPECT_EQ(t.BULLET(0).X(), x);
  EXPECT_EQ(t.SPAWNDELAY(), 0);  // reloaded by MAXSPAWNDELAY 0, not counted since
}

TEST(TurretFire, FollowsTargetAndPositionPointers) {
  Tturret t;
  Ttarget_point target{12.0f, 34.0f};
  Ttarget_point position{56.0f, 78.0f};
  t.SET_TARGET(&target);
  t.SET_POSITION(&position);
  t.SPAWNDELAY(10);
  t.SHOOT(-1);
  EXPECT_EQ(t.TARGETX(), 12.0f);
  EXPECT_EQ(t.TARGETY(), 34.0f);
  EXPECT_EQ(t.X(), 56.0f);
  EXPECT_EQ(t.Y(), 78.0f);
}

TEST(TurretFire, RestylingReachesIdleBulletsOnlyWhenFlagIsZero) {
  Tturret t(4);
  t.SPAWNDELAY(100);
  t.BULLET_MIN_FRAME(3);
  t.BULLET_NUM_FRAME(5);
  t.BULLET_ENERGY(10);
  t.SHOOT(-1);
  EXPECT_EQ(t.BULLET(0).MINFRAME(), 0);
  t.SHOOT(0);
  EXPECT_EQ(t.BULLET(3).MINFRAME(), 3);
  EXPECT_EQ(t.BULLET(3).MAXFRAME(), 5);
  EXPECT_EQ(t.BULLET(3).ENERGY(), 10);
  t.BULLET_ENERGY(99);  // MINFRAME already matches: not restyled again
  t.SHOOT(0);
  EXPECT_EQ(t.BULLET(3).ENERGY(), 10);
}

TEST(TurretFire, BulletInFlightIsRestyledOnceItRetires) {
  Tturret t(4);
  t.BULLETS_PER_SHOT(1);
  t.BULLETSPEED(60.0f);
  t.X(600.0f);
  t.Y(100.0f);
  t.MAXSPAWNDELAY(1000);
  t.SHOOT(-1);  // fires bullet 0 along +x; it moves to x 660
  ASSERT_NE(t.BULLET(0).ACTIVE(), 0);
  t.BULLET_MIN_FRAME(7);
  t.SHOOT(0);  // bullet 0 is in flight while the idle ones are restyled, then leaves at x 720
  EXPECT_EQ(t.BULLET(0).ACTIVE(), 0);
  EXPECT_EQ(t.BULLET(0).MINFRAME(), 0);
  EXPECT_EQ(t.BULLET(1).MINFRAME(), 7);
  t.SHOOT(0);
  EXPECT_EQ(t.BULLET(0).MINFRAME(), 7);
}

}  // namespace

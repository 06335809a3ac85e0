// Emitter: pattern selection, each pattern's first steps, the phase list
// timing and report, and the frame step that feeds the turret.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "emitters/emitter.h"
#include "platform/console.h"

namespace {

void setup(Temitter& e, int ai, int angle_speed, int radius) {
  e.AI(ai);
  e.CHANGE_AI();
  e.ANGLE(0);
  e.ANGLE_SPEED(angle_speed);
  e.RADIUS_DELTA(radius);
}

TEST(Emitter, Defaults) {
  Temitter e;
  EXPECT_EQ(e.ACTIVE(), -1);
  EXPECT_EQ(e.AI_PROC(), &Temitter::AI_LINEAR);
  EXPECT_EQ(e.spline.MAXINDEX(), 0);
  ASSERT_NE(e.schedule.GETDATA_PTR(), nullptr);
  EXPECT_EQ(e.schedule.GETDATA_PTR()->ACTIVETIME, 0);
}

// CHANGE_AI takes the procedure from the table row of AI; the design's
// numbers keep their procedures; a number outside the table moves linearly.
TEST(Emitter, ChangeAiTable) {
  Temitter e;
  for (int ai = 0; ai < VP_MOVEMENT_PATTERN_COUNT; ++ai) {
    e.AI(ai);
    e.CHANGE_AI();
    EXPECT_EQ(e.AI_PROC(), VP_MOVEMENT_PATTERNS[ai].proc) << ai;
  }
  const struct {
    int ai;
    Temitter::Tai_proc proc;
  } design[] = {{AI_LINEAR_ID, &Temitter::AI_LINEAR},     {AI_SINE_V_ID, &Temitter::AI_SINE_V},
                {AI_SINE_H_ID, &Temitter::AI_SINE_H},     {AI_BOUNCE_V_ID, &Temitter::AI_BOUNCE_V},
                {AI_BOUNCE_H_ID, &Temitter::AI_BOUNCE_H}, {AI_CIRCLE_ID, &Temitter::AI_CIRCLE},
                {AI_POLAR_ID, &Temitter::AI_POLAR},       {AI_SPLINE_ID, &Temitter::AI_SPLINE}};
  for (const auto& d : design) EXPECT_EQ(VP_MOVEMENT_PATTERNS[d.ai].proc, d.proc) << d.ai;
  for (int ai : {int{VP_MOVEMENT_PATTERN_COUNT}, -1, INT_MIN}) {
    e.AI(ai);
    e.CHANGE_AI();
    EXPECT_EQ(e.AI_PROC(), &Temitter::AI_LINEAR) << ai;
  }
  e.AI(5);  // the setter alone does not reselect
  EXPECT_EQ(e.AI_PROC(), &Temitter::AI_LINEAR);
}

// The HUD and scene files name patterns through the same table: every row
// has its own procedure and its own name (a row left out of a longer table
// would be all null).
TEST(Emitter, PatternTableRowsAreDistinct) {
  for (int i = 0; i < VP_MOVEMENT_PATTERN_COUNT; ++i) {
    ASSERT_NE(VP_MOVEMENT_PATTERNS[i].proc, nullptr) << i;
    ASSERT_NE(VP_MOVEMENT_PATTERNS[i].name, nullptr) << i;
  }
  for (int i = 0; i < VP_MOVEMENT_PATTERN_COUNT; ++i)
    for (int j = i + 1; j < VP_MOVEMENT_PATTERN_COUNT; ++j) {
      EXPECT_NE(VP_MOVEMENT_PATTERNS[i].proc, VP_MOVEMENT_PATTERNS[j].proc) << i << " " << j;
      EXPECT_STRNE(VP_MOVEMENT_PATTERNS[i].name, VP_MOVEMENT_PATTERNS[j].name) << i << " " << j;
    }
}

TEST(Emitter, LinearAddsVelocityAndKeepsAngle) {
  Temitter e;
  e.XV(1.5f);
  e.YV(-2.0f);
  e.ANGLE_SPEED(7);
  e.MOVE();
  EXPECT_EQ(e.X(), 1.5f);
  EXPECT_EQ(e.Y(), -2.0f);
  EXPECT_EQ(e.ANGLE(), 0);
}

TEST(Emitter, SineVStepsByRadiusTimesSine) {
  Temitter e;
  setup(e, AI_SINE_V_ID, 90, 10);
  e.Y(100.0f);
  e.MOVE();
  EXPECT_FLOAT_EQ(e.Y(), 110.0f);
  e.MOVE();
  EXPECT_NEAR(e.Y(), 110.0f, 1e-4f);
  e.MOVE();
  EXPECT_NEAR(e.Y(), 100.0f, 1e-4f);
  EXPECT_EQ(e.X(), 0.0f);
  EXPECT_EQ(e.ANGLE(), 270);
}

TEST(Emitter, SineHAndBounceHMoveX) {
  Temitter e;
  setup(e, AI_SINE_H_ID, 90, 10);
  e.MOVE();
  EXPECT_FLOAT_EQ(e.X(), 10.0f);
  Temitter b;
  setup(b, AI_BOUNCE_H_ID, 90, 10);
  b.MOVE();
  EXPECT_FLOAT_EQ(b.X(), -10.0f);
  EXPECT_EQ(b.Y(), 0.0f);
}

TEST(Emitter, BounceVSignFollowsHalfTurnParity) {
  Temitter e;
  setup(e, AI_BOUNCE_V_ID, 90, 10);
  e.MOVE();  // ANGLE 90, q 0: upward
  EXPECT_FLOAT_EQ(e.Y(), -10.0f);
  e.MOVE();  // ANGLE 180, q 1: |sin| about 0
  EXPECT_NEAR(e.Y(), -10.0f, 1e-4f);
  e.MOVE();  // ANGLE 270, q 1: downward
  EXPECT_NEAR(e.Y(), 0.0f, 1e-4f);

  Temitter n;
  setup(n, AI_BOUNCE_V_ID, 0, 10);
  n.ANGLE(-270);  // q = -1 is odd: +R|sin a|
  n.MOVE();
  EXPECT_FLOAT_EQ(n.Y(), 10.0f);
}

// Each R*cos a or R*sin a term is rounded to float once from double, and each
// new coordinate is the double sum of its three terms rounded once. With the
// float sine and float sums every value below would land an ulp away.
TEST(Emitter, CircleTermsAndSumsAreRoundedOnce) {
  Temitter e;
  setup(e, AI_CIRCLE_ID, 3, 5);
  e.X(320.0f);
  e.Y(240.0f);
  e.XV(0.3f);
  e.YV(-0.3f);
  e.MOVE();  // terms 4.99314785 and 0.261679798
  EXPECT_EQ(e.X(), 325.293152f);
  EXPECT_EQ(e.Y(), 239.961685f);

  Temitter sine;
  setup(sine, AI_SINE_V_ID, 3, 5);
  sine.MOVE();
  EXPECT_EQ(sine.Y(), 0.261679798f);
  Temitter bounce;
  setup(bounce, AI_BOUNCE_V_ID, 3, 5);
  bounce.MOVE();
  EXPECT_EQ(bounce.Y(), -0.261679798f);
}

TEST(Emitter, PolarOrbitsADriftingCentre) {
  Temitter e;
  setup(e, AI_POLAR_ID, 30, 150);
  e.XCENTER(320.0f);
  e.YCENTER(240.0f);
  for (int i = 0; i < 12; ++i) {
    e.MOVE();
    EXPECT_NEAR(std::hypot(e.X() - 320.0f, e.Y() - 240.0f), 150.0f, 1e-3f);
  }
  EXPECT_EQ(e.XCENTER(), 320.0f);
  e.XV(1.0f);
  e.MOVE();
  EXPECT_EQ(e.XCENTER(), 321.0f);
}

TEST(Emitter, SplineIgnoresVelocity) {
  Temitter e;
  e.spline.INITCOORDS(4);
  e.spline.P(1, 50.0f, 60.0f);
  setup(e, AI_SPLINE_ID, 5, 1);
  e.XV(100.0f);
  e.MOVE();
  EXPECT_EQ(e.X(), 50.0f);
  EXPECT_EQ(e.Y(), 60.0f);
  EXPECT_EQ(e.ANGLE(), 0);
}

TEST(Emitter, AngleWrapsAtInt32Max) {
  Temitter e;
  setup(e, AI_SINE_V_ID, 10, 1);
  e.ANGLE(INT_MAX - 5);
  e.MOVE();
  EXPECT_EQ(e.ANGLE(), INT_MIN + 4);
}

Temitter_phase record(int activetime, int ai) {
  Temitter_phase p;
  p.ACTIVETIME = activetime;
  p.ACTIVE = 1;
  p.AI = ai;
  p.X = 7.0f;
  return p;
}

TEST(EmitterSchedule, TwoShortPhases) {
  Temitter e;
  e.ADDTO_LIST(record(2, 1));
  e.ADDTO_LIST(record(0, 2));
  e.START();
  Tconsole_quiet quiet;
  const int expected_result[6] = {-1, 0, 0, -1, 0, -1};
  const int expected_index[6] = {1, 1, 1, 2, 2, 1};
  for (int call = 0; call < 6; ++call) {
    EXPECT_EQ(e.MANAGE_LIST(), expected_result[call]) << call + 1;
    EXPECT_EQ(e.LISTINDEX(), expected_index[call]) << call + 1;
  }
  EXPECT_EQ(e.AI_PROC(), &Temitter::AI_SINE_V);
}

TEST(EmitterSchedule, DefaultRecordStretchesLaterWraps) {
  Temitter e;
  e.ADDTO_LIST(record(2, 1));
  e.ADDTO_LIST(record(3, 2));
  e.START();
  Tconsole_quiet quiet;
  std::vector<int> a, b;
  for (int call = 1; call <= 25; ++call) {
    if (e.MANAGE_LIST() != 0) (e.AI() == 1 ? a : b).push_back(call);
  }
  EXPECT_EQ(a, (std::vector<int>{1, 9, 20}));
  EXPECT_EQ(b, (std::vector<int>{4, 12, 23}));
}

TEST(EmitterSchedule, NoAddedPhasesNeverLeavesLinear) {
  Temitter e;
  e.START();
  Tconsole_quiet quiet;
  for (int i = 0; i < 6; ++i) EXPECT_EQ(e.MANAGE_LIST(), 0);
  EXPECT_EQ(e.AI_PROC(), &Temitter::AI_LINEAR);
}

TEST(EmitterSchedule, OverrideAndReport) {
  Temitter e;
  e.ADDTO_LIST(record(5, 0));
  e.START();
  Tconsole_capture cap;
  EXPECT_EQ(e.MANAGE_LIST(100, MISSING_COORD), -1);
  EXPECT_EQ(cap.text, "\x1b[6;1Hemitter time -1\r\nemitter listindex  0\r\n");
  EXPECT_EQ(e.X(), 100.0f);
  EXPECT_EQ(e.ACTIVE(), 1);
  cap.text.clear();
  EXPECT_EQ(e.MANAGE_LIST(1, 1), 0);
  EXPECT_EQ(cap.text, "\x1b[6;1Hemitter time  4\r\nemitter listindex  1\r\n");
  EXPECT_EQ(e.X(), 100.0f);
}

TEST(EmitterSchedule, DoThingyPlacesAndDrivesTheTurret) {
  Temitter e;
  e.XV(3.0f);
  Tturret_phase p;
  p.ACTIVETIME = 10;
  p.ACTIVE = 1;
  p.MAXBULLET = 256;
  p.X = 420.0f;
  p.Y = 140.0f;
  e.turret.ADDTO_LIST(p);
  e.turret.START();
  Tconsole_quiet quiet;
  e.DO_THINGY(0);
  // The phase entered in this frame overrides the placement until the next.
  EXPECT_EQ(e.turret.X(), 420.0f);
  EXPECT_EQ(e.turret.LISTINDEX(), 1);
  e.DO_THINGY(0);
  EXPECT_EQ(e.turret.X(), 6.0f);
  EXPECT_EQ(e.turret.Y(), 0.0f);
}

}  // namespace

// Turret phase schedule: timing over several cycles, the console report,
// pointer preservation and position overrides.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/console.h"
#include "shots/turret.h"

namespace {

Tturret_phase phase(int activetime, int marker) {
  Tturret_phase p;
  p.ACTIVETIME = activetime;
  p.ACTIVE = 1;
  p.MAXBULLET = 256;
  p.BULLET_BASE_FRAME = marker;  // carried, read by nothing: tells phases apart
  p.X = 10.0f * static_cast<float>(marker);
  p.Y = 5.0f;
  return p;
}

// Frames (from 1) in which MANAGE_LIST applied each marker.
std::vector<std::vector<int>> applications(Tturret& t, int frames, int markers) {
  Tconsole_quiet quiet;
  std::vector<std::vector<int>> out(markers + 1);
  for (int f = 1; f <= frames; ++f) {
    if (t.MANAGE_LIST() != 0) out[t.BULLET_BASE_FRAME()].push_back(f);
  }
  return out;
}

TEST(TurretSchedule, TwoPhasesOfDurations100And50) {
  Tturret t;
  t.ADDTO_LIST(phase(100, 1));
  t.ADDTO_LIST(phase(50, 2));
  t.START();
  auto a = applications(t, 600, 2);
  EXPECT_EQ(a[1], (std::vector<int>{1, 154, 357, 560}));
  EXPECT_EQ(a[2], (std::vector<int>{102, 255, 458}));
}

TEST(TurretSchedule, SinglePhaseOf100) {
  Tturret t;
  t.ADDTO_LIST(phase(100, 1));
  t.START();
  auto a = applications(t, 600, 1);
  EXPECT_EQ(a[1], (std::vector<int>{1, 103, 305, 507}));
}

TEST(TurretSchedule, ListindexCountsPhasesAndResetsOnWrap) {
  Tturret t;
  t.ADDTO_LIST(phase(0, 1));
  t.ADDTO_LIST(phase(0, 2));
  t.START();
  Tconsole_quiet quiet;
  EXPECT_EQ(t.MANAGE_LIST(), -1);
  EXPECT_EQ(t.LISTINDEX(), 1);
  EXPECT_EQ(t.MANAGE_LIST(), -1);
  EXPECT_EQ(t.LISTINDEX(), 2);
  EXPECT_EQ(t.MANAGE_LIST(), 0);  // onto the tail
  EXPECT_EQ(t.LISTINDEX(), 2);
  EXPECT_EQ(t.MANAGE_LIST(), -1);  // wrapped and re-entered phase 1
  EXPECT_EQ(t.LISTINDEX(), 1);
}

TEST(TurretSchedule, ReportOnRowsTwoAndThree) {
  Tturret t;
  t.ADDTO_LIST(phase(100, 1));
  t.START();
  Tconsole_capture cap;
  t.MANAGE_LIST();
  EXPECT_EQ(cap.text, "\x1b[2;1Hturret time -1\r\nturret listindex  0\r\n");
  cap.text.clear();
  t.MANAGE_LIST();
  EXPECT_EQ(cap.text, "\x1b[2;1Hturret time  99\r\nturret listindex  1\r\n");
}

TEST(TurretSchedule, ConstructorPhaseAloneNeverApplies) {
  Tturret t;
  t.START();
  Tconsole_quiet quiet;
  for (int i = 0; i < 10; ++i) EXPECT_EQ(t.MANAGE_LIST(), 0);
  EXPECT_EQ(t.WAVEMODE(), 2);  // constructor parameters kept
  EXPECT_EQ(t.LISTINDEX(), 0);
}

TEST(TurretSchedule, ReleasedScheduleDoesNothing) {
  Tturret t;
  t.schedule.RELEASE();
  Tconsole_capture cap;
  EXPECT_EQ(t.MANAGE_LIST(), 0);
  EXPECT_TRUE(cap.text.empty());
}

TEST(TurretSchedule, NullPointersInPhaseKeepTheTurretsOwn) {
  Ttarget_point target{1.0f, 2.0f};
  Ttarget_point other{3.0f, 4.0f};
  Tturret t;
  t.SET_TARGET(&target);
  Tturret_phase keep = phase(0, 1);
  Tturret_phase replace = phase(0, 2);
  replace.P_TARGET = &other;
  replace.P_POSITION = &other;
  t.ADDTO_LIST(keep);
  t.ADDTO_LIST(replace);
  t.START();
  Tconsole_quiet quiet;
  t.MANAGE_LIST();
  EXPECT_EQ(t.P_TARGET(), &target);
  EXPECT_EQ(t.P_POSITION(), nullptr);
  t.MANAGE_LIST();
  EXPECT_EQ(t.P_TARGET(), &other);
  EXPECT_EQ(t.P_POSITION(), &other);
}

TEST(TurretSchedule, OverridesOnlyInAnApplyingCall) {
  Tturret t;
  t.ADDTO_LIST(phase(2, 1));
  t.START();
  Tconsole_quiet quiet;
  EXPECT_EQ(t.MANAGE_LIST(100, MISSING_COORD), -1);
  EXPECT_EQ(t.X(), 100.0f);
  EXPECT_EQ(t.Y(), 5.0f);
  t.X(1.0f);
  EXPECT_EQ(t.MANAGE_LIST(200, 300), 0);
  EXPECT_EQ(t.X(), 1.0f);
  EXPECT_EQ(t.Y(), 5.0f);
}

TEST(TurretSchedule, PhaseSelectsRotationProcedure) {
  Tturret t;
  Tturret_phase sweep = phase(0, 1);
  sweep.ROTATION_TYPE = 1;
  Tturret_phase wrap = phase(0, 2);
  wrap.ROTATION_TYPE = 2;
  t.ADDTO_LIST(sweep);
  t.ADDTO_LIST(wrap);
  t.START();
  Tconsole_quiet quiet;
  t.MANAGE_LIST();
  EXPECT_EQ(t.ROTATE_PROC(), &Tturret::ROTATE2);
  t.MANAGE_LIST();
  EXPECT_EQ(t.ROTATE_PROC(), &Tturret::ROTATE1);
}

}  // namespace

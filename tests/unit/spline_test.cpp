// Spline path: worked points, strict segment advance, ring wrap and guards.
#include <gtest/gtest.h>

#include "math/spline.h"
#include "platform/runtime_error.h"

namespace {

void square(Tspline& s) {
  s.INITCOORDS(4);
  s.P(0, 0.0f, 0.0f);
  s.P(1, 100.0f, 0.0f);
  s.P(2, 100.0f, 100.0f);
  s.P(3, 0.0f, 100.0f);
}

TEST(Spline, WorkedPoints) {
  Tspline s;
  square(s);
  s.UPDATE();
  EXPECT_EQ(s.X(), 100.0f);
  EXPECT_EQ(s.Y(), 0.0f);
  s.T(0.5f);
  s.UPDATE();
  EXPECT_EQ(s.X(), 112.5f);
  EXPECT_EQ(s.Y(), 50.0f);
}

TEST(Spline, AdvanceIsStrictAndCarriesOvershoot) {
  Tspline s;
  square(s);
  s.SPEED(0.3f);
  s.T(0.9f);
  s.UPDATE();
  EXPECT_NEAR(s.T(), 0.2f, 1e-6f);
  EXPECT_EQ(s.INDEX(), 1);
  s.SPEED(0.0f);
  s.T(1.0f);
  s.UPDATE();
  EXPECT_EQ(s.T(), 1.0f);
  EXPECT_EQ(s.INDEX(), 1);
}

TEST(Spline, SegmentsOf101Then100CallsAtSpeedHundredth) {
  Tspline s;
  s.INITCOORDS(60);
  s.SPEED(0.01f);
  int calls = 0;
  while (s.INDEX() == 0) {
    s.UPDATE();
    ++calls;
  }
  EXPECT_EQ(calls, 101);
  calls = 0;
  while (s.INDEX() == 1) {
    s.UPDATE();
    ++calls;
  }
  EXPECT_EQ(calls, 100);
}

TEST(Spline, RingWrapsFromLastIndex) {
  Tspline s;
  square(s);
  s.INDEX(3);  // points 3, 0, 1, 2: at T 0 the point is 0
  s.UPDATE();
  EXPECT_EQ(s.X(), 0.0f);
  EXPECT_EQ(s.Y(), 0.0f);
  s.SPEED(1.5f);
  s.T(0.0f);
  s.UPDATE();
  EXPECT_EQ(s.INDEX(), 0);
}

TEST(Spline, CoordinatesAreFixedAndGuarded) {
  Tspline s;
  s.INITCOORDS(60);
  s.INITCOORDS(10);
  EXPECT_EQ(s.MAXINDEX(), 60);
  s.P(-1, 5.0f, 5.0f);
  s.P(60, 5.0f, 5.0f);
  s.P(59, 1.0f, 2.0f);
  EXPECT_EQ(s.P(59).x, 1.0f);
  EXPECT_EQ(s.P(0).x, 0.0f);

  Tspline one(1);
  one.P(0, 7.0f, 8.0f);
  for (int i = 0; i < 3; ++i) one.UPDATE();
  EXPECT_EQ(one.X(), 7.0f);
  EXPECT_EQ(one.Y(), 8.0f);
}

TEST(Spline, UpdateWithoutPointsOrWithBrokenIndexIsFatal) {
  Tfatal_trap trap;
  Tspline none;
  try {
    none.UPDATE();
    FAIL();
  } catch (const Truntime_error& e) {
    EXPECT_EQ(e.code, VP_ERR_NULL_POINTER);
    EXPECT_NE(e.report.find("Tspline::UPDATE()"), std::string::npos);
  }
  Tspline empty;
  empty.INITCOORDS(0);  // refused: an empty ring has no point to stand on
  EXPECT_EQ(empty.MAXINDEX(), 0);
  EXPECT_THROW(empty.UPDATE(), Truntime_error);

  Tspline s;
  square(s);
  s.INDEX(4);
  EXPECT_THROW(s.UPDATE(), Truntime_error);
  s.INDEX(0);
  s.MAXINDEX(8);  // more than were created
  EXPECT_THROW(s.UPDATE(), Truntime_error);
}

}  // namespace

// spline.cpp - closed Catmull-Rom stepping.
#include "math/spline.h"

#include "platform/runtime_error.h"  // fatal reports for a missing or broken ring

Tspline::Tspline(int n) { INITCOORDS(n); }

Tspline::~Tspline() { delete[] coords_; }

void Tspline::INITCOORDS(int n) {
  // A ring needs at least one point: an empty one would make UPDATE divide
  // by zero, so it is refused and UPDATE reports the missing points instead.
  if (coords_ != nullptr || n < 1) return;
  INDEX_ = 0;
  MAXINDEX_ = n;
  coords_ = new Tspline_point[n]();
  allocated_ = n;
}

void Tspline::P(int i, float x, float y) {
  if (i < 0 || i >= MAXINDEX_ || i >= allocated_) return;
  coords_[i].x = x;
  coords_[i].y = y;
}

Tspline_point Tspline::P(int i) const {
  VP_CHECK_PTR(coords_, "Tspline", "P");
  VP_CHECK_INDEX(i, MAXINDEX_ < allocated_ ? MAXINDEX_ : allocated_, "Tspline", "P");
  return coords_[i];
}

void Tspline::UPDATE() {
  VP_CHECK_PTR(coords_, "Tspline", "UPDATE");
  const int n = MAXINDEX_;
  if (n < 1 || n > allocated_) RUNTIME_ERROR(VP_ERR_OUT_OF_BOUNDS, __LINE__, "Tspline", "UPDATE");
  VP_CHECK_INDEX(INDEX_, n, "Tspline", "UPDATE");

  const float t = T_;
  const float t2 = t * t;
  const float t3 = t * t2;
  const int i = INDEX_;
  const Tspline_point& p0 = coords_[i];
  const Tspline_point& p1 = coords_[(i + 1) % n];
  const Tspline_point& p2 = coords_[(i + 2) % n];
  const Tspline_point& p3 = coords_[(i + 3) % n];

  const double dt = t;
  const double dt2 = t2;
  const double dt3 = t3;
  auto curve = [&](double c0, double c1, double c2, double c3) {
    return 0.5 * (2.0 * c1 + (c2 - c0) * dt + (2.0 * c0 - 5.0 * c1 + 4.0 * c2 - c3) * dt2 +
                  (-c0 + 3.0 * c1 - 3.0 * c2 + c3) * dt3);
  };
  X_ = static_cast<float>(curve(p0.x, p1.x, p2.x, p3.x));
  Y_ = static_cast<float>(curve(p0.y, p1.y, p2.y, p3.y));

  T_ = T_ + SPEED_;
  if (T_ > 1.0f) {
    T_ = T_ - 1.0f;  // the overshoot carries into the next segment
    INDEX_ = (INDEX_ + 1) % n;
  }
}

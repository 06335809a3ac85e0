// spline.h - a point travelling along a closed uniform Catmull-Rom path
// through a ring of 2D control points.
//
// Rules and invariants:
//  - Coordinates are single-precision window pixels; the curve is evaluated
//    in double and stored as float.
//  - The ring wraps: segment INDEX uses points INDEX .. INDEX+3 modulo
//    MAXINDEX and runs from point INDEX+1 (T = 0) to INDEX+2 (T = 1).
//  - While control points exist, 1 <= MAXINDEX <= their count and
//    0 <= INDEX < MAXINDEX; UPDATE checks this and stops the program on a
//    broken invariant instead of reading outside the points.
//  - The control-point count is fixed by the first INITCOORDS.
//  - Splines own their points and are never copied.
#pragma once

#include "core/property.h"  // VP_PROPERTY

struct Tspline_point {
  float x;
  float y;
};

class Tspline {
 public:
  Tspline() = default;
  explicit Tspline(int n);
  ~Tspline();
  Tspline(const Tspline&) = delete;
  Tspline& operator=(const Tspline&) = delete;

  VP_PROPERTY(float, X, X_)
  VP_PROPERTY(float, Y, Y_)
  VP_PROPERTY(float, T, T_)
  VP_PROPERTY(float, SPEED, SPEED_)
  VP_PROPERTY(int, INDEX, INDEX_)
  VP_PROPERTY(int, MAXINDEX, MAXINDEX_)

  // Creates n zero points, once; later calls and counts below 1 do nothing.
  void INITCOORDS(int n);

  // Control point i; indices outside 0..MAXINDEX-1 are ignored by the setter
  // and fatal for the getter.
  void P(int i, float x, float y);
  Tspline_point P(int i) const;

  // Writes the point at the current T, then advances T by SPEED (carrying
  // into the next segment when it passes 1). Fatal without control points.
  void UPDATE();

 private:
  float X_ = 0.0f;
  float Y_ = 0.0f;
  float T_ = 0.0f;
  float SPEED_ = 0.001f;
  int INDEX_ = 0;
  int MAXINDEX_ = 0;
  Tspline_point* coords_ = nullptr;
  int allocated_ = 0;  // points in coords_, whatever MAXINDEX is set to
};

// vector.h - Tvector, three single-precision components with arithmetic.
//
// Rules:
//  - Fields x, y, z are public 32-bit floats; any bit pattern is a value.
//  - Every result is stored as a float. Sums of products (lengths, dot and
//    cross products) are formed in double and rounded to float once, so no
//    non-zero vector has a zero length and no cross term cancels early.
//  - Nothing reports errors: division by zero and normalizing the zero
//    vector give infinities or NaNs under masked IEEE exceptions.
//  - The left operand of a two-operand operator is always a Tvector; the
//    single-value constructor is explicit so that `s - v` cannot compile.
//  - Member CROSS computes v x this (v on the left), the opposite sign of
//    VCROSS(this, v).
#pragma once

struct Tvector {
  float x;
  float y;
  float z;

  Tvector() : x(0.0f), y(0.0f), z(0.0f) {}
  explicit Tvector(float s) : x(s), y(s), z(s) {}
  Tvector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
  Tvector(const Tvector&) = default;

  Tvector& operator=(const Tvector&) = default;
  Tvector& operator=(float s);

  Tvector& operator+=(const Tvector& v);
  Tvector& operator-=(const Tvector& v);
  Tvector& operator*=(const Tvector& v);
  Tvector& operator/=(const Tvector& v);
  Tvector& operator+=(float s);
  Tvector& operator-=(float s);
  Tvector& operator*=(float s);
  Tvector& operator/=(float s);

  // Length; -1.0e8 when the length rounds to zero (or is NaN).
  float MAGNITUDE() const;
  // this = v x this.
  void CROSS(const Tvector& v);
  // Multiplies by the float-rounded 1 / length.
  void NORMALIZE();
  float DOT(const Tvector& v) const;
};

Tvector operator+(const Tvector& a, const Tvector& b);
Tvector operator-(const Tvector& a, const Tvector& b);
Tvector operator*(const Tvector& a, const Tvector& b);
Tvector operator/(const Tvector& a, const Tvector& b);
Tvector operator+(const Tvector& a, float s);
Tvector operator-(const Tvector& a, float s);
Tvector operator*(const Tvector& a, float s);
Tvector operator/(const Tvector& a, float s);

// a x b.
Tvector VCROSS(const Tvector& a, const Tvector& b);
void VNORMALIZE(Tvector& v);
// Length; 1.0 when the length rounds to zero (or is NaN), so it can divide.
float VMAGNITUDE(const Tvector& v);
float VDOT(const Tvector& a, const Tvector& b);

// vector.cpp - Tvector arithmetic.
#include "math/vector.h"

#include <cmath>  // sqrt in double

namespace {

// Squares summed in double: the smallest subnormal float squared is still a
// normal double, so a non-zero vector never reports length zero.
double length_double(const Tvector& v) {
  double sum = static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y +
               static_cast<double>(v.z) * v.z;
  return std::sqrt(sum);
}

float dot(const Tvector& a, const Tvector& b) {
  double sum = static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
               static_cast<double>(a.z) * b.z;
  return static_cast<float>(sum);
}

// a x b, each component rounded to float once.
Tvector cross(const Tvector& a, const Tvector& b) {
  double cx = static_cast<double>(a.y) * b.z - static_cast<double>(a.z) * b.y;
  double cy = static_cast<double>(a.z) * b.x - static_cast<double>(a.x) * b.z;
  double cz = static_cast<double>(a.x) * b.y - static_cast<double>(a.y) * b.x;
  return Tvector(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cz));
}

void normalize(Tvector& v) {
  float k = static_cast<float>(1.0 / length_double(v));
  v.x *= k;
  v.y *= k;
  v.z *= k;
}

}  // namespace

Tvector& Tvector::operator=(float s) {
  x = y = z = s;
  return *this;
}

Tvector& Tvector::operator+=(const Tvector& v) {
  x += v.x;
  y += v.y;
  z += v.z;
  return *this;
}
Tvector& Tvector::operator-=(const Tvector& v) {
  x -= v.x;
  y -= v.y;
  z -= v.z;
  return *this;
}
Tvector& Tvector::operator*=(const Tvector& v) {
  x *= v.x;
  y *= v.y;
  z *= v.z;
  return *this;
}
Tvector& Tvector::operator/=(const Tvector& v) {
  x /= v.x;
  y /= v.y;
  z /= v.z;
  return *this;
}
Tvector& Tvector::operator+=(float s) {
  x += s;
  y += s;
  z += s;
  return *this;
}
Tvector& Tvector::operator-=(float s) {
  x -= s;
  y -= s;
  z -= s;
  return *this;
}
Tvector& Tvector::operator*=(float s) {
  x *= s;
  y *= s;
  z *= s;
  return *this;
}
Tvector& Tvector::operator/=(float s) {
  x /= s;
  y /= s;
  z /= s;
  return *this;
}

float Tvector::MAGNITUDE() const {
  float length = static_cast<float>(length_double(*this));
  if (length == 0.0f || std::isnan(length)) return -100000000.0f;
  return length;
}

void Tvector::CROSS(const Tvector& v) { *this = cross(v, *this); }

void Tvector::NORMALIZE() { normalize(*this); }

float Tvector::DOT(const Tvector& v) const { return dot(v, *this); }

Tvector operator+(const Tvector& a, const Tvector& b) { return Tvector(a.x + b.x, a.y + b.y, a.z + b.z); }
Tvector operator-(const Tvector& a, const Tvector& b) { return Tvector(a.x - b.x, a.y - b.y, a.z - b.z); }
Tvector operator*(const Tvector& a, const Tvector& b) { return Tvector(a.x * b.x, a.y * b.y, a.z * b.z); }
Tvector operator/(const Tvector& a, const Tvector& b) { return Tvector(a.x / b.x, a.y / b.y, a.z / b.z); }
Tvector operator+(const Tvector& a, float s) { return Tvector(a.x + s, a.y + s, a.z + s); }
Tvector operator-(const Tvector& a, float s) { return Tvector(a.x - s, a.y - s, a.z - s); }
Tvector operator*(const Tvector& a, float s) { return Tvector(s * a.x, s * a.y, s * a.z); }
Tvector operator/(const Tvector& a, float s) { return Tvector(a.x / s, a.y / s, a.z / s); }

Tvector VCROSS(const Tvector& a, const Tvector& b) { return cross(a, b); }

void VNORMALIZE(Tvector& v) { normalize(v); }

float VMAGNITUDE(const Tvector& v) {
  float length = static_cast<float>(length_double(v));
  if (length == 0.0f || std::isnan(length)) return 1.0f;
  return length;
}

float VDOT(const Tvector& a, const Tvector& b) { return dot(a, b); }

// matrix.cpp - Tmatrix.
#include "math/matrix.h"

#include <cmath>    // sin, cos, sqrt
#include <cstring>  // memcpy of whole blocks
#include <new>      // nothrow: a failed block stays null and is reported on use

#include "platform/runtime_error.h"  // null-block report

namespace {

const char k_module[] = "Tmatrix";

// e = t * m, column-major; e may alias neither t nor m.
void multiply(float* e, const float* t, const float* m) {
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      e[c * 4 + r] = t[r] * m[c * 4] + t[4 + r] * m[c * 4 + 1] + t[8 + r] * m[c * 4 + 2] +
                     t[12 + r] * m[c * 4 + 3];
    }
  }
}

void transpose(float* e) {
  float swap = e[1];
  e[1] = e[4];
  e[4] = swap;
  swap = e[2];
  e[2] = e[8];
  e[8] = swap;
  swap = e[6];
  e[6] = e[9];
  e[9] = swap;
  e[12] = -e[12];
  e[13] = -e[13];
  e[14] = -e[14];
}

// e = rigid inverse of t; e may not alias t.
void rigid_inverse(float* e, const float* t) {
  e[0] = t[0];
  e[1] = t[4];
  e[2] = t[8];
  e[4] = t[1];
  e[5] = t[5];
  e[6] = t[9];
  e[8] = t[2];
  e[9] = t[6];
  e[10] = t[10];
  e[3] = e[7] = e[11] = 0.0f;
  e[12] = -(t[0] * t[12]) - t[1] * t[13] - t[2] * t[14];
  e[13] = -(t[4] * t[12]) - t[5] * t[13] - t[6] * t[14];
  e[14] = -(t[8] * t[12]) - t[9] * t[13] - t[10] * t[14];
  e[15] = 1.0f;
}

}  // namespace

Tmatrix::Tmatrix() : e_(new (std::nothrow) float[16]()) {}

Tmatrix::Tmatrix(const Tmatrix& source) : e_(new (std::nothrow) float[16]()) {
  std::memcpy(block("Tmatrix"), source.block("Tmatrix"), 16 * sizeof(float));
}

Tmatrix::~Tmatrix() { delete[] e_; }

Tmatrix& Tmatrix::operator=(const Tmatrix& source) {
  // memcpy onto the same block is undefined; a self-assignment changes nothing.
  if (this != &source) {
    std::memcpy(block("COPY_MATRIX"), source.block("COPY_MATRIX"), 16 * sizeof(float));
  }
  return *this;
}

void Tmatrix::COPY_MATRIX(const Tmatrix& source) { *this = source; }

void Tmatrix::COPY_MATRIX(const float* p) {
  VP_CHECK_PTR(p, k_module, "COPY_MATRIX");
  std::memmove(block("COPY_MATRIX"), p, 16 * sizeof(float));
}

float* Tmatrix::block(const char* operation) const {
  VP_CHECK_PTR(e_, k_module, operation);
  return e_;
}

float* Tmatrix::MATRIX_PTR() { return block("MATRIX_PTR"); }
const float* Tmatrix::MATRIX_PTR() const { return block("MATRIX_PTR"); }
float Tmatrix::ELEMENT(int i) const { return block("ELEMENT")[i]; }
void Tmatrix::ELEMENT(int i, float value) { block("ELEMENT")[i] = value; }

Tvector Tmatrix::VRIGHT() const {
  const float* e = block("VRIGHT");
  return Tvector(e[0], e[1], e[2]);
}
Tvector Tmatrix::VUP() const {
  const float* e = block("VUP");
  return Tvector(e[4], e[5], e[6]);
}
Tvector Tmatrix::VFORWARD() const {
  const float* e = block("VFORWARD");
  return Tvector(e[8], e[9], e[10]);
}
Tvector Tmatrix::VTRANSLATE() const {
  const float* e = block("VTRANSLATE");
  return Tvector(e[12], e[13], e[14]);
}

void Tmatrix::IDENTITY() {
  float* e = block("IDENTITY");
  for (int i = 0; i < 16; ++i) e[i] = 0.0f;
  e[0] = e[5] = e[10] = e[15] = 1.0f;
}

void Tmatrix::MUL_MATRIX(const Tmatrix& m) { MUL_MATRIX(m.block("MUL_MATRIX")); }

void Tmatrix::MUL_MATRIX(const float* p) {
  VP_CHECK_PTR(p, k_module, "MUL_MATRIX");
  float* e = block("MUL_MATRIX");
  float t[16];
  float m[16];
  // Both operands copied first: p may be this matrix's own block.
  std::memcpy(t, e, sizeof t);
  std::memcpy(m, p, sizeof m);
  multiply(e, t, m);
}

Tmatrix& Tmatrix::operator*=(const Tmatrix& m) {
  MUL_MATRIX(m);
  return *this;
}

Tmatrix operator*(const Tmatrix& a, const Tmatrix& b) {
  Tmatrix result;
  multiply(result.MATRIX_PTR(), a.MATRIX_PTR(), b.MATRIX_PTR());
  return result;
}

void Tmatrix::TRANSPOSE() { transpose(block("TRANSPOSE")); }

Tmatrix Tmatrix::GETTRANSPOSE() const {
  Tmatrix result(*this);
  result.TRANSPOSE();
  return result;
}

Tmatrix MATRIX_TRANSPOSE(const Tmatrix& m) { return m.GETTRANSPOSE(); }

void Tmatrix::INVERSE() {
  float* e = block("INVERSE");
  float t[16];
  std::memcpy(t, e, sizeof t);
  rigid_inverse(e, t);
}

Tmatrix Tmatrix::GETINVERSE() const {
  Tmatrix result;
  rigid_inverse(result.MATRIX_PTR(), block("GETINVERSE"));
  return result;
}

void Tmatrix::ROTATE_ON_AXIS(float angle, float x, float y, float z) {
  float* e = block("ROTATE_ON_AXIS");
  float s = static_cast<float>(std::sin(static_cast<double>(angle)));
  float c = static_cast<float>(std::cos(static_cast<double>(angle)));
  double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                            static_cast<double>(z) * z);
  float k = static_cast<float>(1.0 / length);
  x = k * x;
  y = k * y;
  z = k * z;
  float u = 1.0f - c;
  e[0] = u * x * x + c;
  e[1] = u * x * y + z * s;
  e[2] = u * x * z - y * s;
  e[4] = u * y * x - z * s;
  e[5] = u * y * y + c;
  e[6] = u * y * z + x * s;
  e[8] = u * z * x + y * s;
  e[9] = u * y * z - x * s;
  e[10] = u * z * z + c;
  e[3] = e[7] = e[11] = e[12] = e[13] = e[14] = 0.0f;
  e[15] = 1.0f;
}

void Tmatrix::TRANSFORM_VECTOR(Tvector& v) const {
  const float* e = block("TRANSFORM_VECTOR");
  float x = v.x;
  float y = v.y;
  float z = v.z;
  v.x = e[0] * x + e[4] * y + e[8] * z;
  v.y = e[1] * x + e[5] * y + e[9] * z;
  v.z = e[2] * x + e[6] * y + e[10] * z;
}

// matrix.h - Tmatrix, a 4 x 4 single-precision transform laid out for GL.
//
// Rules:
//  - Column-major, as glLoadMatrixf takes it: element = column * 4 + row.
//    0-2 right axis, 4-6 up axis, 8-10 forward axis, 12-14 translation,
//    3/7/11/15 the bottom row.
//  - Each matrix owns its own heap block of 16 floats; copies never share
//    one, and assignment writes into the existing block. A new matrix is
//    all zeros, not the identity.
//  - Every access to the block checks it is not null (fatal null-pointer
//    report, module "Tmatrix"). ELEMENT's index is the caller's limit: 0-15.
//  - In-place operations read from a copy taken first, so a matrix may be
//    multiplied by or assigned from itself.
//  - INVERSE is the inverse of a rigid motion only (orthonormal 3 x 3 block,
//    bottom row 0 0 0 1); TRANSPOSE negates the translation without rotating
//    it, so on a rotated matrix the two differ.
#pragma once

#include "math/vector.h"  // axis and translation columns, TRANSFORM_VECTOR

class Tmatrix {
 public:
  Tmatrix();
  Tmatrix(const Tmatrix& source);
  ~Tmatrix();
  Tmatrix& operator=(const Tmatrix& source);

  void COPY_MATRIX(const Tmatrix& source);
  void COPY_MATRIX(const float* p);  // 16 floats in element order

  float* MATRIX_PTR();
  const float* MATRIX_PTR() const;
  float ELEMENT(int i) const;
  void ELEMENT(int i, float value);

  Tvector VRIGHT() const;
  Tvector VUP() const;
  Tvector VFORWARD() const;
  Tvector VTRANSLATE() const;

  void IDENTITY();
  // this = this * m: applied to a vector, m acts first (as glMultMatrixf).
  void MUL_MATRIX(const Tmatrix& m);
  void MUL_MATRIX(const float* p);
  Tmatrix& operator*=(const Tmatrix& m);
  void TRANSPOSE();
  void INVERSE();
  Tmatrix GETTRANSPOSE() const;
  Tmatrix GETINVERSE() const;
  // Replaces the whole matrix by a rotation of `angle` radians about the
  // axis, which is normalized here (a zero axis gives NaNs).
  void ROTATE_ON_AXIS(float angle, float x, float y, float z);
  // Applies the 3 x 3 block only: a direction, not a point.
  void TRANSFORM_VECTOR(Tvector& v) const;

 private:
  float* block(const char* operation) const;  // the checked block pointer

  float* e_;
};

Tmatrix operator*(const Tmatrix& a, const Tmatrix& b);
Tmatrix MATRIX_TRANSPOSE(const Tmatrix& m);

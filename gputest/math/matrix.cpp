#include "gputest/math/matrix.h"

#include <cmath>

namespace {
Vector3 Normalized(const Vector3& v) {
  const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return {v.x / length, v.y / length, v.z / length};
}
Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
}  // namespace

Matrix IdentityMatrix() { return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}}; }

Matrix Multiply(const Matrix& a, const Matrix& b) {
  Matrix product{};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      for (int k = 0; k < 4; ++k) {
        product.m[row * 4 + column] += a.m[row * 4 + k] * b.m[k * 4 + column];
      }
    }
  }
  return product;
}

Matrix ScalingMatrix(float x, float y, float z) {
  return Matrix{{x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}};
}

Matrix TranslationMatrix(float x, float y, float z) {
  return Matrix{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}};
}

Matrix RotationYMatrix(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Matrix{{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}};
}

Matrix LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
  const Vector3 z = Normalized({at.x - eye.x, at.y - eye.y, at.z - eye.z});
  const Vector3 x = Normalized(Cross(up, z));
  const Vector3 y = Cross(z, x);
  return Matrix{{x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -Dot(x, eye), -Dot(y, eye),
                 -Dot(z, eye), 1}};
}

Matrix PerspectiveFovLH(float fovY, float aspect, float nearZ, float farZ) {
  const float yScale = 1.0f / std::tan(fovY / 2);
  const float depth = farZ / (farZ - nearZ);
  return Matrix{{yScale / aspect, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -nearZ * depth, 0}};
}

float Distance(const Vector3& a, const Vector3& b) {
  const Vector3 d{a.x - b.x, a.y - b.y, a.z - b.z};
  return std::sqrt(Dot(d, d));
}

#pragma once
// The 4 x 4 matrices of the framework's cameras and of the scene, in the row-vector convention (a
// point multiplies on the left, so world x view x projection), laid out as the effect's matrix
// variables take them.

struct Vector3 {
  float x, y, z;
};

struct Matrix {
  float m[16];
};

Matrix IdentityMatrix();
Matrix Multiply(const Matrix& a, const Matrix& b);
Matrix ScalingMatrix(float x, float y, float z);
Matrix TranslationMatrix(float x, float y, float z);
// A left-handed turn about the Y axis by angle radians.
Matrix RotationYMatrix(float angle);
// Left-handed view from eye towards at, with up pointing upwards on the screen.
Matrix LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
// Left-handed perspective with a vertical field of view of fovY radians.
Matrix PerspectiveFovLH(float fovY, float aspect, float nearZ, float farZ);
float Distance(const Vector3& a, const Vector3& b);

#include "gputest/scene/scene_path.h"

namespace {
constexpr float pi = 3.1415927f;
}

Vector3 CameraPathEye(float pathTime) {
  const double depth = 6.5 - static_cast<double>(pathTime) * 6.5 * 0.25;
  return {-pathTime, 5.7f, static_cast<float>(depth)};
}

float ArmRotationAngle(double time) { return static_cast<float>(time * static_cast<double>(pi)); }

Matrix RoomWorld() { return ScalingMatrix(3.7f, 3.7f, 3.7f); }

Matrix SphereWorld() {
  return Multiply(Multiply(RotationYMatrix(pi / 2), ScalingMatrix(1, 1, 1)),
                  TranslationMatrix(0.0f, 3.2f, 0.0f));
}

std::array<Matrix, 6> CubeFaceViews() {
  const Vector3 eye{0.0f, 1.5f, 0.0f};
  struct Face {
    Vector3 at, up;
  };
  const Face faces[6] = {
      {{1.0f, 1.5f, 0.0f}, {0, 1, 0}},  {{-1.0f, 1.5f, 0.0f}, {0, 1, 0}},
      {{0.0f, 2.5f, 0.0f}, {0, 0, -1}}, {{0.0f, 0.5f, 0.0f}, {0, 0, 1}},
      {{0.0f, 1.5f, 1.0f}, {0, 1, 0}},  {{0.0f, 1.5f, -1.0f}, {0, 1, 0}},
  };
  std::array<Matrix, 6> views;
  for (int face = 0; face < 6; ++face) views[face] = LookAtLH(eye, faces[face].at, faces[face].up);
  return views;
}

std::array<Matrix, 6> EnvironmentFaceViews(const Matrix& sphereWorld,
                                           const std::array<Matrix, 6>& faceViews) {
  const Matrix toSphere = TranslationMatrix(-sphereWorld.m[12], -sphereWorld.m[13],
                                            -sphereWorld.m[14]);
  std::array<Matrix, 6> views;
  for (int face = 0; face < 6; ++face) views[face] = Multiply(toSphere, faceViews[face]);
  return views;
}

Matrix CubeProjection() { return PerspectiveFovLH(1.5707964f, 1.0f, 0.5f, 1000.0f); }


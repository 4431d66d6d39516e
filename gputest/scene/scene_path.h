#pragma once
// Where the scene's camera and arm are at a moment of the run, and the fixed placement of the
// room, the sphere and the environment map's faces.
#include <array>

#include "gputest/math/matrix.h"

// The point the camera looks at all run long.
constexpr Vector3 sceneLookAt{0.0f, 4.7f, 0.0f};

// The eye after pathTime seconds of frame time: (-t, 5.7, 6.5 - 1.625 t), its depth worked out
// in double precision.
Vector3 CameraPathEye(float pathTime);
// The arm's turn at framework time: half a turn per second.
float ArmRotationAngle(double time);

// Uniform scaling by 3.7, for the room and the monitors.
Matrix RoomWorld();
// Turned a quarter about Y, scaled by 1, lifted to (0, 3.2, 0).
Matrix SphereWorld();
// The six environment-map face views from (0, 1.5, 0), in face order +X, -X, +Y, -Y, +Z, -Z.
std::array<Matrix, 6> CubeFaceViews();
// This frame's face views: the faces seen from the sphere's centre (the translation of world).
std::array<Matrix, 6> EnvironmentFaceViews(const Matrix& sphereWorld,
                                           const std::array<Matrix, 6>& faceViews);
Matrix CubeProjection();

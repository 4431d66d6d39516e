// The scene's decisions without a device: the camera path, the arm's turn, the placement of the
// environment map's faces and the order of a frame's passes, recorded through a painter.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

#include "gputest/framework/camera.h"
#include "gputest/scene/scene_passes.h"
#include "gputest/scene/scene_path.h"

namespace {

void ExpectPoint(const Vector3& point, float x, float y, float z) {
  EXPECT_FLOAT_EQ(point.x, x);
  EXPECT_FLOAT_EQ(point.y, y);
  EXPECT_FLOAT_EQ(point.z, z);
}

// Where a point lands under a row-vector matrix, before the perspective divide.
std::array<float, 4> Transform(const Matrix& matrix, float x, float y, float z) {
  const float point[4] = {x, y, z, 1};
  std::array<float, 4> out{};
  for (int column = 0; column < 4; ++column) {
    for (int k = 0; k < 4; ++k) out[column] += point[k] * matrix.m[k * 4 + column];
  }
  return out;
}

TEST(CameraPath, StartsAboveTheRoomAndSlidesSidewaysAndForward) {
  struct Case {
    float time;
    Vector3 eye;
  };
  const Case cases[] = {
      {0.0f, {0.0f, 5.7f, 6.5f}},
      {1.0f, {-1.0f, 5.7f, 4.875f}},
      {4.0f, {-4.0f, 5.7f, 0.0f}},
      {2.5f, {-2.5f, 5.7f, 2.4375f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time);
    ExpectPoint(CameraPathEye(c.time), c.eye.x, c.eye.y, c.eye.z);
  }
  // The depth is worked out in double precision and only then stored.
  const float t = 0.1f;
  EXPECT_EQ(CameraPathEye(t).z, static_cast<float>(6.5 - static_cast<double>(t) * 6.5 * 0.25));
}

TEST(CameraPath, TheModelViewerCameraLooksFromThePathAtTheRoom) {
  CModelViewerCamera camera;
  const Vector3 eye = CameraPathEye(1.0f);
  camera.SetViewParams(eye, sceneLookAt);
  camera.SetRadius(Distance(eye, sceneLookAt), 1.0f, FLT_MAX);
  camera.FrameMove(0.016f);
  ExpectPoint(camera.GetEyePt(), -1.0f, 5.7f, 4.875f);
  // The look-at point is straight ahead of the eye.
  const auto ahead = Transform(camera.GetViewMatrix(), 0.0f, 4.7f, 0.0f);
  EXPECT_NEAR(ahead[0], 0.0f, 1e-5f);
  EXPECT_NEAR(ahead[1], 0.0f, 1e-5f);
  EXPECT_NEAR(ahead[2], Distance(eye, sceneLookAt), 1e-4f);
}

TEST(CameraPath, TheRadiusLimitsHoldTheEyeAtLeastOneUnitAway) {
  CModelViewerCamera camera;
  camera.SetViewParams({0.0f, 4.7f, 0.5f}, sceneLookAt);
  camera.SetRadius(0.5f, 1.0f, FLT_MAX);
  camera.FrameMove(0.0f);
  ExpectPoint(camera.GetEyePt(), 0.0f, 4.7f, 1.0f);
}

TEST(ArmRotation, FollowsTheFrameworkClockAtHalfATurnPerSecond) {
  EXPECT_EQ(ArmRotationAngle(0.0), 0.0f);
  EXPECT_FLOAT_EQ(ArmRotationAngle(1.0), 3.1415927f);
  EXPECT_FLOAT_EQ(ArmRotationAngle(0.5), 3.1415927f / 2);
  EXPECT_EQ(ArmRotationAngle(1000.25), static_cast<float>(1000.25 * 3.1415927f));
}

TEST(ScenePlacement, TheSphereStandsAtItsHeightAndTheFacesLookOutFromItsCentre) {
  const Matrix sphere = SphereWorld();
  EXPECT_FLOAT_EQ(sphere.m[12], 0.0f);
  EXPECT_FLOAT_EQ(sphere.m[13], 3.2f);
  EXPECT_FLOAT_EQ(sphere.m[14], 0.0f);
  const auto views = EnvironmentFaceViews(sphere, CubeFaceViews());
  // A point one unit from the sphere's centre along each face's axis is straight ahead of it.
  const float axes[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int face = 0; face < 6; ++face) {
    SCOPED_TRACE(face);
    const auto seen = Transform(views[face], axes[face][0], 3.2f + 1.5f + axes[face][1],
                                axes[face][2]);
    EXPECT_NEAR(seen[0], 0.0f, 1e-5f);
    EXPECT_NEAR(seen[1], 0.0f, 1e-5f);
    EXPECT_NEAR(seen[2], 1.0f, 1e-5f);
  }
}

// Records what a frame asks of the device.
class RecordingPainter : public ScenePainter {
 public:
  struct Draw {
    SceneObject object;
    bool environmentPass;
    bool insideEnvironmentPass;
  };
  std::vector<std::array<float, 4>> backBufferClears;
  std::vector<std::array<float, 4>> environmentClears;
  std::vector<Draw> draws;
  int environmentPasses = 0;
  bool inside = false;

  void ClearBackBuffer(const float colour[4]) override {
    backBufferClears.push_back({colour[0], colour[1], colour[2], colour[3]});
  }
  void BeginEnvironmentPass(const std::array<Matrix, 6>&, const float colour[4]) override {
    environmentClears.push_back({colour[0], colour[1], colour[2], colour[3]});
    ++environmentPasses;
    inside = true;
  }
  void EndEnvironmentPass() override { inside = false; }
  void SetViewProjection(const Matrix&, const Matrix&) override {}
  void DrawObject(SceneObject object, const Matrix&, bool environmentPass) override {
    draws.push_back({object, environmentPass, inside});
  }
};

TEST(FramePasses, AFrameClearsTheBackBuffer49TimesAndDrawsTheSphereOnlyInTheScenePasses) {
  RecordingPainter painter;
  const SceneWorlds worlds{RoomWorld(), RoomWorld(), SphereWorld()};
  UpdateEnvironmentMap(painter, worlds, CubeFaceViews(), CubeProjection());
  DrawScenePasses(painter, worlds, IdentityMatrix(), IdentityMatrix());

  ASSERT_EQ(painter.backBufferClears.size(), 49u);
  EXPECT_EQ(painter.backBufferClears[0], (std::array<float, 4>{0, 1, 1, 0}));
  for (size_t i = 1; i < painter.backBufferClears.size(); ++i) {
    EXPECT_EQ(painter.backBufferClears[i], (std::array<float, 4>{0, 0, 0, 0})) << i;
  }
  ASSERT_EQ(painter.environmentPasses, 1);
  EXPECT_EQ(painter.environmentClears[0], (std::array<float, 4>{0, 1, 0, 0}));

  int sphereDraws = 0, environmentDraws = 0;
  for (const auto& draw : painter.draws) {
    EXPECT_EQ(draw.environmentPass, draw.insideEnvironmentPass);
    if (draw.object == SceneObject::sphere) {
      ++sphereDraws;
      EXPECT_FALSE(draw.insideEnvironmentPass);
    }
    if (draw.insideEnvironmentPass) ++environmentDraws;
  }
  EXPECT_EQ(sphereDraws, 48);
  EXPECT_EQ(environmentDraws, 3);  // room, monitors, arm
  EXPECT_EQ(painter.draws.size(), 3u + 48u * 4u);
}

}  // namespace

#pragma once
// The order of one frame's passes over the scene, apart from the device work each step does: the
// environment pass into the cube map, then 48 passes over the whole scene, each clearing the back
// buffer first, so the frame shown is that of the last pass.
#include <array>

#include "gputest/math/matrix.h"

enum class SceneObject { room, monitors, arm, sphere };

// The device work of the steps. The scene's own painter draws with the device; another may record.
class ScenePainter {
 public:
  virtual ~ScenePainter() = default;
  // Clears the back buffer's target to colour and its depth to 1.
  virtual void ClearBackBuffer(const float colour[4]) = 0;
  // Targets the environment map (remembering the back buffer's target and viewport), clears it
  // to colour and its depth to 1, and hands the face views to the instanced pass.
  virtual void BeginEnvironmentPass(const std::array<Matrix, 6>& faceViews,
                                    const float colour[4]) = 0;
  // Back to the remembered target and viewport, with the map's mip levels made.
  virtual void EndEnvironmentPass() = 0;
  virtual void SetViewProjection(const Matrix& view, const Matrix& projection) = 0;
  // Draws one object placed by world through the current view and projection, with the technique
  // of the environment pass or of the scene passes.
  virtual void DrawObject(SceneObject object, const Matrix& world, bool environmentPass) = 0;
};

struct SceneWorlds {
  Matrix room;
  Matrix arm;  // the arm's rotation times the room's world
  Matrix sphere;
};

constexpr int scenePassesPerFrame = 48;
extern const float frameClearColour[4];        // (0, 1, 1, 0), under every pass
extern const float passClearColour[4];         // (0, 0, 0, 0), at the start of each scene pass
extern const float environmentClearColour[4];  // (0, 1, 0, 0)

// One pass over the room, monitors and arm, and outside the environment pass the sphere.
void DrawSceneObjects(ScenePainter& painter, const SceneWorlds& worlds, const Matrix& view,
                      const Matrix& projection, bool environmentPass);
// The environment map of this frame, seen from the sphere's centre; the sphere is not in it.
void UpdateEnvironmentMap(ScenePainter& painter, const SceneWorlds& worlds,
                          const std::array<Matrix, 6>& faceViews, const Matrix& cubeProjection);
// The frame's clear and its 48 scene passes through the camera.
void DrawScenePasses(ScenePainter& painter, const SceneWorlds& worlds, const Matrix& view,
                     const Matrix& projection);

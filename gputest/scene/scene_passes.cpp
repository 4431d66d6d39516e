#include "gputest/scene/scene_passes.h"

const float frameClearColour[4] = {0.0f, 1.0f, 1.0f, 0.0f};
const float passClearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
const float environmentClearColour[4] = {0.0f, 1.0f, 0.0f, 0.0f};

void DrawSceneObjects(ScenePainter& painter, const SceneWorlds& worlds, const Matrix& view,
                      const Matrix& projection, bool environmentPass) {
  if (!environmentPass) painter.ClearBackBuffer(passClearColour);
  painter.SetViewProjection(view, projection);
  painter.DrawObject(SceneObject::room, worlds.room, environmentPass);
  painter.DrawObject(SceneObject::monitors, worlds.room, environmentPass);
  painter.DrawObject(SceneObject::arm, worlds.arm, environmentPass);
  // The sphere does not reflect itself.
  if (environmentPass) return;
  painter.DrawObject(SceneObject::sphere, worlds.sphere, false);
}

void UpdateEnvironmentMap(ScenePainter& painter, const SceneWorlds& worlds,
                          const std::array<Matrix, 6>& faceViews, const Matrix& cubeProjection) {
  painter.BeginEnvironmentPass(faceViews, environmentClearColour);
  DrawSceneObjects(painter, worlds, faceViews[0], cubeProjection, true);
  painter.EndEnvironmentPass();
}

void DrawScenePasses(ScenePainter& painter, const SceneWorlds& worlds, const Matrix& view,
                     const Matrix& projection) {
  painter.ClearBackBuffer(frameClearColour);
  for (int pass = 0; pass < scenePassesPerFrame; ++pass) {
    DrawSceneObjects(painter, worlds, view, projection, false);
  }
}

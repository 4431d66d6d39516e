#pragma once
// The scene's passes drawn with the device and the effect.
#include <d3d10.h>

#include "gputest/scene/scene_passes.h"
#include "gputest/scene/scene_resources.h"

class DevicePainter : public ScenePainter {
 public:
  // backBufferTarget and backBufferDepth are the framework's views of the back buffer.
  DevicePainter(ID3D10Device* device, SceneResources& scene, const SceneMeshes& meshes,
                ID3D10RenderTargetView* backBufferTarget, ID3D10DepthStencilView* backBufferDepth)
      : device_(device),
        scene_(scene),
        meshes_(meshes),
        backBufferTarget_(backBufferTarget),
        backBufferDepth_(backBufferDepth) {}

  void ClearBackBuffer(const float colour[4]) override;
  void BeginEnvironmentPass(const std::array<Matrix, 6>& faceViews,
                            const float colour[4]) override;
  void EndEnvironmentPass() override;
  void SetViewProjection(const Matrix& view, const Matrix& projection) override;
  void DrawObject(SceneObject object, const Matrix& world, bool environmentPass) override;

 private:
  ID3D10Device* device_;
  SceneResources& scene_;
  SceneMeshes meshes_;
  ID3D10RenderTargetView* backBufferTarget_;
  ID3D10DepthStencilView* backBufferDepth_;
  Matrix view_{};
  Matrix projection_{};
  const EffectTechnique* environmentTechnique_ = nullptr;
  ComPtr<ID3D10RenderTargetView> keptTarget_;
  ComPtr<ID3D10DepthStencilView> keptDepth_;
  D3D10_VIEWPORT keptViewport_{};
};

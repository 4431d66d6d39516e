#include "gputest/scene/device_painter.h"

#include "gputest/scene/mesh_instanced_draw.h"

void DevicePainter::ClearBackBuffer(const float colour[4]) {
  device_->ClearRenderTargetView(backBufferTarget_, colour);
  device_->ClearDepthStencilView(backBufferDepth_, D3D10_CLEAR_DEPTH, 1.0f, 0);
}

void DevicePainter::BeginEnvironmentPass(const std::array<Matrix, 6>& faceViews,
                                         const float colour[4]) {
  device_->OMGetRenderTargets(1, keptTarget_.out(), keptDepth_.out());
  UINT viewports = 1;
  device_->RSGetViewports(&viewports, &keptViewport_);
  const D3D10_VIEWPORT environment{0, 0, 256, 256, 0.0f, 1.0f};
  device_->RSSetViewports(1, &environment);
  device_->ClearRenderTargetView(scene_.environmentTarget.get(), colour);
  device_->ClearDepthStencilView(scene_.environmentDepthView.get(), D3D10_CLEAR_DEPTH, 1.0f, 0);
  environmentTechnique_ = scene_.useInstancing ? scene_.renderCubeMapInst : scene_.renderCubeMap;
  ID3D10InputLayout* layout =
      scene_.useInstancing ? scene_.cubeMapInstLayout.get() : scene_.cubeMapLayout.get();
  ID3D10RenderTargetView* target = scene_.environmentTarget.get();
  device_->OMSetRenderTargets(1, &target, scene_.environmentDepthView.get());
  device_->IASetInputLayout(layout);
  scene_.viewCM->SetMatrixArray(faceViews[0].m, 0, 6);
}

void DevicePainter::EndEnvironmentPass() {
  device_->RSSetViewports(1, &keptViewport_);
  ID3D10RenderTargetView* target = keptTarget_.get();
  device_->OMSetRenderTargets(target != nullptr ? 1 : 0, &target, keptDepth_.get());
  keptTarget_.reset();
  keptDepth_.reset();
  // Through the 2-D array view: the cube view's mips would stay empty under Wine.
  device_->GenerateMips(scene_.environmentMipView.get());
}

void DevicePainter::SetViewProjection(const Matrix& view, const Matrix& projection) {
  view_ = view;
  projection_ = projection;
  scene_.view->SetMatrix(view.m);
  scene_.projection->SetMatrix(projection.m);
}

void DevicePainter::DrawObject(SceneObject object, const Matrix& world, bool environmentPass) {
  const Matrix worldView = Multiply(world, view_);
  const Matrix worldViewProj = Multiply(worldView, projection_);
  if (object == SceneObject::sphere) {
    device_->IASetInputLayout(scene_.envMappedSceneLayout.get());
    scene_.worldView->SetMatrix(worldView.m);
    scene_.worldViewProj->SetMatrix(worldViewProj.m);
    scene_.world->SetMatrix(world.m);
    scene_.environmentMapTexture->SetResource(scene_.environmentView.get());
    meshes_.sphere->Render(device_, scene_.renderEnvMappedSceneNoTexture, nullptr,
                           scene_.materialDiffuse, scene_.materialSpecular);
    return;
  }
  scene_.worldViewProj->SetMatrix(worldViewProj.m);
  scene_.world->SetMatrix(world.m);
  const CDXUTSDKMesh* mesh = object == SceneObject::room       ? meshes_.room
                             : object == SceneObject::monitors ? meshes_.monitors
                                                               : meshes_.arm;
  const EffectTechnique* technique = environmentPass ? environmentTechnique_ : scene_.renderScene;
  if (scene_.useInstancing) {
    DrawMeshInstanced(device_, *mesh, *technique, scene_.diffuseTexture);
  } else {
    mesh->Render(device_, technique, scene_.diffuseTexture, nullptr, nullptr);
  }
}

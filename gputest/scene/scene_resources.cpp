#include "gputest/scene/scene_resources.h"

#include "gputest/effect/cube_mips.h"

namespace {
constexpr UINT environmentMapSize = 256;
constexpr UINT environmentMapMips = 9;

const D3D10_INPUT_ELEMENT_DESC sceneVertexLayout[] = {
    {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D10_INPUT_PER_VERTEX_DATA, 0},
};

HRESULT CreateLayout(ID3D10Device* device, const EffectTechnique* technique,
                     ComPtr<ID3D10InputLayout>* layout) {
  const EffectPass* pass = technique != nullptr ? technique->Pass(0) : nullptr;
  if (pass == nullptr) return E_FAIL;
  return device->CreateInputLayout(sceneVertexLayout, 3, pass->InputSignature(),
                                   pass->InputSignatureSize(), layout->out());
}

D3D10_TEXTURE2D_DESC CubeDesc(UINT mips, DXGI_FORMAT format, UINT bind, UINT misc) {
  D3D10_TEXTURE2D_DESC desc{};
  desc.Width = environmentMapSize;
  desc.Height = environmentMapSize;
  desc.MipLevels = mips;
  desc.ArraySize = 6;
  desc.Format = format;
  desc.SampleDesc.Count = 1;
  desc.Usage = D3D10_USAGE_DEFAULT;
  desc.BindFlags = bind;
  desc.MiscFlags = misc;
  return desc;
}
}  // namespace

HRESULT LookUpSceneEffectNames(SceneResources* scene) {
  Effect& effect = *scene->effect;
  scene->renderCubeMapInst = effect.Technique("RenderCubeMap_Inst");
  scene->renderScene = effect.Technique("RenderScene");
  scene->renderEnvMappedSceneNoTexture = effect.Technique("RenderEnvMappedScene_NoTexture");
  scene->renderEnvMappedScene = effect.Technique("RenderEnvMappedScene");
  scene->renderCubeMap = effect.Technique("RenderCubeMap");
  scene->worldViewProj = effect.Variable("mWorldViewProj");
  scene->worldView = effect.Variable("mWorldView");
  scene->world = effect.Variable("mWorld");
  scene->view = effect.Variable("mView");
  scene->projection = effect.Variable("mProj");
  scene->viewCM = effect.Variable("g_mViewCM");
  scene->diffuseTexture = effect.Variable("g_txDiffuse");
  scene->environmentMapTexture = effect.Variable("g_txEnvMap");
  scene->materialDiffuse = effect.Variable("vMaterialDiff");
  scene->materialSpecular = effect.Variable("vMaterialSpec");
  scene->eye = effect.Variable("vEye");
  // An effect file without one of them would leave the frame drawing through a null handle.
  const void* found[] = {scene->renderCubeMapInst, scene->renderScene,
                         scene->renderEnvMappedSceneNoTexture, scene->renderEnvMappedScene,
                         scene->renderCubeMap, scene->worldViewProj, scene->worldView,
                         scene->world, scene->view, scene->projection, scene->viewCM,
                         scene->diffuseTexture, scene->environmentMapTexture,
                         scene->materialDiffuse, scene->materialSpecular, scene->eye};
  for (const void* name : found) {
    if (name == nullptr) return E_FAIL;
  }
  return S_OK;
}

HRESULT CreateEnvironmentMap(ID3D10Device* device, SceneResources* scene) {
  D3D10_TEXTURE2D_DESC depthDesc = CubeDesc(1, DXGI_FORMAT_D32_FLOAT, D3D10_BIND_DEPTH_STENCIL,
                                            D3D10_RESOURCE_MISC_TEXTURECUBE);
  HRESULT hr = device->CreateTexture2D(&depthDesc, nullptr, scene->environmentDepth.out());
  if (FAILED(hr)) return hr;
  D3D10_DEPTH_STENCIL_VIEW_DESC depthView{};
  depthView.Format = DXGI_FORMAT_D32_FLOAT;
  depthView.ViewDimension = D3D10_DSV_DIMENSION_TEXTURE2DARRAY;
  depthView.Texture2DArray.FirstArraySlice = 0;
  depthView.Texture2DArray.ArraySize = 6;
  hr = device->CreateDepthStencilView(scene->environmentDepth.get(), &depthView,
                                      scene->environmentDepthView.out());
  if (FAILED(hr)) return hr;

  D3D10_TEXTURE2D_DESC mapDesc =
      CubeDesc(environmentMapMips, DXGI_FORMAT_R8G8B8A8_UNORM,
               D3D10_BIND_RENDER_TARGET | D3D10_BIND_SHADER_RESOURCE,
               D3D10_RESOURCE_MISC_GENERATE_MIPS | D3D10_RESOURCE_MISC_TEXTURECUBE);
  hr = device->CreateTexture2D(&mapDesc, nullptr, scene->environmentMap.out());
  if (FAILED(hr)) return hr;
  D3D10_RENDER_TARGET_VIEW_DESC targetView{};
  targetView.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  targetView.ViewDimension = D3D10_RTV_DIMENSION_TEXTURE2DARRAY;
  targetView.Texture2DArray.MipSlice = 0;
  targetView.Texture2DArray.FirstArraySlice = 0;
  targetView.Texture2DArray.ArraySize = 6;
  hr = device->CreateRenderTargetView(scene->environmentMap.get(), &targetView,
                                      scene->environmentTarget.out());
  if (FAILED(hr)) return hr;
  D3D10_SHADER_RESOURCE_VIEW_DESC cubeView{};
  cubeView.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  cubeView.ViewDimension = D3D10_SRV_DIMENSION_TEXTURECUBE;
  cubeView.TextureCube.MostDetailedMip = 0;
  cubeView.TextureCube.MipLevels = environmentMapMips;
  hr = device->CreateShaderResourceView(scene->environmentMap.get(), &cubeView,
                                        scene->environmentView.out());
  if (FAILED(hr)) return hr;
  return CreateMipGenerationView(device, scene->environmentMap.get(), &scene->environmentMipView);
}

HRESULT CreateSceneInputLayouts(ID3D10Device* device, SceneResources* scene) {
  HRESULT hr = CreateLayout(device, scene->renderScene, &scene->sceneLayout);
  if (SUCCEEDED(hr)) hr = CreateLayout(device, scene->renderCubeMap, &scene->cubeMapLayout);
  if (SUCCEEDED(hr)) {
    hr = CreateLayout(device, scene->renderCubeMapInst, &scene->cubeMapInstLayout);
  }
  if (SUCCEEDED(hr)) {
    hr = CreateLayout(device, scene->renderEnvMappedScene, &scene->envMappedSceneLayout);
  }
  return hr;
}

void ReleaseSceneResources(SceneResources* scene) {
  scene->renderCubeMapInst = scene->renderScene = scene->renderEnvMappedSceneNoTexture = nullptr;
  scene->renderEnvMappedScene = scene->renderCubeMap = nullptr;
  scene->effect.reset();
  scene->sceneLayout.reset();
  scene->cubeMapLayout.reset();
  scene->cubeMapInstLayout.reset();
  scene->envMappedSceneLayout.reset();
  scene->environmentMipView.reset();
  scene->environmentView.reset();
  scene->environmentTarget.reset();
  scene->environmentMap.reset();
  scene->environmentDepthView.reset();
  scene->environmentDepth.reset();
}

#pragma once
// The scene's device-bound objects: the effect with its techniques and variables, the input
// layouts, the environment map and its depth buffer.
#include <d3d10.h>

#include <memory>

#include "common/platform/com_holders.h"
#include "gputest/effect/effect.h"
#include "gputest/mesh/sdk_mesh.h"

struct SceneMeshes {
  CDXUTSDKMesh* room;
  CDXUTSDKMesh* monitors;
  CDXUTSDKMesh* arm;
  CDXUTSDKMesh* sphere;
};

struct SceneResources {
  std::unique_ptr<Effect> effect;
  const EffectTechnique* renderCubeMapInst = nullptr;
  const EffectTechnique* renderScene = nullptr;
  const EffectTechnique* renderEnvMappedSceneNoTexture = nullptr;
  const EffectTechnique* renderEnvMappedScene = nullptr;
  const EffectTechnique* renderCubeMap = nullptr;
  EffectVariable* worldViewProj = nullptr;
  EffectVariable* worldView = nullptr;
  EffectVariable* world = nullptr;
  EffectVariable* view = nullptr;
  EffectVariable* projection = nullptr;
  EffectVariable* viewCM = nullptr;
  EffectVariable* diffuseTexture = nullptr;
  EffectVariable* environmentMapTexture = nullptr;
  EffectVariable* materialDiffuse = nullptr;
  EffectVariable* materialSpecular = nullptr;
  EffectVariable* eye = nullptr;

  ComPtr<ID3D10InputLayout> sceneLayout;
  ComPtr<ID3D10InputLayout> cubeMapLayout;
  ComPtr<ID3D10InputLayout> cubeMapInstLayout;
  ComPtr<ID3D10InputLayout> envMappedSceneLayout;

  ComPtr<ID3D10Texture2D> environmentMap;
  ComPtr<ID3D10RenderTargetView> environmentTarget;
  ComPtr<ID3D10ShaderResourceView> environmentView;
  ComPtr<ID3D10ShaderResourceView> environmentMipView;  // 2-D array view, for GenerateMips
  ComPtr<ID3D10Texture2D> environmentDepth;
  ComPtr<ID3D10DepthStencilView> environmentDepthView;

  bool useInstancing = true;
};

// Looks up the techniques and variables the scene uses; fails when the effect lacks any.
HRESULT LookUpSceneEffectNames(SceneResources* scene);
// The environment cube map, 256 x 256 with 9 mips, and its 256 x 256 depth cube, with their views.
HRESULT CreateEnvironmentMap(ID3D10Device* device, SceneResources* scene);
// The four input layouts, against pass 0 of each technique.
HRESULT CreateSceneInputLayouts(ID3D10Device* device, SceneResources* scene);
// Releases the effect, the layouts, the environment map and its depth buffer, in that order.
void ReleaseSceneResources(SceneResources* scene);

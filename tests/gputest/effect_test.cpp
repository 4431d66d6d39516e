// The effect layer on a Direct3D 10 device under Wine: "ZORTA.fx" built whole, files it must
// refuse, and the environment pass's six-face draw with the mip levels generated after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gputest/effect/cube_mips.h"
#include "gputest/effect/effect.h"
#include "gputest/framework/media_search.h"
#include "gputest/math/matrix.h"
#include "tests/support/d3d10_test_device.h"
#include "tests/support/temp_dir.h"

namespace {

const std::vector<std::string> sceneTechniques = {"RenderCubeMap_Inst", "RenderScene",
                                                  "RenderEnvMappedScene_NoTexture",
                                                  "RenderEnvMappedScene", "RenderCubeMap"};
const std::vector<std::string> sceneMatrices = {"mWorldViewProj", "mWorldView", "mWorld", "mView",
                                                "mProj"};
const std::vector<std::string> sceneVectors = {"vMaterialDiff", "vMaterialSpec", "vEye"};
const std::vector<std::string> sceneTextures = {"g_txDiffuse", "g_txEnvMap"};

// The scene's vertex: position, normal, texture coordinate.
struct Vertex {
  float position[3];
  float normal[3];
  float tex[2];
};
const D3D10_INPUT_ELEMENT_DESC vertexLayout[] = {
    {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D10_INPUT_PER_VERTEX_DATA, 0},
};

std::wstring ZortaFxPath() {
  wchar_t path[MAX_PATH];
  EXPECT_EQ(FindMediaFile(path, L"ZORTA.fx"), S_OK);
  return path;
}

std::string ReadZortaFx() {
  std::FILE* file = _wfopen(ZortaFxPath().c_str(), L"rb");
  std::string text;
  if (file == nullptr) return text;
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof(block), file)) > 0) text.append(block, got);
  std::fclose(file);
  return text;
}

class EffectOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CreateTestDeviceAndCompiler(&device, &compiler));
  }

  HRESULT Build(const std::string& text, std::unique_ptr<Effect>* effect, std::string* failure) {
    return CreateEffectFromText(text, "test.fx", "fx_4_0", D3D10_SHADER_ENABLE_STRICTNESS,
                                device.get(), compiler, effect, failure);
  }

  // "ZORTA.fx" as the scene compiles it.
  void BuildZortaFx(std::unique_ptr<Effect>* effect) {
    std::string failure;
    ASSERT_EQ(CreateEffectFromFile(ZortaFxPath().c_str(), "fx_4_0", D3D10_SHADER_ENABLE_STRICTNESS,
                                   device.get(), compiler, effect, &failure),
              S_OK)
        << failure;
    ASSERT_TRUE(*effect);
  }

  ComPtr<ID3D10Device> device;
  ShaderCompiler compiler;
};

TEST_F(EffectOnDevice, ZortaFxHasEveryTechniqueAndVariableOfTheSceneAndItsPassesCompile) {
  std::unique_ptr<Effect> effect;
  ASSERT_NO_FATAL_FAILURE(BuildZortaFx(&effect));

  std::vector<std::string> variables = sceneMatrices;
  variables.insert(variables.end(), sceneVectors.begin(), sceneVectors.end());
  variables.insert(variables.end(), sceneTextures.begin(), sceneTextures.end());
  variables.push_back("g_mViewCM");
  EXPECT_EQ(MissingEffectNames(*effect, sceneTechniques, variables), "");

  for (const std::string& name : sceneTechniques) {
    const EffectTechnique* technique = effect->Technique(name);
    ASSERT_NE(technique, nullptr) << name;
    ASSERT_EQ(technique->PassCount(), 1u) << name;
    EXPECT_EQ(technique->Pass(1), nullptr) << name;
    const EffectPass* pass = technique->Pass(0);
    EXPECT_EQ(pass->RoutesInstancesToCubeFaces(), name == "RenderCubeMap_Inst") << name;
    ComPtr<ID3D10InputLayout> layout;
    EXPECT_EQ(device->CreateInputLayout(vertexLayout, 3, pass->InputSignature(),
                                        pass->InputSignatureSize(), layout.out()),
              S_OK)
        << name;
    pass->Apply();
  }

  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  const float vector[4] = {1, 2, 3, 4};
  for (const std::string& name : sceneMatrices) {
    EXPECT_TRUE(effect->Variable(name)->SetMatrix(identity)) << name;
    EXPECT_FALSE(effect->Variable(name)->SetFloatVector(vector)) << name;
  }
  for (const std::string& name : sceneVectors) {
    EXPECT_TRUE(effect->Variable(name)->SetFloatVector(vector)) << name;
    EXPECT_FALSE(effect->Variable(name)->SetMatrix(identity)) << name;
  }
  for (const std::string& name : sceneTextures) {
    EXPECT_TRUE(effect->Variable(name)->SetResource(nullptr)) << name;
    EXPECT_FALSE(effect->Variable(name)->SetMatrix(identity)) << name;
  }
  std::vector<float> seven(7 * 16, 0.0f);
  EffectVariable* faceViews = effect->Variable("g_mViewCM");
  EXPECT_TRUE(faceViews->SetMatrixArray(seven.data(), 0, 6));
  EXPECT_TRUE(faceViews->SetMatrixArray(seven.data(), 5, 1));
  EXPECT_FALSE(faceViews->SetMatrixArray(seven.data(), 0, 7));
  EXPECT_FALSE(faceViews->SetMatrixArray(seven.data(), 6, 1));
  EXPECT_EQ(effect->Technique("RenderSky"), nullptr);
  EXPECT_EQ(effect->Variable("mSky"), nullptr);
}

TEST_F(EffectOnDevice, FilesItCannotBuildFailWithTheirText) {
  const std::string zorta = ReadZortaFx();
  ASSERT_FALSE(zorta.empty());
  struct Case {
    const char* shows;
    std::string text;
    std::string failureHas;
  };
  auto replaced = [&zorta](const std::string& from, const std::string& to) {
    std::string text = zorta;
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
  };
  const size_t scenePass = zorta.find("technique10 RenderScene");
  const Case cases[] = {
      {"an undeclared name in a shader",
       replaced("output.Tex = input.Tex;", "output.Tex = input.TexCoordinate;"),
       "technique RenderScene, pass P0: VS_Scene (vs_4_0) does not compile:\n"},
      {"a type mismatch in a shader",
       replaced("float light = 0.35", "Texture2D wrong = g_txEnvMap; float light = 0.35"),
       "technique RenderScene, pass P0: VS_Scene (vs_4_0) does not compile:\n"},
      {"a pass naming an entry point the file lacks",
       replaced("PS_EnvMappedScene_NoTexture() ) );", "PS_Missing() ) );"),
       "PS_Missing (ps_4_0) does not compile"},
      {"a pass naming a state the file lacks",
       replaced("SetRasterizerState( SolidBackCull );", "SetRasterizerState( Wireframe );"),
       "technique RenderScene, pass P0: no RasterizerState named Wireframe"},
      {"a file cut inside a technique", zorta.substr(0, scenePass + 60),
       "test.fx(" + std::to_string(1 + std::count(zorta.begin(), zorta.begin() + scenePass + 60, '\n')) +
           "): the file ends inside technique RenderScene, pass P0"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Effect> effect;
    std::string failure;
    EXPECT_TRUE(FAILED(Build(c.text, &effect, &failure))) << c.shows;
    EXPECT_FALSE(effect) << c.shows;
    EXPECT_NE(failure.find(c.failureHas), std::string::npos) << c.shows << ": " << failure;
  }
  // The compiler's own message names the file and the fault's place.
  std::unique_ptr<Effect> effect;
  std::string failure;
  Build(cases[0].text, &effect, &failure);
  EXPECT_NE(failure.find("test.fx:"), std::string::npos) << failure;
}

TEST_F(EffectOnDevice, ATechniqueTheSceneNeedsMissingFromTheFileIsNamed) {
  std::string text = ReadZortaFx();
  const size_t begin = text.find("technique10 RenderScene\n");
  ASSERT_NE(begin, std::string::npos);
  text.erase(begin, text.find("technique10 RenderCubeMap\n") - begin);
  std::unique_ptr<Effect> effect;
  std::string failure;
  ASSERT_EQ(Build(text, &effect, &failure), S_OK) << failure;
  EXPECT_EQ(MissingEffectNames(*effect, sceneTechniques, {"mWorld", "mSky"}),
            "no technique RenderScene\nno variable mSky\n");

  // A file cut before its techniques compiles nothing and has none to give.
  const std::string zorta = ReadZortaFx();
  ASSERT_EQ(Build(zorta.substr(0, zorta.find("return output;")), &effect, &failure), S_OK)
      << failure;
  EXPECT_EQ(MissingEffectNames(*effect, {"RenderScene", "RenderCubeMap_Inst"}, {"mWorld"}),
            "no technique RenderScene\nno technique RenderCubeMap_Inst\nno variable mWorld\n");
}

TEST_F(EffectOnDevice, TheFileTheProfileAndTheCompilerMustBeThere) {
  std::unique_ptr<Effect> effect;
  std::string failure;
  TempDir dir;
  const std::wstring missing = std::wstring(dir.path().begin(), dir.path().end()) + L"\\none.fx";
  EXPECT_TRUE(FAILED(CreateEffectFromFile(missing.c_str(), "fx_4_0", 0, device.get(), compiler,
                                          &effect, &failure)));
  EXPECT_NE(failure.find("none.fx: the file cannot be opened"), std::string::npos) << failure;

  EXPECT_EQ(CreateEffectFromFile(ZortaFxPath().c_str(), "fx_5_0", 0, device.get(), compiler,
                                 &effect, &failure),
            E_INVALIDARG);
  EXPECT_NE(failure.find("fx_4_0 only"), std::string::npos) << failure;

  const ShaderCompiler none;
  EXPECT_EQ(CreateEffectFromFile(ZortaFxPath().c_str(), "fx_4_0", 0, device.get(), none, &effect,
                                 &failure),
            E_INVALIDARG);
  EXPECT_FALSE(effect);
}

// A box around the environment map's eye, each wall a colour of its own in a 6 x 1 texture, seen
// from inside whichever way its triangles turn.
constexpr UINT mapSize = 256;
constexpr UINT mapMips = 9;
const unsigned char wallColours[6][4] = {{255, 0, 0, 255},   {0, 255, 0, 255},
                                         {0, 0, 255, 255},   {255, 255, 0, 255},
                                         {255, 0, 255, 255}, {0, 255, 255, 255}};

void BuildBox(std::vector<Vertex>* vertices, std::vector<unsigned short>* indices) {
  const float eye[3] = {0.0f, 1.5f, 0.0f};
  const float size = 4.0f;
  // Walls in face order: +X, -X, +Y, -Y, +Z, -Z.
  for (int wall = 0; wall < 6; ++wall) {
    const int axis = wall / 2;
    const float sign = wall % 2 == 0 ? 1.0f : -1.0f;
    const int u = (axis + 1) % 3;
    const int v = (axis + 2) % 3;
    const float tex = (wall + 0.5f) / 6.0f;
    const unsigned short first = static_cast<unsigned short>(vertices->size());
    for (int corner = 0; corner < 4; ++corner) {
      Vertex vertex{};
      vertex.position[axis] = eye[axis] + sign * size;
      vertex.position[u] = eye[u] + (corner & 1 ? size : -size);
      vertex.position[v] = eye[v] + (corner & 2 ? size : -size);
      vertex.normal[axis] = -sign;
      vertex.tex[0] = tex;
      vertex.tex[1] = 0.5f;
      vertices->push_back(vertex);
    }
    const unsigned short quad[12] = {0, 1, 2, 2, 1, 3, 0, 2, 1, 2, 3, 1};
    for (unsigned short index : quad) indices->push_back(static_cast<unsigned short>(first + index));
  }
}

TEST_F(EffectOnDevice, TheEnvironmentPassFillsAllSixFacesAndTheMipLevelsAreGenerated) {
  std::unique_ptr<Effect> effect;
  ASSERT_NO_FATAL_FAILURE(BuildZortaFx(&effect));

  // The environment map and its depth buffer as the scene makes them.
  D3D10_TEXTURE2D_DESC mapDesc{};
  mapDesc.Width = mapSize;
  mapDesc.Height = mapSize;
  mapDesc.MipLevels = mapMips;
  mapDesc.ArraySize = 6;
  mapDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  mapDesc.SampleDesc.Count = 1;
  mapDesc.Usage = D3D10_USAGE_DEFAULT;
  mapDesc.BindFlags = D3D10_BIND_RENDER_TARGET | D3D10_BIND_SHADER_RESOURCE;
  mapDesc.MiscFlags = D3D10_RESOURCE_MISC_GENERATE_MIPS | D3D10_RESOURCE_MISC_TEXTURECUBE;
  ComPtr<ID3D10Texture2D> map;
  ASSERT_EQ(device->CreateTexture2D(&mapDesc, nullptr, map.out()), S_OK);
  D3D10_RENDER_TARGET_VIEW_DESC targetDesc{};
  targetDesc.Format = mapDesc.Format;
  targetDesc.ViewDimension = D3D10_RTV_DIMENSION_TEXTURE2DARRAY;
  targetDesc.Texture2DArray.ArraySize = 6;
  ComPtr<ID3D10RenderTargetView> target;
  ASSERT_EQ(device->CreateRenderTargetView(map.get(), &targetDesc, target.out()), S_OK);

  D3D10_TEXTURE2D_DESC depthDesc = mapDesc;
  depthDesc.MipLevels = 1;
  depthDesc.Format = DXGI_FORMAT_D32_FLOAT;
  depthDesc.BindFlags = D3D10_BIND_DEPTH_STENCIL;
  depthDesc.MiscFlags = D3D10_RESOURCE_MISC_TEXTURECUBE;
  ComPtr<ID3D10Texture2D> depthMap;
  ASSERT_EQ(device->CreateTexture2D(&depthDesc, nullptr, depthMap.out()), S_OK);
  D3D10_DEPTH_STENCIL_VIEW_DESC depthViewDesc{};
  depthViewDesc.Format = DXGI_FORMAT_D32_FLOAT;
  depthViewDesc.ViewDimension = D3D10_DSV_DIMENSION_TEXTURE2DARRAY;
  depthViewDesc.Texture2DArray.ArraySize = 6;
  ComPtr<ID3D10DepthStencilView> depth;
  ASSERT_EQ(device->CreateDepthStencilView(depthMap.get(), &depthViewDesc, depth.out()), S_OK);

  // The walls' colours, sampled at their texel centres.
  D3D10_TEXTURE2D_DESC coloursDesc{};
  coloursDesc.Width = 6;
  coloursDesc.Height = 1;
  coloursDesc.MipLevels = 1;
  coloursDesc.ArraySize = 1;
  coloursDesc.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
  coloursDesc.SampleDesc.Count = 1;
  coloursDesc.Usage = D3D10_USAGE_IMMUTABLE;
  coloursDesc.BindFlags = D3D10_BIND_SHADER_RESOURCE;
  const D3D10_SUBRESOURCE_DATA coloursData = {wallColours, sizeof(wallColours), 0};
  ComPtr<ID3D10Texture2D> colours;
  ASSERT_EQ(device->CreateTexture2D(&coloursDesc, &coloursData, colours.out()), S_OK);
  ComPtr<ID3D10ShaderResourceView> coloursView;
  ASSERT_EQ(device->CreateShaderResourceView(colours.get(), nullptr, coloursView.out()), S_OK);

  std::vector<Vertex> vertices;
  std::vector<unsigned short> indices;
  BuildBox(&vertices, &indices);
  D3D10_BUFFER_DESC bufferDesc{};
  bufferDesc.Usage = D3D10_USAGE_IMMUTABLE;
  bufferDesc.ByteWidth = static_cast<UINT>(vertices.size() * sizeof(Vertex));
  bufferDesc.BindFlags = D3D10_BIND_VERTEX_BUFFER;
  D3D10_SUBRESOURCE_DATA data = {vertices.data(), 0, 0};
  ComPtr<ID3D10Buffer> vertexBuffer;
  ASSERT_EQ(device->CreateBuffer(&bufferDesc, &data, vertexBuffer.out()), S_OK);
  bufferDesc.ByteWidth = static_cast<UINT>(indices.size() * sizeof(unsigned short));
  bufferDesc.BindFlags = D3D10_BIND_INDEX_BUFFER;
  data.pSysMem = indices.data();
  ComPtr<ID3D10Buffer> indexBuffer;
  ASSERT_EQ(device->CreateBuffer(&bufferDesc, &data, indexBuffer.out()), S_OK);

  const EffectPass* pass = effect->Technique("RenderCubeMap_Inst")->Pass(0);
  ComPtr<ID3D10InputLayout> layout;
  ASSERT_EQ(device->CreateInputLayout(vertexLayout, 3, pass->InputSignature(),
                                      pass->InputSignatureSize(), layout.out()),
            S_OK);

  // The six face views of the scene, from the eye at (0, 1.5, 0).
  const Vector3 eye = {0.0f, 1.5f, 0.0f};
  const Vector3 faces[6][2] = {{{1, 1.5f, 0}, {0, 1, 0}},  {{-1, 1.5f, 0}, {0, 1, 0}},
                               {{0, 2.5f, 0}, {0, 0, -1}}, {{0, 0.5f, 0}, {0, 0, 1}},
                               {{0, 1.5f, 1}, {0, 1, 0}},  {{0, 1.5f, -1}, {0, 1, 0}}};
  std::vector<float> views;
  for (const auto& face : faces) {
    const Matrix view = LookAtLH(eye, face[0], face[1]);
    views.insert(views.end(), view.m, view.m + 16);
  }
  const Matrix identity = IdentityMatrix();
  const Matrix projection = PerspectiveFovLH(1.5707964f, 1.0f, 0.5f, 1000.0f);
  ASSERT_TRUE(effect->Variable("g_mViewCM")->SetMatrixArray(views.data(), 0, 6));
  ASSERT_TRUE(effect->Variable("mWorld")->SetMatrix(identity.m));
  ASSERT_TRUE(effect->Variable("mView")->SetMatrix(views.data()));
  ASSERT_TRUE(effect->Variable("mProj")->SetMatrix(projection.m));
  ASSERT_TRUE(effect->Variable("mWorldViewProj")
                  ->SetMatrix(Multiply(LookAtLH(eye, faces[0][0], faces[0][1]), projection).m));
  ASSERT_TRUE(effect->Variable("g_txDiffuse")->SetResource(coloursView.get()));

  const D3D10_VIEWPORT viewport = {0, 0, mapSize, mapSize, 0.0f, 1.0f};
  device->RSSetViewports(1, &viewport);
  const float green[4] = {0.0f, 1.0f, 0.0f, 0.0f};
  device->ClearRenderTargetView(target.get(), green);
  device->ClearDepthStencilView(depth.get(), D3D10_CLEAR_DEPTH, 1.0f, 0);
  ID3D10RenderTargetView* boundTarget = target.get();
  device->OMSetRenderTargets(1, &boundTarget, depth.get());
  device->IASetInputLayout(layout.get());
  const UINT stride = sizeof(Vertex);
  const UINT offset = 0;
  ID3D10Buffer* vertexBuffers = vertexBuffer.get();
  device->IASetVertexBuffers(0, 1, &vertexBuffers, &stride, &offset);
  device->IASetIndexBuffer(indexBuffer.get(), DXGI_FORMAT_R16_UINT, 0);
  device->IASetPrimitiveTopology(D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
  pass->Apply();
  pass->DrawIndexedInstanced(static_cast<UINT>(indices.size()), 6, 0, 0, 0);

  // The draw leaves the six-slice views bound as it found them.
  ComPtr<ID3D10RenderTargetView> afterTarget;
  ComPtr<ID3D10DepthStencilView> afterDepth;
  device->OMGetRenderTargets(1, afterTarget.out(), afterDepth.out());
  EXPECT_EQ(afterTarget.get(), target.get());
  EXPECT_EQ(afterDepth.get(), depth.get());
  device->OMSetRenderTargets(0, nullptr, nullptr);

  ComPtr<ID3D10ShaderResourceView> mipView;
  ASSERT_EQ(CreateMipGenerationView(device.get(), map.get(), &mipView), S_OK);
  device->GenerateMips(mipView.get());

  D3D10_TEXTURE2D_DESC stagingDesc = mapDesc;
  stagingDesc.Usage = D3D10_USAGE_STAGING;
  stagingDesc.BindFlags = 0;
  stagingDesc.CPUAccessFlags = D3D10_CPU_ACCESS_READ;
  stagingDesc.MiscFlags = 0;
  ComPtr<ID3D10Texture2D> staging;
  ASSERT_EQ(device->CreateTexture2D(&stagingDesc, nullptr, staging.out()), S_OK);
  device->CopyResource(staging.get(), map.get());

  for (UINT face = 0; face < 6; ++face) {
    for (UINT mip = 0; mip < mapMips; ++mip) {
      const UINT subresource = mip + face * mapMips;
      D3D10_MAPPED_TEXTURE2D mapped{};
      ASSERT_EQ(staging->Map(subresource, D3D10_MAP_READ, 0, &mapped), S_OK);
      const UINT size = mapSize >> mip;
      UINT unfilled = 0;
      UINT otherWall = 0;
      for (UINT y = 0; y < size; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(mapped.pData) + y * mapped.RowPitch;
        for (UINT x = 0; x < size; ++x) {
          const unsigned char* texel = row + x * 4;
          // Drawn texels are opaque; the clear colour's alpha is 0.
          if (texel[3] != 255) ++unfilled;
          // Each face sees the wall of its own direction: lit, but with that wall's channels.
          for (int channel = 0; channel < 3; ++channel) {
            if ((texel[channel] > 40) != (wallColours[face][channel] != 0)) {
              ++otherWall;
              break;
            }
          }
        }
      }
      staging->Unmap(subresource);
      EXPECT_EQ(unfilled, 0u) << "face " << face << ", mip " << mip;
      EXPECT_EQ(otherWall, 0u) << "face " << face << ", mip " << mip;
    }
  }
}

}  // namespace

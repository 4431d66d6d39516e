// The mesh class on a Direct3D 10 device under Wine: the four generated meshes load with their
// textures and draw, the scene's way (first mesh record, six instances) and through their own draw.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gputest/effect/effect.h"
#include "gputest/framework/framework_errors.h"
#include "gputest/framework/media_search.h"
#include "gputest/mesh/sdk_mesh.h"
#include "tests/support/current_directory.h"
#include "tests/support/d3d10_test_device.h"
#include "tests/support/temp_dir.h"

namespace {

const wchar_t* const sceneMeshes[] = {L"Scanner\\ScannerRoom.sdkmesh",
                                      L"Scanner\\ScannerMonitors.sdkmesh",
                                      L"Scanner\\ScannerArm.sdkmesh", L"misc\\ReflectSphere.sdkmesh"};

const D3D10_INPUT_ELEMENT_DESC vertexLayout[] = {
    {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 0, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"NORMAL", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, 12, D3D10_INPUT_PER_VERTEX_DATA, 0},
    {"TEXCOORD", 0, DXGI_FORMAT_R32G32_FLOAT, 0, 24, D3D10_INPUT_PER_VERTEX_DATA, 0},
};

// Shrinks the meshes' few units into the clip volume, seen along +z: the room's far wall, the
// monitors' screens and the arm and sphere all face the viewer.
const float worldViewProj[16] = {0.2f, 0, 0, 0, 0, 0.2f, 0, 0, 0, 0, 0.05f, 0, 0, -0.3f, 0.5f, 1};
const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class MeshOnDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(CreateTestDeviceAndCompiler(&device, &compiler));
    std::string failure;
    wchar_t path[MAX_PATH];
    ASSERT_EQ(FindMediaFile(path, L"ZORTA.fx"), S_OK);
    ASSERT_EQ(CreateEffectFromFile(path, "fx_4_0", D3D10_SHADER_ENABLE_STRICTNESS, device.get(),
                                   compiler, &effect, &failure),
              S_OK)
        << failure;

    D3D10_TEXTURE2D_DESC description = {};
    description.Width = description.Height = 64;
    description.MipLevels = description.ArraySize = 1;
    description.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    description.SampleDesc.Count = 1;
    description.Usage = D3D10_USAGE_DEFAULT;
    description.BindFlags = D3D10_BIND_RENDER_TARGET;
    ASSERT_EQ(device->CreateTexture2D(&description, nullptr, target.out()), S_OK);
    ASSERT_EQ(device->CreateRenderTargetView(target.get(), nullptr, targetView.out()), S_OK);
    description.Usage = D3D10_USAGE_STAGING;
    description.BindFlags = 0;
    description.CPUAccessFlags = D3D10_CPU_ACCESS_READ;
    ASSERT_EQ(device->CreateTexture2D(&description, nullptr, readBack.out()), S_OK);
  }

  // Clears the 64 x 64 target to black and binds it with a layout for technique's first pass.
  void StartDraw(const char* technique) {
    const EffectPass* pass = effect->Technique(technique)->Pass(0);
    ASSERT_EQ(device->CreateInputLayout(vertexLayout, 3, pass->InputSignature(),
                                        pass->InputSignatureSize(), layout.out()),
              S_OK);
    ID3D10RenderTargetView* views[] = {targetView.get()};
    device->OMSetRenderTargets(1, views, nullptr);
    const D3D10_VIEWPORT viewport = {0, 0, 64, 64, 0.0f, 1.0f};
    device->RSSetViewports(1, &viewport);
    const float black[4] = {0, 0, 0, 0};
    device->ClearRenderTargetView(targetView.get(), black);
    device->IASetInputLayout(layout.get());
    effect->Variable("mWorldViewProj")->SetMatrix(worldViewProj);
    effect->Variable("mWorld")->SetMatrix(identity);
    effect->Variable("mWorldView")->SetMatrix(worldViewProj);
    const float eye[4] = {0, 0, -10, 1};
    effect->Variable("vEye")->SetFloatVector(eye);
  }

  // The pixels of the target that are no longer black.
  int DrawnPixels() {
    device->CopyResource(readBack.get(), target.get());
    D3D10_MAPPED_TEXTURE2D mapped;
    if (FAILED(readBack->Map(0, D3D10_MAP_READ, 0, &mapped))) return -1;
    int drawn = 0;
    for (int y = 0; y < 64; ++y) {
      const auto* row = static_cast<const uint32_t*>(mapped.pData) + y * mapped.RowPitch / 4;
      for (int x = 0; x < 64; ++x) drawn += (row[x] & 0x00FFFFFF) != 0;
    }
    readBack->Unmap(0);
    return drawn;
  }

  // The scene's instanced draw: the first mesh record, subset by subset, six instances each.
  void DrawInstanced(const CDXUTSDKMesh& mesh, const char* technique) {
    ID3D10Buffer* vertices = mesh.VertexBuffer(0);
    const UINT stride = mesh.VertexStride(0);
    const UINT offset = 0;
    device->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
    device->IASetIndexBuffer(mesh.IndexBuffer(0), mesh.IndexFormat(0), 0);
    const EffectPass* pass = effect->Technique(technique)->Pass(0);
    for (UINT entry = 0; entry < mesh.SubsetCount(0); ++entry) {
      const MeshSubsetRecord& subset = mesh.Subset(0, entry);
      device->IASetPrimitiveTopology(TopologyOfPrimitiveType(subset.primitiveType));
      effect->Variable("g_txDiffuse")->SetResource(mesh.SubsetMaterial(0, entry).diffuseView.get());
      pass->Apply();
      pass->DrawIndexedInstanced(subset.indexCount, 6, subset.indexStart,
                                 static_cast<INT>(subset.vertexStart), 0);
    }
  }

  ComPtr<ID3D10Device> device;
  ShaderCompiler compiler;
  std::unique_ptr<Effect> effect;
  ComPtr<ID3D10Texture2D> target;
  ComPtr<ID3D10RenderTargetView> targetView;
  ComPtr<ID3D10Texture2D> readBack;
  ComPtr<ID3D10InputLayout> layout;
};

TEST_F(MeshOnDevice, TheSceneMeshesLoadWithTheirTexturesAndDraw) {
  for (const wchar_t* name : sceneMeshes) {
    SCOPED_TRACE(std::string(name, name + wcslen(name)));
    CDXUTSDKMesh mesh;
    ASSERT_EQ(mesh.Create(device.get(), name, true), S_OK);
    ASSERT_EQ(mesh.MeshCount(), 1u);
    EXPECT_NE(mesh.VertexBuffer(0), nullptr);
    EXPECT_NE(mesh.IndexBuffer(0), nullptr);
    EXPECT_EQ(mesh.IndexFormat(0), DXGI_FORMAT_R16_UINT);
    ASSERT_NE(mesh.AdjacencyIndexBuffer(0), nullptr);
    D3D10_BUFFER_DESC adjacency;
    mesh.AdjacencyIndexBuffer(0)->GetDesc(&adjacency);
    EXPECT_EQ(adjacency.ByteWidth, mesh.File().indexBuffers[0].data.size() * 2);
    for (UINT entry = 0; entry < mesh.SubsetCount(0); ++entry) {
      const CDXUTSDKMesh::Material& material = mesh.SubsetMaterial(0, entry);
      ASSERT_NE(material.diffuseView.get(), nullptr) << material.record.diffuseTexture;
      D3D10_SHADER_RESOURCE_VIEW_DESC view;
      material.diffuseView->GetDesc(&view);
      EXPECT_EQ(view.ViewDimension, D3D10_SRV_DIMENSION_TEXTURE2D);
    }

    ASSERT_NO_FATAL_FAILURE(StartDraw("RenderScene"));
    DrawInstanced(mesh, "RenderScene");
    EXPECT_GT(DrawnPixels(), 0) << "instanced draw";

    ASSERT_NO_FATAL_FAILURE(StartDraw("RenderEnvMappedScene"));
    mesh.Render(device.get(), effect->Technique("RenderEnvMappedScene_NoTexture"), nullptr,
                effect->Variable("vMaterialDiff"), effect->Variable("vMaterialSpec"));
    EXPECT_GT(DrawnPixels(), 0) << "the mesh's own draw";

    mesh.Destroy();
    EXPECT_EQ(mesh.MeshCount(), 0u);
  }
}

std::string ReadWhole(const wchar_t* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(MeshOnDevice, AMeshOrTextureThatCannotBeFoundOrReadIsMissingMediaAndLeavesTheMeshEmpty) {
  wchar_t armPath[MAX_PATH], texturePath[MAX_PATH];
  ASSERT_EQ(FindMediaFile(armPath, L"Scanner\\ScannerArm.sdkmesh"), S_OK);
  ASSERT_EQ(FindMediaFile(texturePath, L"Scanner\\arm_metal.dds"), S_OK);
  const std::string arm = ReadWhole(armPath);
  const std::string texture = ReadWhole(texturePath);
  ASSERT_FALSE(arm.empty());
  ASSERT_FALSE(texture.empty());

  TempDir dir;
  for (const char* folder : {"Whole", "Cut", "NoTexture", "BadTexture"}) {
    CreateDirectoryA(dir.File(folder).c_str(), nullptr);
  }
  dir.Write("Whole\\Arm.sdkmesh", arm);
  dir.Write("Whole\\arm_metal.dds", texture);
  dir.Write("Cut\\Arm.sdkmesh", arm.substr(0, arm.size() / 2));
  dir.Write("NoTexture\\Arm.sdkmesh", arm);
  dir.Write("BadTexture\\Arm.sdkmesh", arm);
  dir.Write("BadTexture\\arm_metal.dds", texture.substr(0, 64));
  const ScopedCurrentDirectory inDir(dir.path());

  struct Case {
    const wchar_t* name;
    HRESULT result;
  };
  const Case cases[] = {
      {L"Whole\\Missing.sdkmesh", frameworkMediaNotFound},
      {L"Cut\\Arm.sdkmesh", frameworkMediaNotFound},
      {L"NoTexture\\Arm.sdkmesh", frameworkMediaNotFound},
      {L"BadTexture\\Arm.sdkmesh", frameworkMediaNotFound},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
    CDXUTSDKMesh mesh;
    ASSERT_EQ(mesh.Create(device.get(), L"Scanner\\ScannerArm.sdkmesh", false), S_OK);
    EXPECT_EQ(mesh.Create(device.get(), c.name, false), c.result);
    EXPECT_EQ(mesh.MeshCount(), 0u);
    ASSERT_NO_FATAL_FAILURE(StartDraw("RenderEnvMappedScene"));
    mesh.Render(device.get(), effect->Technique("RenderEnvMappedScene_NoTexture"), nullptr,
                nullptr, nullptr);
    EXPECT_EQ(DrawnPixels(), 0);
  }

  // The same bytes with their texture beside them load and draw, without adjacency when not asked.
  CDXUTSDKMesh mesh;
  ASSERT_EQ(mesh.Create(device.get(), L"Whole\\Arm.sdkmesh", false), S_OK);
  ASSERT_EQ(mesh.MeshCount(), 1u);
  EXPECT_NE(mesh.SubsetMaterial(0, 0).diffuseView.get(), nullptr);
  EXPECT_EQ(mesh.AdjacencyIndexBuffer(0), nullptr);
  ASSERT_NO_FATAL_FAILURE(StartDraw("RenderEnvMappedScene"));
  mesh.Render(device.get(), effect->Technique("RenderEnvMappedScene_NoTexture"), nullptr,
              effect->Variable("vMaterialDiff"), effect->Variable("vMaterialSpec"));
  EXPECT_GT(DrawnPixels(), 0);
}

}  // namespace

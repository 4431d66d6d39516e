#pragma once
// The scene's mesh class: a mesh file's buffers and textures on the device, and its draw.
#include <d3d10.h>

#include <string>
#include <vector>

#include "common/platform/com_holders.h"
#include "gputest/effect/effect.h"
#include "gputest/mesh/mesh_file.h"
#include "gputest/mesh/mesh_geometry.h"

// The device topology of a stored primitive type; an unknown type draws as a triangle list.
D3D10_PRIMITIVE_TOPOLOGY TopologyOfPrimitiveType(uint32_t primitiveType);
// The index format of a stored index type; anything but 32-bit reads as 16-bit.
DXGI_FORMAT FormatOfIndexType(uint32_t indexType);

class CDXUTSDKMesh {
 public:
  struct Material {
    MeshMaterialRecord record;
    ComPtr<ID3D10ShaderResourceView> diffuseView;  // null without a texture or when it failed
  };

  CDXUTSDKMesh() = default;
  CDXUTSDKMesh(const CDXUTSDKMesh&) = delete;
  CDXUTSDKMesh& operator=(const CDXUTSDKMesh&) = delete;

  // Finds the file name through the media search, reads it and creates its buffers and the
  // textures of its materials (looked for beside the file) on device; with adjacency also one
  // adjacency index buffer per mesh. Any failure leaves the mesh empty, so that it draws nothing,
  // and is told to the debugger ("Failed to load mesh: ", the name, ": " and the reason, or the
  // media search's own messages). A mesh file or texture that cannot be found or read, and a file
  // in which drawing, the way the caller draws it, finds no geometry, give the framework's
  // media-not-found result; the device's failures and a texture reader that cannot be loaded
  // (E_FAIL) give their own.
  HRESULT Create(ID3D10Device* device, const wchar_t* name, bool adjacency,
                 MeshDrawing drawing = MeshDrawing::throughFrames);
  // Releases the device objects and forgets the file.
  void Destroy();

  // Draws every frame's mesh, in stored order: for each pass of technique each subset of the mesh
  // with its stored index range, after setting the variables given (any may be null) from the
  // subset's material: its texture view, diffuse colour and specular colour.
  void Render(ID3D10Device* device, const EffectTechnique* technique, EffectVariable* diffuseTexture,
              EffectVariable* diffuseColour, EffectVariable* specularColour) const;

  const MeshFile& File() const { return file_; }
  UINT MeshCount() const { return static_cast<UINT>(file_.meshes.size()); }
  // What mesh (below MeshCount) draws from. Buffers are null for a mesh without vertices or
  // indices, and the adjacency buffer without adjacency.
  ID3D10Buffer* VertexBuffer(UINT mesh) const;
  UINT VertexStride(UINT mesh) const;
  ID3D10Buffer* IndexBuffer(UINT mesh) const;
  DXGI_FORMAT IndexFormat(UINT mesh) const;
  ID3D10Buffer* AdjacencyIndexBuffer(UINT mesh) const;
  UINT SubsetCount(UINT mesh) const { return file_.meshes[mesh].subsetCount; }
  const MeshSubsetRecord& Subset(UINT mesh, UINT entry) const {
    return file_.Subset(file_.meshes[mesh], entry);
  }
  const Material& SubsetMaterial(UINT mesh, UINT entry) const {
    return materials_[Subset(mesh, entry).material];
  }

 private:
  HRESULT CreateFromPath(ID3D10Device* device, const std::wstring& path, bool adjacency,
                         MeshDrawing drawing, std::string* failure);
  HRESULT CreateTextures(ID3D10Device* device, const std::wstring& folder, std::string* failure);
  void RenderMesh(ID3D10Device* device, UINT mesh, const EffectTechnique& technique,
                  EffectVariable* diffuseTexture, EffectVariable* diffuseColour,
                  EffectVariable* specularColour) const;

  MeshFile file_;
  std::vector<ComPtr<ID3D10Buffer>> vertexBuffers_;
  std::vector<ComPtr<ID3D10Buffer>> indexBuffers_;
  std::vector<ComPtr<ID3D10Buffer>> adjacencyBuffers_;  // one per mesh, when asked for
  std::vector<Material> materials_;
};

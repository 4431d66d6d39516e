#include "gputest/mesh/sdk_mesh.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "gputest/framework/framework_errors.h"
#include "gputest/framework/media_search.h"
#include "gputest/mesh/adjacency.h"
#include "gputest/mesh/texture_file.h"

namespace {

void TellDebugger(const std::wstring& name, const std::string& failure) {
  const std::wstring text =
      L"Failed to load mesh: " + name + L": " + std::wstring(failure.begin(), failure.end()) + L"\n";
  OutputDebugStringW(text.c_str());
}

HRESULT CreateImmutableBuffer(ID3D10Device* device, UINT bindFlags, const void* data, size_t size,
                              ComPtr<ID3D10Buffer>* buffer) {
  buffer->reset();
  // The device makes no buffer of no bytes; such a mesh simply draws nothing.
  if (size == 0) return S_OK;
  D3D10_BUFFER_DESC description = {};
  description.ByteWidth = static_cast<UINT>(size);
  description.Usage = D3D10_USAGE_IMMUTABLE;
  description.BindFlags = bindFlags;
  D3D10_SUBRESOURCE_DATA initial = {};
  initial.pSysMem = data;
  return device->CreateBuffer(&description, &initial, buffer->out());
}

// Adjacency indices in the width of the mesh's own index buffer; they never exceed its indices.
std::vector<unsigned char> PackedIndices(const std::vector<uint32_t>& indices, uint32_t indexType) {
  std::vector<unsigned char> packed;
  if (indexType == meshIndex32) {
    packed.resize(indices.size() * 4);
    std::memcpy(packed.data(), indices.data(), packed.size());
    return packed;
  }
  packed.resize(indices.size() * 2);
  for (size_t i = 0; i < indices.size(); ++i) {
    const uint16_t index = static_cast<uint16_t>(indices[i]);
    std::memcpy(packed.data() + i * 2, &index, 2);
  }
  return packed;
}

}  // namespace

D3D10_PRIMITIVE_TOPOLOGY TopologyOfPrimitiveType(uint32_t primitiveType) {
  switch (primitiveType) {
    case meshTriangleStrip: return D3D10_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP;
    case meshLineList: return D3D10_PRIMITIVE_TOPOLOGY_LINELIST;
    case meshLineStrip: return D3D10_PRIMITIVE_TOPOLOGY_LINESTRIP;
    case meshPointList: return D3D10_PRIMITIVE_TOPOLOGY_POINTLIST;
    case meshTriangleListAdjacency: return D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ;
    case meshTriangleStripAdjacency: return D3D10_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ;
    case meshLineListAdjacency: return D3D10_PRIMITIVE_TOPOLOGY_LINELIST_ADJ;
    case meshLineStripAdjacency: return D3D10_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ;
    default: return D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST;
  }
}

DXGI_FORMAT FormatOfIndexType(uint32_t indexType) {
  return indexType == meshIndex32 ? DXGI_FORMAT_R32_UINT : DXGI_FORMAT_R16_UINT;
}

HRESULT CDXUTSDKMesh::Create(ID3D10Device* device, const wchar_t* name, bool adjacency,
                             MeshDrawing drawing) {
  Destroy();
  wchar_t path[MAX_PATH];
  const HRESULT found = FindMediaFile(path, name);
  if (FAILED(found)) return found;  // the media search has told the debugger
  std::string failure;
  const HRESULT hr = CreateFromPath(device, path, adjacency, drawing, &failure);
  if (FAILED(hr)) {
    Destroy();
    TellDebugger(name, failure);
  }
  return hr;
}

HRESULT CDXUTSDKMesh::CreateFromPath(ID3D10Device* device, const std::wstring& path,
                                     bool adjacency, MeshDrawing drawing, std::string* failure) {
  // A file that cannot be opened, read or understood is missing media, as one not found is.
  std::ifstream in(path.c_str(), std::ios::binary);
  if (!in) {
    *failure = "the file cannot be opened";
    return frameworkMediaNotFound;
  }
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  if (in.bad()) {
    *failure = "the file cannot be read";
    return frameworkMediaNotFound;
  }
  if (!ReadMeshFile(bytes.data(), bytes.size(), &file_, failure)) return frameworkMediaNotFound;
  // A file with nothing to draw is as good as none.
  *failure = MissingGeometry(file_, drawing);
  if (!failure->empty()) return frameworkMediaNotFound;

  for (const MeshVertexBuffer& vertices : file_.vertexBuffers) {
    vertexBuffers_.emplace_back();
    const HRESULT hr = CreateImmutableBuffer(device, D3D10_BIND_VERTEX_BUFFER, vertices.data.data(),
                                             vertices.data.size(), &vertexBuffers_.back());
    if (FAILED(hr)) {
      *failure = "a vertex buffer cannot be created";
      return hr;
    }
  }
  for (const MeshIndexBuffer& indices : file_.indexBuffers) {
    indexBuffers_.emplace_back();
    const HRESULT hr = CreateImmutableBuffer(device, D3D10_BIND_INDEX_BUFFER, indices.data.data(),
                                             indices.data.size(), &indexBuffers_.back());
    if (FAILED(hr)) {
      *failure = "an index buffer cannot be created";
      return hr;
    }
  }
  if (adjacency) {
    for (const MeshRecord& mesh : file_.meshes) {
      const uint32_t indexType = file_.indexBuffers[mesh.indexBuffer].record.indexType;
      const std::vector<unsigned char> packed =
          PackedIndices(BuildAdjacencyIndices(file_, mesh), indexType);
      adjacencyBuffers_.emplace_back();
      const HRESULT hr = CreateImmutableBuffer(device, D3D10_BIND_INDEX_BUFFER, packed.data(),
                                               packed.size(), &adjacencyBuffers_.back());
      if (FAILED(hr)) {
        *failure = "an adjacency index buffer cannot be created";
        return hr;
      }
    }
  }
  const size_t slash = path.find_last_of(L"\\/");
  return CreateTextures(device, slash == std::wstring::npos ? L"" : path.substr(0, slash + 1),
                        failure);
}

HRESULT CDXUTSDKMesh::CreateTextures(ID3D10Device* device, const std::wstring& folder,
                                     std::string* failure) {
  TextureFileReader reader;
  std::string readerFailure;
  bool readerTried = false;
  for (const MeshMaterialRecord& record : file_.materials) {
    materials_.push_back({record, {}});
    const std::string texture = record.diffuseTexture;
    if (texture.empty()) continue;
    if (!readerTried) {
      readerTried = true;
      LoadTextureFileReader(&reader, &readerFailure);
    }
    const std::wstring path = folder + std::wstring(texture.begin(), texture.end());
    HRESULT readFailure = S_OK;
    const HRESULT hr = CreateTextureViewFromFile(reader, device, path.c_str(),
                                                 &materials_.back().diffuseView, &readFailure);
    if (FAILED(hr)) {
      char code[16];
      std::snprintf(code, sizeof(code), "0x%08lX",
                    static_cast<unsigned long>(FAILED(readFailure) ? readFailure : hr));
      const std::string why = !reader.loaded()       ? readerFailure
                              : FAILED(readFailure) ? std::string("cannot be read, error ") + code
                                                    : std::string("no view, error ") + code;
      *failure = "texture " + texture + ": " + why;
      return hr;
    }
  }
  return S_OK;
}

void CDXUTSDKMesh::Destroy() {
  file_ = MeshFile();
  vertexBuffers_.clear();
  indexBuffers_.clear();
  adjacencyBuffers_.clear();
  materials_.clear();
}

ID3D10Buffer* CDXUTSDKMesh::VertexBuffer(UINT mesh) const {
  return vertexBuffers_[file_.meshes[mesh].vertexBuffer].get();
}

UINT CDXUTSDKMesh::VertexStride(UINT mesh) const {
  return file_.vertexBuffers[file_.meshes[mesh].vertexBuffer].record.stride;
}

ID3D10Buffer* CDXUTSDKMesh::IndexBuffer(UINT mesh) const {
  return indexBuffers_[file_.meshes[mesh].indexBuffer].get();
}

DXGI_FORMAT CDXUTSDKMesh::IndexFormat(UINT mesh) const {
  return FormatOfIndexType(file_.indexBuffers[file_.meshes[mesh].indexBuffer].record.indexType);
}

ID3D10Buffer* CDXUTSDKMesh::AdjacencyIndexBuffer(UINT mesh) const {
  return mesh < adjacencyBuffers_.size() ? adjacencyBuffers_[mesh].get() : nullptr;
}

void CDXUTSDKMesh::Render(ID3D10Device* device, const EffectTechnique* technique,
                          EffectVariable* diffuseTexture, EffectVariable* diffuseColour,
                          EffectVariable* specularColour) const {
  if (technique == nullptr) return;
  for (const MeshFrameRecord& frame : file_.frames) {
    if (frame.mesh == meshNoIndex) continue;
    RenderMesh(device, frame.mesh, *technique, diffuseTexture, diffuseColour, specularColour);
  }
}

void CDXUTSDKMesh::RenderMesh(ID3D10Device* device, UINT mesh, const EffectTechnique& technique,
                              EffectVariable* diffuseTexture, EffectVariable* diffuseColour,
                              EffectVariable* specularColour) const {
  ID3D10Buffer* vertices = VertexBuffer(mesh);
  ID3D10Buffer* indices = IndexBuffer(mesh);
  if (vertices == nullptr || indices == nullptr) return;
  const UINT stride = VertexStride(mesh);
  const UINT offset = 0;
  device->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
  device->IASetIndexBuffer(indices, IndexFormat(mesh), 0);
  for (UINT p = 0; p < technique.PassCount(); ++p) {
    const EffectPass* pass = technique.Pass(p);
    for (UINT entry = 0; entry < SubsetCount(mesh); ++entry) {
      const MeshSubsetRecord& subset = Subset(mesh, entry);
      const Material& material = materials_[subset.material];
      device->IASetPrimitiveTopology(TopologyOfPrimitiveType(subset.primitiveType));
      if (diffuseTexture != nullptr) diffuseTexture->SetResource(material.diffuseView.get());
      if (diffuseColour != nullptr) diffuseColour->SetFloatVector(material.record.diffuse);
      if (specularColour != nullptr) specularColour->SetFloatVector(material.record.specular);
      pass->Apply();
      device->DrawIndexed(subset.indexCount, subset.indexStart,
                          static_cast<INT>(subset.vertexStart));
    }
  }
}

#pragma once
// The test's mesh files (layout: gputest/media/mesh_file_layout.md), read from their bytes. The
// reader trusts nothing in the file: every count, offset, size and reference is checked against
// the file's length and the other tables before anything is kept.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t meshNoIndex = 0xFFFFFFFF;

enum MeshIndexType : uint32_t { meshIndex16 = 0, meshIndex32 = 1 };

enum MeshPrimitiveType : uint32_t {
  meshTriangleList = 0,
  meshTriangleStrip = 1,
  meshLineList = 2,
  meshLineStrip = 3,
  meshPointList = 4,
  meshTriangleListAdjacency = 5,
  meshTriangleStripAdjacency = 6,
  meshLineListAdjacency = 7,
  meshLineStripAdjacency = 8,
};

// The records as they lie in the file.
struct MeshFileHeader {
  char magic[4];
  uint32_t version;
  struct Table {
    uint32_t count;
    uint32_t offset;
  } vertexBuffers, indexBuffers, meshes, subsets, frames, materials, subsetList;
};
static_assert(sizeof(MeshFileHeader) == 64, "header layout");

struct MeshVertexBufferRecord {
  uint32_t vertexCount;
  uint32_t stride;
  uint32_t dataOffset;
  uint32_t dataSize;
};
static_assert(sizeof(MeshVertexBufferRecord) == 16, "vertex buffer layout");

struct MeshIndexBufferRecord {
  uint32_t indexCount;
  uint32_t indexType;
  uint32_t dataOffset;
  uint32_t dataSize;
};
static_assert(sizeof(MeshIndexBufferRecord) == 16, "index buffer layout");

struct MeshRecord {
  char name[32];
  uint32_t vertexBuffer;
  uint32_t indexBuffer;
  uint32_t subsetCount;
  uint32_t firstSubsetEntry;
};
static_assert(sizeof(MeshRecord) == 48, "mesh layout");

struct MeshSubsetRecord {
  uint32_t material;
  uint32_t primitiveType;
  uint32_t indexStart;
  uint32_t indexCount;
  uint32_t vertexStart;
  uint32_t vertexCount;
};
static_assert(sizeof(MeshSubsetRecord) == 24, "subset layout");

struct MeshFrameRecord {
  char name[32];
  uint32_t mesh;
  uint32_t parent;
};
static_assert(sizeof(MeshFrameRecord) == 40, "frame layout");

struct MeshMaterialRecord {
  char name[32];
  char diffuseTexture[64];
  float diffuse[4];
  float specular[4];
};
static_assert(sizeof(MeshMaterialRecord) == 128, "material layout");

struct MeshVertexBuffer {
  MeshVertexBufferRecord record;
  std::vector<unsigned char> data;
};

struct MeshIndexBuffer {
  MeshIndexBufferRecord record;
  std::vector<unsigned char> data;

  // The index at position, widened.
  uint32_t Index(uint32_t position) const;
};

struct MeshFile {
  std::vector<MeshVertexBuffer> vertexBuffers;
  std::vector<MeshIndexBuffer> indexBuffers;
  std::vector<MeshRecord> meshes;
  std::vector<MeshSubsetRecord> subsets;
  std::vector<MeshFrameRecord> frames;
  std::vector<MeshMaterialRecord> materials;
  std::vector<uint32_t> subsetList;

  // The subset that entry of mesh's list names; entry must be below the mesh's subset count.
  const MeshSubsetRecord& Subset(const MeshRecord& mesh, uint32_t entry) const {
    return subsets[subsetList[mesh.firstSubsetEntry + entry]];
  }
};

// Reads the file's bytes into mesh. On a file that breaks the layout in any way returns false,
// with failure naming the first fault found, and leaves mesh empty.
bool ReadMeshFile(const unsigned char* bytes, size_t size, MeshFile* mesh, std::string* failure);

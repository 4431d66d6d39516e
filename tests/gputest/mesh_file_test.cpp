// The mesh file reader and the adjacency indices, on the generated media and on broken files.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gputest/framework/media_search.h"
#include "gputest/mesh/adjacency.h"
#include "gputest/mesh/mesh_file.h"
#include "gputest/mesh/mesh_geometry.h"
#include "gputest/mesh/sdk_mesh.h"

namespace {

std::vector<unsigned char> ReadMedia(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  EXPECT_EQ(FindMediaFile(path, name), S_OK) << "missing generated media";
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Read(const std::vector<unsigned char>& bytes, MeshFile* file, std::string* failure) {
  return ReadMeshFile(bytes.data(), bytes.size(), file, failure);
}

uint32_t GetU32(const std::vector<unsigned char>& bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

void PutU32(std::vector<unsigned char>* bytes, size_t at, uint32_t value) {
  std::memcpy(bytes->data() + at, &value, 4);
}

// The triangles whose corners do not run clockwise as seen from the side their normals face, the
// side the scene's back-face culling keeps.
size_t BackFacingTriangles(const MeshFile& file) {
  const MeshVertexBuffer& vertices = file.vertexBuffers[0];
  const MeshIndexBuffer& indices = file.indexBuffers[0];
  auto at = [&](uint32_t vertex, size_t field, int axis) {
    float value;
    std::memcpy(&value, vertices.data.data() + vertex * 32 + field + axis * 4, 4);
    return value;
  };
  size_t wrong = 0;
  for (const MeshSubsetRecord& subset : file.subsets) {
    for (uint32_t t = 0; t < subset.indexCount / 3; ++t) {
      uint32_t v[3];
      for (int k = 0; k < 3; ++k) v[k] = subset.vertexStart + indices.Index(subset.indexStart + 3 * t + k);
      float e1[3], e2[3], normal[3];
      for (int a = 0; a < 3; ++a) {
        e1[a] = at(v[1], 0, a) - at(v[0], 0, a);
        e2[a] = at(v[2], 0, a) - at(v[0], 0, a);
        normal[a] = at(v[0], 12, a) + at(v[1], 12, a) + at(v[2], 12, a);
      }
      const float facing[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                               e1[0] * e2[1] - e1[1] * e2[0]};
      wrong += facing[0] * normal[0] + facing[1] * normal[1] + facing[2] * normal[2] <= 0;
    }
  }
  return wrong;
}

TEST(MeshFile, TheGeneratedMeshesReadAsGenerated) {
  struct Material {
    const char* name;
    const char* texture;
  };
  struct Case {
    const wchar_t* file;
    const char* mesh;
    std::vector<Material> materials;  // one subset each, in this order
  };
  const Case cases[] = {
      {L"Scanner\\ScannerRoom.sdkmesh", "ScannerRoom",
       {{"Walls", "room_wall.dds"}, {"Floor", "room_floor.dds"}}},
      {L"Scanner\\ScannerMonitors.sdkmesh", "ScannerMonitors",
       {{"MonitorCase", "monitor_case.dds"}, {"MonitorScreen", "monitor_screen.dds"}}},
      {L"Scanner\\ScannerArm.sdkmesh", "ScannerArm", {{"ArmMetal", "arm_metal.dds"}}},
      {L"misc\\ReflectSphere.sdkmesh", "ReflectSphere", {{"Mirror", "reflect_sphere.dds"}}},
  };
  uint64_t triangles = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mesh);
    MeshFile file;
    std::string failure;
    ASSERT_TRUE(Read(ReadMedia(c.file), &file, &failure)) << failure;
    ASSERT_EQ(file.meshes.size(), 1u);
    ASSERT_EQ(file.vertexBuffers.size(), 1u);
    ASSERT_EQ(file.indexBuffers.size(), 1u);
    const MeshRecord& mesh = file.meshes[0];
    EXPECT_STREQ(mesh.name, c.mesh);
    EXPECT_EQ(file.vertexBuffers[0].record.stride, 32u);
    EXPECT_EQ(file.indexBuffers[0].record.indexType, meshIndex16);

    // A root frame without a mesh and the mesh's frame below it.
    ASSERT_EQ(file.frames.size(), 2u);
    EXPECT_EQ(file.frames[0].mesh, meshNoIndex);
    EXPECT_EQ(file.frames[0].parent, meshNoIndex);
    EXPECT_EQ(file.frames[1].mesh, 0u);
    EXPECT_EQ(file.frames[1].parent, 0u);

    ASSERT_EQ(file.materials.size(), c.materials.size());
    ASSERT_EQ(mesh.subsetCount, c.materials.size());
    // The subsets follow each other through the index and the vertex buffer, as triangle lists.
    uint32_t indexEnd = 0;
    uint32_t vertexEnd = 0;
    for (uint32_t entry = 0; entry < mesh.subsetCount; ++entry) {
      const MeshSubsetRecord& subset = file.Subset(mesh, entry);
      EXPECT_EQ(subset.material, entry);
      EXPECT_STREQ(file.materials[entry].name, c.materials[entry].name);
      EXPECT_STREQ(file.materials[entry].diffuseTexture, c.materials[entry].texture);
      EXPECT_EQ(subset.primitiveType, meshTriangleList);
      EXPECT_EQ(subset.indexStart, indexEnd);
      EXPECT_EQ(subset.vertexStart, vertexEnd);
      EXPECT_GT(subset.indexCount, 0u);
      EXPECT_EQ(subset.indexCount % 3, 0u);
      indexEnd += subset.indexCount;
      vertexEnd += subset.vertexCount;
    }
    EXPECT_EQ(indexEnd, file.indexBuffers[0].record.indexCount);
    EXPECT_EQ(BackFacingTriangles(file), 0u);
    EXPECT_EQ(vertexEnd, file.vertexBuffers[0].record.vertexCount);
    triangles += indexEnd / 3;
  }
  // Every frame draws each mesh 6 x 49 times on a software rasteriser.
  EXPECT_LT(triangles, 4000u);
}

// A closed surface: every edge of the sphere, its seam and poles included, meets a neighbour.
TEST(MeshFile, AdjacencyOfTheSphereFindsANeighbourAcrossEveryEdge) {
  MeshFile file;
  std::string failure;
  ASSERT_TRUE(Read(ReadMedia(L"misc\\ReflectSphere.sdkmesh"), &file, &failure)) << failure;
  const MeshIndexBuffer& indices = file.indexBuffers[0];
  const std::vector<uint32_t> adjacency = BuildAdjacencyIndices(file, file.meshes[0]);
  ASSERT_EQ(adjacency.size(), indices.record.indexCount * 2u);
  for (uint32_t t = 0; t < indices.record.indexCount / 3; ++t) {
    for (uint32_t k = 0; k < 3; ++k) {
      ASSERT_EQ(adjacency[6 * t + 2 * k], indices.Index(3 * t + k));
      ASSERT_NE(adjacency[6 * t + 2 * k + 1], indices.Index(3 * t + (k + 2) % 3))
          << "triangle " << t << " edge " << k;
    }
  }
}

// A quad of two triangles whose shared edge has its corners twice (split texture coordinates),
// and a subset that is not a triangle list.
TEST(MeshFile, AdjacencyJoinsCornersAtTheSamePositionAndFallsBackToTheOwnCorner) {
  MeshFile file;
  const float positions[6][3] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {1, 0, 0}};
  MeshVertexBuffer vertices{{6, 32, 0, 6 * 32}, std::vector<unsigned char>(6 * 32, 0)};
  for (int v = 0; v < 6; ++v) std::memcpy(vertices.data.data() + v * 32, positions[v], 12);
  file.vertexBuffers.push_back(vertices);
  const uint16_t indexValues[9] = {0, 1, 2, 3, 4, 5, 0, 1, 2};
  MeshIndexBuffer indices{{9, meshIndex16, 0, 18}, std::vector<unsigned char>(18)};
  std::memcpy(indices.data.data(), indexValues, 18);
  file.indexBuffers.push_back(indices);
  file.subsets = {{0, meshTriangleList, 0, 6, 0, 6}, {0, meshLineList, 6, 3, 0, 6}};
  file.subsetList = {0, 1};
  file.meshes.push_back({"quad", 0, 0, 2, 0});

  const std::vector<uint32_t> expected = {
      0, 2, 1, 0, 2, 5,  // edge 2-0 meets the second triangle, whose far corner is 5
      3, 1, 4, 3, 5, 4,  // edge 3-4 meets the first, whose far corner is 1
      0, 0, 0, 0, 0, 0,  // the line list's slots
  };
  EXPECT_EQ(BuildAdjacencyIndices(file, file.meshes[0]), expected);
}

TEST(MeshFile, BrokenFilesFailCleanlyWithTheirFault) {
  const std::vector<unsigned char> good = ReadMedia(L"Scanner\\ScannerRoom.sdkmesh");
  ASSERT_GT(good.size(), 64u);
  const uint32_t vertexTable = GetU32(good, 12);
  const uint32_t indexTable = GetU32(good, 20);
  const uint32_t meshTable = GetU32(good, 28);
  const uint32_t subsetTable = GetU32(good, 36);
  const uint32_t frameTable = GetU32(good, 44);
  const uint32_t materialTable = GetU32(good, 52);
  const uint32_t subsetList = GetU32(good, 60);
  const uint32_t secondSubset = subsetTable + 24;
  const uint32_t indexData = GetU32(good, indexTable + 8);

  struct Case {
    const char* shows;
    size_t at;  // where value is written; 0 with value 0 means: cut the file to size
    uint32_t value;
    size_t size;
    const char* failureHas;
  };
  const size_t whole = good.size();
  const Case cases[] = {
      {"an empty file", 0, 0, 0, "shorter than its header"},
      {"a file cut inside the header", 0, 0, 63, "shorter than its header"},
      {"a file cut inside the index data", 0, 0, whole - 3, "past the end of the file"},
      {"another format", 0, 0x4853454D, whole, "not a mesh file"},
      {"a later version", 4, 2, whole, "version"},
      {"a table offset past the end", 36, 0xFFFFFFF0, whole, "subset table lies past the end"},
      {"a table count past the end", 48, 0x08000000, whole, "material table lies past the end"},
      {"a count whose size wraps 32 bits", 8, 0x10000001, whole,
       "vertex buffer table lies past the end"},
      {"vertex data past the end", vertexTable + 8, 0xFFFFFFFC, whole,
       "vertex buffer lies past the end"},
      {"vertex data size not its vertices", vertexTable + 12, 32, whole, "does not match"},
      {"a stride of zero", vertexTable + 4, 0, whole, "stride"},
      {"vertices whose size wraps 32 bits", vertexTable, 0x08000001, whole, "does not match"},
      {"an unknown index type", indexTable + 4, 7, whole, "index type"},
      {"index data size not its indices", indexTable + 12, 2, whole, "does not match"},
      {"index data past the end", indexTable + 8, static_cast<uint32_t>(whole - 2), whole,
       "index buffer lies past the end"},
      {"a mesh naming a missing vertex buffer", meshTable + 32, 1, whole, "buffer the file lacks"},
      {"a mesh naming a missing index buffer", meshTable + 36, 5, whole, "buffer the file lacks"},
      {"a mesh's subsets past the subset list", meshTable + 40, 3, whole, "subset list"},
      {"a mesh's first entry wrapping", meshTable + 44, 0xFFFFFFFF, whole, "subset list"},
      {"a subset list entry past the subsets", subsetList + 4, 2, whole, "subset the file lacks"},
      {"a subset naming a missing material", secondSubset, 2, whole, "material the file lacks"},
      {"a subset's indices past its buffer", secondSubset + 12, 1000, whole, "index buffer"},
      {"a subset's index range wrapping", secondSubset + 8, 0xFFFFFFFF, whole, "index buffer"},
      {"a subset's vertices past its buffer", secondSubset + 16, 300, whole, "vertex buffer"},
      {"a subset's vertex range wrapping", secondSubset + 20, 0xFFFFFFFF, whole, "vertex buffer"},
      {"an index outside its subset", indexData, 0xFFFF, whole, "outside the subset"},
      {"a frame naming a missing mesh", frameTable + 32, 1, whole, "mesh the file lacks"},
      {"a frame that is its own parent", frameTable + 40 + 36, 1, whole, "parent"},
      {"a mesh name with a control character", meshTable, 0x01414141, whole, "no clean name"},
      {"a texture name reaching out", materialTable + 32, 0x785C2E2E /* "..\x" */, whole,
       "outside the mesh's folder"},
      {"a texture name from the root", materialTable + 32, 0x0078785C /* "\xx" */, whole,
       "outside the mesh's folder"},
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bytes(good.begin(), good.begin() + std::min(c.size, whole));
    if (c.at != 0 || c.value != 0) PutU32(&bytes, c.at, c.value);
    MeshFile file;
    file.frames.resize(1);  // a failed read leaves nothing behind
    std::string failure;
    EXPECT_FALSE(Read(bytes, &file, &failure)) << c.shows;
    EXPECT_NE(failure.find(c.failureHas), std::string::npos) << c.shows << ": " << failure;
    EXPECT_TRUE(file.meshes.empty() && file.frames.empty() && file.vertexBuffers.empty())
        << c.shows;
  }

  // A name that fills its field without an end.
  std::vector<unsigned char> endless = good;
  std::memset(endless.data() + meshTable, 'A', 32);
  MeshFile file;
  std::string failure;
  EXPECT_FALSE(Read(endless, &file, &failure));
  EXPECT_NE(failure.find("no clean name"), std::string::npos) << failure;

  // Every cut short of the end of the last data fails, and none reads past what it was given.
  const std::vector<unsigned char> arm = ReadMedia(L"Scanner\\ScannerArm.sdkmesh");
  const size_t armIndexTable = GetU32(arm, 20);
  const size_t dataEnd = GetU32(arm, armIndexTable + 8) + size_t{GetU32(arm, armIndexTable + 12)};
  ASSERT_LE(dataEnd, arm.size());
  for (size_t size = 0; size < dataEnd; ++size) {
    std::vector<unsigned char> cut(arm.begin(), arm.begin() + size);
    MeshFile file;
    std::string failure;
    ASSERT_FALSE(ReadMeshFile(cut.data(), cut.size(), &file, &failure)) << size;
  }
}

// Changes to a whole file that the drawing rule judges, for either way of drawing.
void Unchanged(MeshFile*) {}
void FirstMeshWithoutSubsets(MeshFile* file) { file->meshes[0].subsetCount = 0; }
void SubsetsWithoutIndices(MeshFile* file) {
  for (MeshSubsetRecord& subset : file->subsets) subset.indexCount = 0;
}
void WithoutFrames(MeshFile* file) { file->frames.clear(); }
// A copy of the first mesh behind it, the first left without subsets.
void WholeMeshBehindAnEmptyOne(MeshFile* file) {
  file->meshes.push_back(file->meshes[0]);
  FirstMeshWithoutSubsets(file);
}

TEST(MeshFile, AFileThatReadsButHoldsNothingToDrawIsNamedForWhatItLacks) {
  MeshFile room;
  std::string failure;
  ASSERT_TRUE(Read(ReadMedia(L"Scanner\\ScannerRoom.sdkmesh"), &room, &failure)) << failure;
  ASSERT_EQ(room.meshes.size(), 1u);
  ASSERT_EQ(room.frames.size(), 2u);  // "Root" without a mesh, then the room's own frame
  ASSERT_EQ(room.meshes[0].subsetCount, 2u);

  constexpr MeshDrawing first = MeshDrawing::firstRecord;
  constexpr MeshDrawing frames = MeshDrawing::throughFrames;
  struct Case {
    const char* shows;
    MeshDrawing drawing;
    void (*change)(MeshFile* file);
    const char* missing;
  };
  const Case cases[] = {
      {"the whole room, by its first mesh", first, Unchanged, ""},
      {"the whole room, through its frames", frames, Unchanged, ""},
      {"no mesh at all", first, [](MeshFile* f) { f->meshes.clear(); }, "the file holds no mesh"},
      {"no mesh at all, through frames", frames,
       [](MeshFile* f) {
         f->meshes.clear();
         WithoutFrames(f);
       },
       "the file holds no mesh"},
      {"a first mesh without vertices", first,
       [](MeshFile* f) { f->vertexBuffers[0].record.vertexCount = 0; },
       "its first mesh has no vertices"},
      {"a first mesh without indices", first,
       [](MeshFile* f) { f->indexBuffers[0].record.indexCount = 0; },
       "its first mesh has no indices"},
      {"a first mesh without subsets", first, FirstMeshWithoutSubsets,
       "its first mesh has no subsets"},
      {"subsets without indices", first, SubsetsWithoutIndices,
       "its first mesh has no subset with indices"},
      {"one subset with indices is enough", first,
       [](MeshFile* f) { f->subsets[0].indexCount = 0; }, ""},
      {"a whole second mesh behind an empty first one, which the instanced draw takes", first,
       WholeMeshBehindAnEmptyOne, "its first mesh has no subsets"},
      {"no frames, for the instanced draw", first, WithoutFrames, ""},
      {"no frames", frames, WithoutFrames, "the file holds no frame"},
      {"frames that name no mesh", frames,
       [](MeshFile* f) { for (auto& frame : f->frames) frame.mesh = meshNoIndex; },
       "no frame names a mesh"},
      {"a frame's mesh without subsets", frames, FirstMeshWithoutSubsets,
       "the mesh of frame ScannerRoom has no subsets"},
      {"a frame's mesh whose subsets have no indices", frames, SubsetsWithoutIndices,
       "the mesh of frame ScannerRoom has no subset with indices"},
      {"one frame's mesh that draws is enough", frames,
       [](MeshFile* f) {
         WholeMeshBehindAnEmptyOne(f);
         f->frames.push_back(f->frames[1]);
         f->frames[2].mesh = 1;
       },
       ""},
  };
  for (const Case& c : cases) {
    MeshFile file = room;
    c.change(&file);
    EXPECT_EQ(MissingGeometry(file, c.drawing), c.missing) << c.shows;
  }
}

TEST(MeshFile, StoredTypesMapToTheDeviceAndUnknownOnesToTheDefaults) {
  struct Case {
    uint32_t stored;
    D3D10_PRIMITIVE_TOPOLOGY topology;
  };
  const Case cases[] = {
      {meshTriangleList, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST},
      {meshTriangleStrip, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP},
      {meshLineList, D3D10_PRIMITIVE_TOPOLOGY_LINELIST},
      {meshLineStrip, D3D10_PRIMITIVE_TOPOLOGY_LINESTRIP},
      {meshPointList, D3D10_PRIMITIVE_TOPOLOGY_POINTLIST},
      {meshTriangleListAdjacency, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST_ADJ},
      {meshTriangleStripAdjacency, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLESTRIP_ADJ},
      {meshLineListAdjacency, D3D10_PRIMITIVE_TOPOLOGY_LINELIST_ADJ},
      {meshLineStripAdjacency, D3D10_PRIMITIVE_TOPOLOGY_LINESTRIP_ADJ},
      {9, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST},
      {0xFFFFFFFF, D3D10_PRIMITIVE_TOPOLOGY_TRIANGLELIST},
  };
  for (const Case& c : cases) EXPECT_EQ(TopologyOfPrimitiveType(c.stored), c.topology) << c.stored;
  EXPECT_EQ(FormatOfIndexType(meshIndex16), DXGI_FORMAT_R16_UINT);
  EXPECT_EQ(FormatOfIndexType(meshIndex32), DXGI_FORMAT_R32_UINT);
  EXPECT_EQ(FormatOfIndexType(2), DXGI_FORMAT_R16_UINT);
}

}  // namespace

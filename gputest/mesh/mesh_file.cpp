#include "gputest/mesh/mesh_file.h"

#include <cstring>
#include <utility>

namespace {

constexpr uint32_t currentVersion = 1;

uint32_t IndexWidth(uint32_t indexType) { return indexType == meshIndex32 ? 4 : 2; }

// Whether count items of size bytes from offset lie whole inside a file of fileSize bytes; 64-bit
// arithmetic, so no product or sum of 32-bit fields can wrap.
bool InFile(uint64_t offset, uint64_t count, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && count * size <= fileSize - offset;
}

// Text fields end inside the field and hold printable ASCII only.
bool IsCleanName(const char* field, size_t fieldSize) {
  const void* end = std::memchr(field, '\0', fieldSize);
  if (end == nullptr) return false;
  for (const char* c = field; c != end; ++c) {
    if (*c < 0x20 || *c > 0x7E) return false;
  }
  return true;
}

// A texture name must stay below the mesh file's folder.
bool IsRelativeTextureName(const char* name) {
  if (name[0] == '\\' || name[0] == '/' || std::strchr(name, ':') != nullptr) return false;
  const char* part = name;
  while (true) {
    const size_t length = std::strcspn(part, "\\/");
    if (length == 2 && part[0] == '.' && part[1] == '.') return false;
    if (part[length] == '\0') return true;
    part += length + 1;
  }
}

class Reader {
 public:
  Reader(const unsigned char* bytes, size_t size, std::string* failure)
      : bytes_(bytes), size_(size), failure_(failure) {}

  bool Fail(const std::string& text) {
    *failure_ = text;
    return false;
  }

  template <typename Record>
  bool ReadTable(const MeshFileHeader::Table& table, const char* what,
                 std::vector<Record>* records) {
    if (!InFile(table.offset, table.count, sizeof(Record), size_)) {
      return Fail(std::string("the ") + what + " table lies past the end of the file");
    }
    records->resize(table.count);
    if (table.count != 0) {
      std::memcpy(records->data(), bytes_ + table.offset, table.count * sizeof(Record));
    }
    return true;
  }

  bool ReadData(uint32_t offset, uint32_t dataSize, const char* what,
                std::vector<unsigned char>* data) {
    if (!InFile(offset, dataSize, 1, size_)) {
      return Fail(std::string("the data of ") + what + " lies past the end of the file");
    }
    data->assign(bytes_ + offset, bytes_ + offset + dataSize);
    return true;
  }

 private:
  const unsigned char* bytes_;
  size_t size_;
  std::string* failure_;
};

bool CheckSubsetOfMesh(const MeshFile& file, const MeshRecord& mesh, const MeshSubsetRecord& subset,
                       std::string* failure) {
  const MeshVertexBuffer& vertices = file.vertexBuffers[mesh.vertexBuffer];
  const MeshIndexBuffer& indices = file.indexBuffers[mesh.indexBuffer];
  if (uint64_t{subset.indexStart} + subset.indexCount > indices.record.indexCount) {
    *failure = "a subset's indices lie past the end of its index buffer";
    return false;
  }
  const uint64_t vertexEnd = uint64_t{subset.vertexStart} + subset.vertexCount;
  if (vertexEnd > vertices.record.vertexCount) {
    *failure = "a subset's vertices lie past the end of its vertex buffer";
    return false;
  }
  for (uint32_t i = 0; i < subset.indexCount; ++i) {
    if (indices.Index(subset.indexStart + i) >= subset.vertexCount) {
      *failure = "a subset's index names a vertex outside the subset";
      return false;
    }
  }
  return true;
}

bool CheckReferences(const MeshFile& file, std::string* failure) {
  for (uint32_t entry : file.subsetList) {
    if (entry >= file.subsets.size()) {
      *failure = "the subset list names a subset the file lacks";
      return false;
    }
  }
  for (const MeshSubsetRecord& subset : file.subsets) {
    if (subset.material >= file.materials.size()) {
      *failure = "a subset names a material the file lacks";
      return false;
    }
  }
  for (const MeshRecord& mesh : file.meshes) {
    if (!IsCleanName(mesh.name, sizeof(mesh.name))) {
      *failure = "a mesh has no clean name";
      return false;
    }
    if (mesh.vertexBuffer >= file.vertexBuffers.size() ||
        mesh.indexBuffer >= file.indexBuffers.size()) {
      *failure = "a mesh names a buffer the file lacks";
      return false;
    }
    if (uint64_t{mesh.firstSubsetEntry} + mesh.subsetCount > file.subsetList.size()) {
      *failure = "a mesh's subsets lie past the end of the subset list";
      return false;
    }
    for (uint32_t entry = 0; entry < mesh.subsetCount; ++entry) {
      if (!CheckSubsetOfMesh(file, mesh, file.Subset(mesh, entry), failure)) return false;
    }
  }
  for (size_t i = 0; i < file.frames.size(); ++i) {
    const MeshFrameRecord& frame = file.frames[i];
    if (!IsCleanName(frame.name, sizeof(frame.name))) {
      *failure = "a frame has no clean name";
      return false;
    }
    if (frame.mesh != meshNoIndex && frame.mesh >= file.meshes.size()) {
      *failure = "a frame names a mesh the file lacks";
      return false;
    }
    // Parents come first, so the frames form a tree without cycles.
    if (frame.parent != meshNoIndex && frame.parent >= i) {
      *failure = "a frame's parent is not stored before it";
      return false;
    }
  }
  for (const MeshMaterialRecord& material : file.materials) {
    if (!IsCleanName(material.name, sizeof(material.name)) ||
        !IsCleanName(material.diffuseTexture, sizeof(material.diffuseTexture))) {
      *failure = "a material has no clean name";
      return false;
    }
    if (!IsRelativeTextureName(material.diffuseTexture)) {
      *failure = "a material's texture lies outside the mesh's folder";
      return false;
    }
  }
  return true;
}

bool ReadAll(const unsigned char* bytes, size_t size, MeshFile* file, std::string* failure) {
  Reader reader(bytes, size, failure);
  MeshFileHeader header;
  if (size < sizeof(header)) return reader.Fail("the file is shorter than its header");
  std::memcpy(&header, bytes, sizeof(header));
  if (std::memcmp(header.magic, "ZMSH", 4) != 0) return reader.Fail("not a mesh file");
  if (header.version != currentVersion) return reader.Fail("unknown mesh file version");

  std::vector<MeshVertexBufferRecord> vertexRecords;
  std::vector<MeshIndexBufferRecord> indexRecords;
  if (!reader.ReadTable(header.vertexBuffers, "vertex buffer", &vertexRecords) ||
      !reader.ReadTable(header.indexBuffers, "index buffer", &indexRecords) ||
      !reader.ReadTable(header.meshes, "mesh", &file->meshes) ||
      !reader.ReadTable(header.subsets, "subset", &file->subsets) ||
      !reader.ReadTable(header.frames, "frame", &file->frames) ||
      !reader.ReadTable(header.materials, "material", &file->materials) ||
      !reader.ReadTable(header.subsetList, "subset list", &file->subsetList)) {
    return false;
  }
  for (const MeshVertexBufferRecord& record : vertexRecords) {
    if (record.stride < 12 || record.stride % 4 != 0) {
      return reader.Fail("a vertex buffer's stride cannot hold a position");
    }
    if (uint64_t{record.vertexCount} * record.stride != record.dataSize) {
      return reader.Fail("a vertex buffer's size does not match its vertices");
    }
    file->vertexBuffers.push_back({record, {}});
    if (!reader.ReadData(record.dataOffset, record.dataSize, "a vertex buffer",
                         &file->vertexBuffers.back().data)) {
      return false;
    }
  }
  for (const MeshIndexBufferRecord& record : indexRecords) {
    if (record.indexType != meshIndex16 && record.indexType != meshIndex32) {
      return reader.Fail("an index buffer's index type is unknown");
    }
    if (uint64_t{record.indexCount} * IndexWidth(record.indexType) != record.dataSize) {
      return reader.Fail("an index buffer's size does not match its indices");
    }
    file->indexBuffers.push_back({record, {}});
    if (!reader.ReadData(record.dataOffset, record.dataSize, "an index buffer",
                         &file->indexBuffers.back().data)) {
      return false;
    }
  }
  return CheckReferences(*file, failure);
}

}  // namespace

uint32_t MeshIndexBuffer::Index(uint32_t position) const {
  if (record.indexType == meshIndex32) {
    uint32_t index;
    std::memcpy(&index, data.data() + size_t{position} * 4, 4);
    return index;
  }
  uint16_t index;
  std::memcpy(&index, data.data() + size_t{position} * 2, 2);
  return index;
}

bool ReadMeshFile(const unsigned char* bytes, size_t size, MeshFile* mesh, std::string* failure) {
  MeshFile file;
  if (!ReadAll(bytes, size, &file, failure)) {
    *mesh = MeshFile();
    return false;
  }
  *mesh = std::move(file);
  return true;
}

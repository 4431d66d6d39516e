#include "gputest/mesh/mesh_geometry.h"

namespace {
// What the record lacks, as the end of a sentence about it; empty when it draws something.
std::string RecordLacks(const MeshFile& file, const MeshRecord& mesh) {
  if (file.vertexBuffers[mesh.vertexBuffer].record.vertexCount == 0) return "has no vertices";
  if (file.indexBuffers[mesh.indexBuffer].record.indexCount == 0) return "has no indices";
  if (mesh.subsetCount == 0) return "has no subsets";
  for (uint32_t entry = 0; entry < mesh.subsetCount; ++entry) {
    if (file.Subset(mesh, entry).indexCount != 0) return "";
  }
  return "has no subset with indices";
}
}  // namespace

std::string MissingGeometry(const MeshFile& file, MeshDrawing drawing) {
  if (file.meshes.empty()) return "the file holds no mesh";
  if (drawing == MeshDrawing::firstRecord) {
    const std::string lacks = RecordLacks(file, file.meshes[0]);
    return lacks.empty() ? "" : "its first mesh " + lacks;
  }
  if (file.frames.empty()) return "the file holds no frame";
  // Frames that name no mesh only place others; one frame's mesh that draws is enough.
  const MeshFrameRecord* firstNaming = nullptr;
  for (const MeshFrameRecord& frame : file.frames) {
    if (frame.mesh == meshNoIndex) continue;
    if (RecordLacks(file, file.meshes[frame.mesh]).empty()) return "";
    if (firstNaming == nullptr) firstNaming = &frame;
  }
  if (firstNaming == nullptr) return "no frame names a mesh";
  return std::string("the mesh of frame ") + firstNaming->name + " " +
         RecordLacks(file, file.meshes[firstNaming->mesh]);
}

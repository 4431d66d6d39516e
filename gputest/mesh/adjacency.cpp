#include "gputest/mesh/adjacency.h"

#include <array>
#include <cstring>
#include <map>
#include <utility>

namespace {

// A position by its bits: a total order even for the NaNs a broken file may hold.
using Position = std::array<uint32_t, 3>;

// One number per distinct position among the subset's vertices.
std::vector<uint32_t> WeldedCorners(const MeshVertexBuffer& vertices,
                                    const MeshSubsetRecord& subset) {
  std::map<Position, uint32_t> numbers;
  std::vector<uint32_t> welded(subset.vertexCount);
  for (uint32_t v = 0; v < subset.vertexCount; ++v) {
    Position position;
    const size_t at = (size_t{subset.vertexStart} + v) * vertices.record.stride;
    std::memcpy(position.data(), vertices.data.data() + at, sizeof(position));
    welded[v] = numbers.emplace(position, static_cast<uint32_t>(numbers.size())).first->second;
  }
  return welded;
}

void AddSubsetAdjacency(const MeshFile& file, const MeshRecord& mesh,
                        const MeshSubsetRecord& subset, std::vector<uint32_t>* adjacency) {
  const MeshIndexBuffer& indices = file.indexBuffers[mesh.indexBuffer];
  const std::vector<uint32_t> welded =
      WeldedCorners(file.vertexBuffers[mesh.vertexBuffer], subset);
  const uint32_t triangles = subset.indexCount / 3;
  auto corner = [&](uint32_t triangle, uint32_t k) {
    return indices.Index(subset.indexStart + triangle * 3 + k);
  };

  // Each directed edge of welded corners, to the far corner of its triangle.
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> farCorner;
  for (uint32_t t = 0; t < triangles; ++t) {
    for (uint32_t k = 0; k < 3; ++k) {
      const uint32_t from = welded[corner(t, k)];
      const uint32_t to = welded[corner(t, (k + 1) % 3)];
      farCorner.emplace(std::make_pair(from, to), corner(t, (k + 2) % 3));
    }
  }
  for (uint32_t t = 0; t < triangles; ++t) {
    uint32_t* out = adjacency->data() + 2 * (size_t{subset.indexStart} + t * 3);
    for (uint32_t k = 0; k < 3; ++k) {
      const uint32_t from = corner(t, k);
      const uint32_t to = corner(t, (k + 1) % 3);
      // A neighbour that faces the same way runs along the shared edge the other way.
      const auto neighbour = farCorner.find(std::make_pair(welded[to], welded[from]));
      out[2 * k] = from;
      out[2 * k + 1] = neighbour != farCorner.end() ? neighbour->second : corner(t, (k + 2) % 3);
    }
  }
}

}  // namespace

std::vector<uint32_t> BuildAdjacencyIndices(const MeshFile& file, const MeshRecord& mesh) {
  std::vector<uint32_t> adjacency(size_t{file.indexBuffers[mesh.indexBuffer].record.indexCount} * 2,
                                  0);
  for (uint32_t entry = 0; entry < mesh.subsetCount; ++entry) {
    const MeshSubsetRecord& subset = file.Subset(mesh, entry);
    if (subset.primitiveType == meshTriangleList) AddSubsetAdjacency(file, mesh, subset, &adjacency);
  }
  return adjacency;
}

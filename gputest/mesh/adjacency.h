#pragma once
// Adjacency indices of a mesh's triangles, for geometry that reads a triangle's neighbours. Made
// here rather than through the platform's mesh object, which Wine only half implements.
#include <cstdint>
#include <vector>

#include "gputest/mesh/mesh_file.h"

// Twice as many indices as mesh's index buffer holds. For each triangle-list subset, triangle
// (a, b, c) at index i becomes (a, n_ab, b, n_bc, c, n_ca) at index 2 × i, where n_xy is the far
// corner of the subset's other triangle that shares the edge x-y (corners at the same position
// count as one, so seams of split normals or texture coordinates join), or the triangle's own
// third corner when it has no such neighbour. Indices stay relative to the subset's vertex start;
// the slots of other subsets hold zeros.
std::vector<uint32_t> BuildAdjacencyIndices(const MeshFile& file, const MeshRecord& mesh);

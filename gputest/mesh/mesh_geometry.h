#pragma once
// Whether a mesh file that reads cleanly holds anything to draw. A file of empty tables, or of
// meshes without subsets or indices, reads as well as a whole one; a scene drawn from it would be
// measured without that part, and cheaper, so the scene treats it as missing media.
#include <string>

#include "gputest/mesh/mesh_file.h"

// How a mesh is drawn: the scene's instanced draw takes the first mesh record only, the mesh's own
// draw every mesh that a frame names.
enum class MeshDrawing { firstRecord, throughFrames };

// Why the drawing would draw nothing of file; empty when it draws something. A mesh record draws
// something when its vertex buffer has vertices, its index buffer indices, and one of its subsets
// indices.
std::string MissingGeometry(const MeshFile& file, MeshDrawing drawing);

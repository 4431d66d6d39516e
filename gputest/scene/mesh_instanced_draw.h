#pragma once
// One mesh drawn subset by subset as six instances, the scene's way of multiplying its work.
#include <d3d10.h>

#include "gputest/effect/effect.h"
#include "gputest/mesh/sdk_mesh.h"

constexpr UINT sceneInstancesPerDraw = 6;

// Draws the first mesh record of mesh for each pass of technique: every subset in stored order
// from its index start, with its topology and its material's texture in diffuseTexture. An empty
// mesh (a file that could not be read) draws nothing.
void DrawMeshInstanced(ID3D10Device* device, const CDXUTSDKMesh& mesh,
                       const EffectTechnique& technique, EffectVariable* diffuseTexture);

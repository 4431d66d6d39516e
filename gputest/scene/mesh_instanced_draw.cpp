#include "gputest/scene/mesh_instanced_draw.h"

void DrawMeshInstanced(ID3D10Device* device, const CDXUTSDKMesh& mesh,
                       const EffectTechnique& technique, EffectVariable* diffuseTexture) {
  if (mesh.MeshCount() == 0) return;
  ID3D10Buffer* vertices = mesh.VertexBuffer(0);
  ID3D10Buffer* indices = mesh.IndexBuffer(0);
  if (vertices == nullptr || indices == nullptr) return;
  const UINT stride = mesh.VertexStride(0);
  const UINT offset = 0;
  device->IASetVertexBuffers(0, 1, &vertices, &stride, &offset);
  device->IASetIndexBuffer(indices, mesh.IndexFormat(0), 0);
  for (UINT p = 0; p < technique.PassCount(); ++p) {
    const EffectPass* pass = technique.Pass(p);
    for (UINT entry = 0; entry < mesh.SubsetCount(0); ++entry) {
      const MeshSubsetRecord& subset = mesh.Subset(0, entry);
      device->IASetPrimitiveTopology(TopologyOfPrimitiveType(subset.primitiveType));
      if (diffuseTexture != nullptr) {
        diffuseTexture->SetResource(mesh.SubsetMaterial(0, entry).diffuseView.get());
      }
      pass->Apply();
      // Each subset starts at its own index start, as the mesh's own draw does, so a mesh of
      // several subsets draws each of them rather than the first one's indices again.
      pass->DrawIndexedInstanced(static_cast<UINT>(subset.indexCount), sceneInstancesPerDraw,
                                 static_cast<UINT>(subset.indexStart),
                                 static_cast<INT>(subset.vertexStart), 0);
    }
  }
}

#include "gputest/effect/cube_mips.h"

HRESULT CreateMipGenerationView(ID3D10Device* device, ID3D10Texture2D* cube,
                                ComPtr<ID3D10ShaderResourceView>* view) {
  D3D10_TEXTURE2D_DESC texture{};
  cube->GetDesc(&texture);
  D3D10_SHADER_RESOURCE_VIEW_DESC desc{};
  desc.Format = texture.Format;
  desc.ViewDimension = D3D10_SRV_DIMENSION_TEXTURE2DARRAY;
  desc.Texture2DArray.MostDetailedMip = 0;
  desc.Texture2DArray.MipLevels = texture.MipLevels;
  desc.Texture2DArray.FirstArraySlice = 0;
  desc.Texture2DArray.ArraySize = texture.ArraySize;
  return device->CreateShaderResourceView(cube, &desc, view->out());
}

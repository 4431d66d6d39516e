#pragma once
// Mip levels of a cube render target. Under Wine, GenerateMips through the texture's cube view
// leaves every level below the top empty, while a 2-D array view of the same texture fills them.
#include <d3d10.h>

#include "common/platform/com_holders.h"

// A shader-resource view of every mip level and slice of cube (a texture made with the
// generate-mips flag) as a 2-D texture array, to hand to GenerateMips.
HRESULT CreateMipGenerationView(ID3D10Device* device, ID3D10Texture2D* cube,
                                ComPtr<ID3D10ShaderResourceView>* view);

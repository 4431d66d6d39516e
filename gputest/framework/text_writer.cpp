#include "gputest/framework/text_writer.h"

#include <utility>

namespace {
using CreateFontFunction = HRESULT(WINAPI*)(ID3D10Device* device, INT height, UINT width, UINT weight,
                                     UINT mipLevels, BOOL italic, UINT charSet,
                                     UINT outputPrecision, UINT quality, UINT pitchAndFamily,
                                     const wchar_t* face, IUnknown** font);
using CreateSpriteFunction = HRESULT(WINAPI*)(ID3D10Device* device, UINT deviceBufferSize,
                                      IUnknown** sprite);
}  // namespace

HRESULT CreateFontAndSprite(ID3D10Device* device, const wchar_t* face, int height, UINT weight,
                            UINT charSet, UINT spriteSize, FontAndSprite* made) {
  ReleaseFontAndSprite(made);
  LoadedLibrary library("d3dx10_43.dll");
  const auto createFont = library.Symbol<CreateFontFunction>("D3DX10CreateFontW");
  const auto createSprite = library.Symbol<CreateSpriteFunction>("D3DX10CreateSprite");
  if (createFont == nullptr || createSprite == nullptr) return E_FAIL;
  ComPtr<IUnknown> font, sprite;
  HRESULT hr = createFont(device, height, 0, weight, 1, FALSE, charSet, OUT_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face, font.out());
  if (FAILED(hr)) return hr;
  hr = createSprite(device, spriteSize, sprite.out());
  if (FAILED(hr)) return hr;
  made->library = std::move(library);
  made->font = std::move(font);
  made->sprite = std::move(sprite);
  return S_OK;
}

void ReleaseFontAndSprite(FontAndSprite* made) {
  made->font.reset();
  made->sprite.reset();
  made->library.reset();
}

void CDXUTTextHelper::SetForegroundColor(const float colour[4]) {
  for (int i = 0; i < 4; ++i) colour_[i] = colour[i];
}

// The glyphs would go through the font's draw in an interactive run; the insertion point moves
// down a line either way.
void CDXUTTextHelper::DrawTextLine(const std::wstring&) { y_ += lineHeight_; }

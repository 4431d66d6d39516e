#include "gputest/framework/text_writer.h"

#include <utility>

namespace {
using CreateFontFunction = HRESULT(WINAPI*)(ID3D10Device* device, INT height, UINT width,
                                            UINT weight, UINT mipLevels, BOOL italic,
                                            UINT charSet, UINT outputPrecision, UINT quality,
                                            UINT pitchAndFamily, const wchar_t* face,
                                            ID3DX10Font** font);
using CreateSpriteFunction = HRESULT(WINAPI*)(ID3D10Device* device, UINT deviceBufferSize,
                                              ID3DX10Sprite** sprite);
}  // namespace

HRESULT CreateFontAndSprite(ID3D10Device* device, const wchar_t* face, int height, UINT weight,
                            UINT charSet, UINT spriteSize, FontAndSprite* made) {
  ReleaseFontAndSprite(made);
  LoadedLibrary library("d3dx10_43.dll");
  const auto createFont = library.Symbol<CreateFontFunction>("D3DX10CreateFontW");
  const auto createSprite = library.Symbol<CreateSpriteFunction>("D3DX10CreateSprite");
  if (createFont == nullptr || createSprite == nullptr) return E_FAIL;
  ComPtr<ID3DX10Font> font;
  ComPtr<ID3DX10Sprite> sprite;
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

TextDrawing FontDrawing(const FontAndSprite& made) {
  ID3DX10Font* font = made.font.get();
  ID3DX10Sprite* sprite = made.sprite.get();
  TextDrawing drawing;
  // The sprite batches the glyphs and puts the device's state back at its end.
  drawing.begin = [sprite] { sprite->Begin(d3dx10SpriteSaveState); };
  drawing.draw = [font, sprite](const std::wstring& text, const RECT& rect, UINT format,
                                const float colour[4]) {
    RECT place = rect;
    font->DrawTextW(sprite, text.c_str(), -1, &place, format,
                    D3DX10Colour{colour[0], colour[1], colour[2], colour[3]});
  };
  drawing.end = [sprite] { sprite->End(); };
  return drawing;
}

CDXUTTextHelper::CDXUTTextHelper(TextDrawing drawing, int lineHeight)
    : drawing_(std::move(drawing)), lineHeight_(lineHeight) {}

void CDXUTTextHelper::Begin() {
  if (drawing_.begin) drawing_.begin();
}

void CDXUTTextHelper::SetForegroundColor(const float colour[4]) {
  for (int i = 0; i < 4; ++i) colour_[i] = colour[i];
}

void CDXUTTextHelper::DrawTextLine(const std::wstring& text) {
  const RECT place{x_, y_, 0, 0};
  if (drawing_.draw) drawing_.draw(text, place, DT_NOCLIP, colour_);
  y_ += lineHeight_;
}

void CDXUTTextHelper::End() {
  if (drawing_.end) drawing_.end();
}

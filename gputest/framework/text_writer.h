#pragma once
// The status text's font and sprite, made by D3DX10 (looked up in d3dx10_43.dll at run time:
// there is no import library for it), and the text writer that places lines with them. A timed
// run creates them but never draws text.
#include <d3d10.h>

#include <string>

#include "common/platform/com_holders.h"
#include "common/platform/loaded_library.h"

struct FontAndSprite {
  LoadedLibrary library;  // keeps the objects' code loaded; released after them
  ComPtr<IUnknown> font;
  ComPtr<IUnknown> sprite;
};

// The font (face, height, weight, character set) and a sprite batching up to spriteSize glyphs.
// Fails when D3DX10 or either function is missing, or with the function's own result.
HRESULT CreateFontAndSprite(ID3D10Device* device, const wchar_t* face, int height, UINT weight,
                            UINT charSet, UINT spriteSize, FontAndSprite* made);
// Releases the font and the sprite, then the library.
void ReleaseFontAndSprite(FontAndSprite* made);

// Writes lines of text downwards from an insertion point, lineHeight apart.
class CDXUTTextHelper {
 public:
  CDXUTTextHelper(IUnknown* font, IUnknown* sprite, int lineHeight)
      : font_(font), sprite_(sprite), lineHeight_(lineHeight) {}
  void Begin() {}
  void SetInsertionPos(int x, int y) {
    x_ = x;
    y_ = y;
  }
  void SetForegroundColor(const float colour[4]);
  void DrawTextLine(const std::wstring& text);
  void End() {}

  int X() const { return x_; }
  int Y() const { return y_; }
  int LineHeight() const { return lineHeight_; }

 private:
  IUnknown* font_;    // owned by FontAndSprite
  IUnknown* sprite_;
  int lineHeight_;
  int x_ = 0, y_ = 0;
  float colour_[4] = {1, 1, 1, 1};
};

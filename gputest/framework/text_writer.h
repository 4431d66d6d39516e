#pragma once
// The status text's font and sprite, made by D3DX10 (looked up in d3dx10_43.dll at run time:
// there is no import library for it), the drawing of text with them, and the text writer that
// places lines. A timed run creates them but never draws text.
#include <d3d10.h>
#include <windows.h>

#include <functional>
#include <string>

#include "common/platform/com_holders.h"
#include "common/platform/loaded_library.h"
#include "gputest/framework/d3dx10_font.h"

struct FontAndSprite {
  LoadedLibrary library;  // keeps the objects' code loaded; released after them
  ComPtr<ID3DX10Font> font;
  ComPtr<ID3DX10Sprite> sprite;
};

// The font (face, height, weight, character set) and a sprite batching up to spriteSize glyphs.
// Fails when D3DX10 or either function is missing, or with the function's own result.
HRESULT CreateFontAndSprite(ID3D10Device* device, const wchar_t* face, int height, UINT weight,
                            UINT charSet, UINT spriteSize, FontAndSprite* made);
// Releases the font and the sprite, then the library.
void ReleaseFontAndSprite(FontAndSprite* made);

// What drawing text asks of a font: begin a batch, draw a text into a rectangle with DT_ format
// flags in a colour (red, green, blue, alpha), end the batch.
struct TextDrawing {
  std::function<void()> begin;
  std::function<void(const std::wstring& text, const RECT& rect, UINT format,
                     const float colour[4])>
      draw;
  std::function<void()> end;
};
// Drawing through the font and the sprite, which must outlive it.
TextDrawing FontDrawing(const FontAndSprite& made);

// Writes lines of text downwards from an insertion point, lineHeight apart.
class CDXUTTextHelper {
 public:
  CDXUTTextHelper(TextDrawing drawing, int lineHeight);
  void Begin();
  void SetInsertionPos(int x, int y) {
    x_ = x;
    y_ = y;
  }
  void SetForegroundColor(const float colour[4]);
  // One line at the insertion point, unclipped; the point moves down a line.
  void DrawTextLine(const std::wstring& text);
  void End();

  int X() const { return x_; }
  int Y() const { return y_; }
  int LineHeight() const { return lineHeight_; }

 private:
  TextDrawing drawing_;
  int lineHeight_;
  int x_ = 0, y_ = 0;
  float colour_[4] = {1, 1, 1, 1};
};

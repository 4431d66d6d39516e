#pragma once
// The part of D3DX10's font and sprite interfaces that the status text and the dialogs use.
// MinGW ships no D3DX10 header; the objects come from d3dx10_43.dll at run time. The methods
// stand in their interfaces' order (the font's up to the last one used), so that each call takes
// its own slot.
#include <d3d10.h>
#include <windows.h>

// The font's description; its size is the same in both flavors (no pointer in it).
struct D3DX10FontDescW {
  INT Height;
  UINT Width;
  UINT Weight;
  UINT MipLevels;
  BOOL Italic;
  BYTE CharSet;
  BYTE OutputPrecision;
  BYTE Quality;
  BYTE PitchAndFamily;
  WCHAR FaceName[LF_FACESIZE];
};
static_assert(sizeof(D3DX10FontDescW) == 88, "D3DX10_FONT_DESCW is 88 bytes");

// A colour passed by value: red, green, blue, alpha.
struct D3DX10Colour {
  float r, g, b, a;
};
static_assert(sizeof(D3DX10Colour) == 16, "D3DXCOLOR is four floats");

// The sprite's flag that keeps the device state across Begin and End.
constexpr UINT d3dx10SpriteSaveState = 0x08;

struct ID3DX10Sprite : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Begin(UINT flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrawSpritesBuffered(void* sprites, UINT count) = 0;
  virtual HRESULT STDMETHODCALLTYPE Flush() = 0;
  virtual HRESULT STDMETHODCALLTYPE DrawSpritesImmediate(void* sprites, UINT count, UINT size,
                                                         UINT flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE End() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetViewTransform(float* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetViewTransform(float* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetProjectionTransform(float* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProjectionTransform(float* matrix) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevice(ID3D10Device** device) = 0;
};

struct ID3DX10Font : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDevice(ID3D10Device** device) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescA(void* desc) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescW(D3DX10FontDescW* desc) = 0;
  virtual BOOL STDMETHODCALLTYPE GetTextMetricsA(TEXTMETRICA* metrics) = 0;
  virtual BOOL STDMETHODCALLTYPE GetTextMetricsW(TEXTMETRICW* metrics) = 0;
  virtual HDC STDMETHODCALLTYPE GetDC() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetGlyphData(UINT glyph, ID3D10ShaderResourceView** texture,
                                                 RECT* blackBox, POINT* cellInc) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadCharacters(UINT first, UINT last) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadGlyphs(UINT first, UINT last) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadTextA(const char* text, INT count) = 0;
  virtual HRESULT STDMETHODCALLTYPE PreloadTextW(const wchar_t* text, INT count) = 0;
  virtual INT STDMETHODCALLTYPE DrawTextA(ID3DX10Sprite* sprite, const char* text, INT count,
                                          RECT* rect, UINT format, D3DX10Colour colour) = 0;
  // Draws text into rect (DT_ format flags); returns the text's height, 0 on failure.
  virtual INT STDMETHODCALLTYPE DrawTextW(ID3DX10Sprite* sprite, const wchar_t* text, INT count,
                                          RECT* rect, UINT format, D3DX10Colour colour) = 0;
};

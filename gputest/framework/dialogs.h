#pragma once
// The framework's dialogs as far as the test builds them: controls with their identifiers, texts,
// places and hot keys, the dialogs' places, their drawing, and the resource manager whose text
// drawing the dialogs share. A timed run creates and lays them out but never draws them or lets
// input reach them.
#include <d3d10.h>
#include <dxgi.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gputest/framework/text_writer.h"

class CDXUTDialog;
class CDXUTControl;

// Event, control identifier, the control.
using GuiEventCallback = std::function<void(UINT event, int controlId, CDXUTControl* control)>;

constexpr UINT eventButtonClicked = 0x0101;
constexpr UINT eventCheckboxChanged = 0x0401;

class CDXUTControl {
 public:
  enum class Kind { button, checkBox };
  Kind kind = Kind::button;
  int id = 0;
  std::wstring text;
  int x = 0, y = 0, width = 0, height = 0;
  UINT hotkey = 0;
  bool checked = false;
  bool enabled = true;
};

class CDXUTDialogResourceManager {
 public:
  HRESULT OnD3D10CreateDevice(ID3D10Device* device);
  HRESULT OnD3D10ResizedSwapChain(ID3D10Device* device, const DXGI_SURFACE_DESC& backBuffer);
  void OnD3D10ReleasingSwapChain();
  // Also lets go of the text drawing, whose font goes with the device.
  void OnD3D10DestroyDevice();
  // The font every dialog draws its controls' texts with.
  void SetTextDrawing(TextDrawing drawing);
  const TextDrawing& Drawing() const { return drawing_; }
  // Dialogs register here so that they share the manager's fonts and textures.
  void RegisterDialog(CDXUTDialog* dialog);

  bool HasDevice() const { return device_ != nullptr; }
  UINT BackBufferWidth() const { return backBufferWidth_; }
  UINT BackBufferHeight() const { return backBufferHeight_; }

 private:
  ID3D10Device* device_ = nullptr;  // the framework owns it
  UINT backBufferWidth_ = 0, backBufferHeight_ = 0;
  TextDrawing drawing_;
  std::vector<CDXUTDialog*> dialogs_;
};

class CDXUTDialog {
 public:
  void Init(CDXUTDialogResourceManager* manager);
  void SetCallback(GuiEventCallback callback);
  HRESULT AddButton(int id, const wchar_t* text, int x, int y, int width, int height,
                    UINT hotkey = 0);
  HRESULT AddCheckBox(int id, const wchar_t* text, int x, int y, int width, int height,
                      bool checked = false, UINT hotkey = 0);
  void SetLocation(int x, int y);
  void SetSize(int width, int height);
  // The control of that identifier, or null.
  CDXUTControl* GetControl(int id);
  // A key-down of a control's hot key or a click on it raises the control's event.
  bool MsgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Draws each control's text in its place with the manager's text drawing: a button's centred,
  // a check box's after its box. Nothing without a manager or a drawing.
  HRESULT OnRender(float elapsed);

  const std::vector<CDXUTControl>& Controls() const { return controls_; }
  int X() const { return x_; }
  int Y() const { return y_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  CDXUTDialogResourceManager* Manager() const { return manager_; }

 private:
  void Raise(CDXUTControl& control);

  CDXUTDialogResourceManager* manager_ = nullptr;
  GuiEventCallback callback_;
  std::vector<CDXUTControl> controls_;
  int x_ = 0, y_ = 0, width_ = 0, height_ = 0;
};

// The device settings dialog; only its present-interval control and its active flag matter here.
class CD3DSettingsDlg {
 public:
  void Init(CDXUTDialogResourceManager* manager);
  HRESULT OnD3D10CreateDevice(ID3D10Device* device);
  HRESULT OnD3D10ResizedSwapChain(ID3D10Device* device, const DXGI_SURFACE_DESC& backBuffer);
  void OnD3D10DestroyDevice();
  bool IsActive() const { return active_; }
  void SetActive(bool active) { active_ = active; }
  // Its own message handling while it is shown.
  bool MsgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HRESULT OnRender(float elapsed);
  CDXUTDialog* GetDialogControl() { return &dialog_; }

 private:
  CDXUTDialog dialog_;
  bool active_ = false;
};

// The settings dialog's present-interval control.
constexpr int settingsPresentIntervalId = 23;

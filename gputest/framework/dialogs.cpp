#include "gputest/framework/dialogs.h"

#include <utility>

HRESULT CDXUTDialogResourceManager::OnD3D10CreateDevice(ID3D10Device* device) {
  device_ = device;
  return S_OK;
}

HRESULT CDXUTDialogResourceManager::OnD3D10ResizedSwapChain(ID3D10Device*,
                                                          const DXGI_SURFACE_DESC& backBuffer) {
  backBufferWidth_ = backBuffer.Width;
  backBufferHeight_ = backBuffer.Height;
  return S_OK;
}

void CDXUTDialogResourceManager::OnD3D10ReleasingSwapChain() {
  backBufferWidth_ = 0;
  backBufferHeight_ = 0;
}

void CDXUTDialogResourceManager::OnD3D10DestroyDevice() {
  device_ = nullptr;
  drawing_ = TextDrawing{};
}

void CDXUTDialogResourceManager::SetTextDrawing(TextDrawing drawing) {
  drawing_ = std::move(drawing);
}

void CDXUTDialogResourceManager::RegisterDialog(CDXUTDialog* dialog) {
  for (CDXUTDialog* known : dialogs_) {
    if (known == dialog) return;
  }
  dialogs_.push_back(dialog);
}

void CDXUTDialog::Init(CDXUTDialogResourceManager* manager) {
  manager_ = manager;
  if (manager != nullptr) manager->RegisterDialog(this);
}

void CDXUTDialog::SetCallback(GuiEventCallback callback) { callback_ = std::move(callback); }

HRESULT CDXUTDialog::AddButton(int id, const wchar_t* text, int x, int y, int width, int height,
                               UINT hotkey) {
  CDXUTControl control;
  control.kind = CDXUTControl::Kind::button;
  control.id = id;
  control.text = text;
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.hotkey = hotkey;
  controls_.push_back(std::move(control));
  return S_OK;
}

HRESULT CDXUTDialog::AddCheckBox(int id, const wchar_t* text, int x, int y, int width, int height,
                                 bool checked, UINT hotkey) {
  HRESULT hr = AddButton(id, text, x, y, width, height, hotkey);
  controls_.back().kind = CDXUTControl::Kind::checkBox;
  controls_.back().checked = checked;
  return hr;
}

void CDXUTDialog::SetLocation(int x, int y) {
  x_ = x;
  y_ = y;
}

void CDXUTDialog::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
}

CDXUTControl* CDXUTDialog::GetControl(int id) {
  for (CDXUTControl& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

void CDXUTDialog::Raise(CDXUTControl& control) {
  UINT event = eventButtonClicked;
  if (control.kind == CDXUTControl::Kind::checkBox) {
    control.checked = !control.checked;
    event = eventCheckboxChanged;
  }
  if (callback_) callback_(event, control.id, &control);
}

bool CDXUTDialog::MsgProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    for (CDXUTControl& control : controls_) {
      if (control.enabled && control.hotkey != 0 && control.hotkey == wParam) {
        Raise(control);
        return true;
      }
    }
    return false;
  }
  if (message == WM_LBUTTONDOWN) {
    const int x = static_cast<short>(LOWORD(lParam)) - x_;
    const int y = static_cast<short>(HIWORD(lParam)) - y_;
    for (CDXUTControl& control : controls_) {
      if (control.enabled && x >= control.x && x < control.x + control.width && y >= control.y &&
          y < control.y + control.height) {
        Raise(control);
        return true;
      }
    }
  }
  return false;
}

HRESULT CDXUTDialog::OnRender(float) {
  if (manager_ == nullptr || !manager_->Drawing().draw) return S_OK;
  const TextDrawing& drawing = manager_->Drawing();
  const float enabledColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float disabledColour[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  if (drawing.begin) drawing.begin();
  for (const CDXUTControl& control : controls_) {
    RECT place{x_ + control.x, y_ + control.y, x_ + control.x + control.width,
               y_ + control.y + control.height};
    std::wstring text = control.text;
    UINT format = DT_CENTER | DT_VCENTER | DT_NOCLIP;
    if (control.kind == CDXUTControl::Kind::checkBox) {
      // The box is a square glyph ahead of the text, filled while checked.
      text = std::wstring(control.checked ? L"\x25A0 " : L"\x25A1 ") + control.text;
      format = DT_LEFT | DT_VCENTER | DT_NOCLIP;
    }
    drawing.draw(text, place, format, control.enabled ? enabledColour : disabledColour);
  }
  if (drawing.end) drawing.end();
  return S_OK;
}

void CD3DSettingsDlg::Init(CDXUTDialogResourceManager* manager) {
  dialog_.Init(manager);
  dialog_.AddButton(settingsPresentIntervalId, L"Vertical Sync", 0, 0, 200, 23);
}

HRESULT CD3DSettingsDlg::OnD3D10CreateDevice(ID3D10Device*) { return S_OK; }

HRESULT CD3DSettingsDlg::OnD3D10ResizedSwapChain(ID3D10Device*,
                                               const DXGI_SURFACE_DESC& backBuffer) {
  dialog_.SetLocation(0, 0);
  dialog_.SetSize(static_cast<int>(backBuffer.Width), static_cast<int>(backBuffer.Height));
  return S_OK;
}

void CD3DSettingsDlg::OnD3D10DestroyDevice() {}

bool CD3DSettingsDlg::MsgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // F2 closes the dialog it opened.
  if (message == WM_KEYDOWN && wParam == VK_F2) {
    active_ = false;
    return true;
  }
  return dialog_.MsgProc(window, message, wParam, lParam);
}

HRESULT CD3DSettingsDlg::OnRender(float elapsed) { return dialog_.OnRender(elapsed); }

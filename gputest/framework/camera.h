#pragma once
// The framework's cameras: the base camera keeps the eye, the look-at point, the view and the
// projection; the model-viewer camera looks at its point from a distance kept within its limits.
#include <windows.h>

#include "gputest/math/matrix.h"

class CBaseCamera {
 public:
  CBaseCamera();
  virtual ~CBaseCamera() = default;

  // Places the eye and the point it looks at; the view follows at once.
  virtual void SetViewParams(const Vector3& eye, const Vector3& lookAt);
  void SetProjParams(float fovY, float aspect, float nearPlane, float farPlane);
  // Brings the matrices up to date for a frame of elapsed seconds.
  virtual void FrameMove(float elapsed) = 0;
  // Input of an interactive run; true when the camera took the message.
  virtual bool HandleMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  const Matrix& GetViewMatrix() const { return view_; }
  const Matrix& GetProjMatrix() const { return projection_; }
  const Vector3& GetEyePt() const { return eye_; }
  const Vector3& GetLookAtPt() const { return lookAt_; }

 protected:
  Vector3 eye_{0, 0, 0};
  Vector3 lookAt_{0, 0, 1};
  Matrix view_;
  Matrix projection_;
  float fovY_ = 0, aspect_ = 1, nearPlane_ = 1, farPlane_ = 1000;
};

class CModelViewerCamera : public CBaseCamera {
 public:
  void SetViewParams(const Vector3& eye, const Vector3& lookAt) override;
  // The distance from the look-at point, and its limits.
  void SetRadius(float defaultRadius, float minRadius, float maxRadius);
  // The window the arcball works in and the arcball's share of it.
  void SetWindow(int width, int height, float arcballRadius);
  // Which mouse buttons turn the model, zoom and turn the camera (masks of the framework's
  // mouse buttons).
  void SetButtonMasks(int rotateModelButtonMask, int zoomButtonMask, int rotateCameraButtonMask);
  // The eye moves along its line of sight to the radius, within its limits, and the view follows.
  void FrameMove(float elapsed) override;

  float Radius() const { return radius_; }
  int WindowWidth() const { return windowWidth_; }
  int WindowHeight() const { return windowHeight_; }
  float ArcballRadius() const { return arcballRadius_; }

 private:
  float radius_ = 5.0f;
  float minRadius_ = 1.0f;
  float maxRadius_ = 1.0e38f;
  int windowWidth_ = 0, windowHeight_ = 0;
  float arcballRadius_ = 1.0f;
  int rotateModelButtonMask_ = 0, zoomButtonMask_ = 0, rotateCameraButtonMask_ = 0;
};

// The framework's mouse-button masks.
constexpr int mouseLeftButton = 0x01;
constexpr int mouseMiddleButton = 0x02;
constexpr int mouseRightButton = 0x04;
constexpr int mouseWheel = 0x08;

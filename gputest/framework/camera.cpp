#include "gputest/framework/camera.h"

#include <algorithm>

namespace {
const Vector3 up{0, 1, 0};
}

CBaseCamera::CBaseCamera() : view_(IdentityMatrix()), projection_(IdentityMatrix()) {}

void CBaseCamera::SetViewParams(const Vector3& eye, const Vector3& lookAt) {
  eye_ = eye;
  lookAt_ = lookAt;
  view_ = LookAtLH(eye_, lookAt_, up);
}

void CBaseCamera::SetProjParams(float fovY, float aspect, float nearPlane, float farPlane) {
  fovY_ = fovY;
  aspect_ = aspect;
  nearPlane_ = nearPlane;
  farPlane_ = farPlane;
  projection_ = PerspectiveFovLH(fovY, aspect, nearPlane, farPlane);
}

bool CBaseCamera::HandleMessages(HWND, UINT, WPARAM, LPARAM) { return false; }

void CModelViewerCamera::SetViewParams(const Vector3& eye, const Vector3& lookAt) {
  CBaseCamera::SetViewParams(eye, lookAt);
  radius_ = Distance(eye, lookAt);
}

void CModelViewerCamera::SetRadius(float defaultRadius, float minRadius, float maxRadius) {
  radius_ = defaultRadius;
  minRadius_ = minRadius;
  maxRadius_ = maxRadius;
}

void CModelViewerCamera::SetWindow(int width, int height, float arcballRadius) {
  windowWidth_ = width;
  windowHeight_ = height;
  arcballRadius_ = arcballRadius;
}

void CModelViewerCamera::SetButtonMasks(int rotateModelButtonMask, int zoomButtonMask,
                                        int rotateCameraButtonMask) {
  rotateModelButtonMask_ = rotateModelButtonMask;
  zoomButtonMask_ = zoomButtonMask;
  rotateCameraButtonMask_ = rotateCameraButtonMask;
}

void CModelViewerCamera::FrameMove(float) {
  radius_ = std::clamp(radius_, minRadius_, maxRadius_);
  const float distance = Distance(eye_, lookAt_);
  if (distance > 0) {
    // Keep the direction of sight; only the distance follows the radius.
    const float scale = radius_ / distance;
    eye_ = {lookAt_.x + (eye_.x - lookAt_.x) * scale, lookAt_.y + (eye_.y - lookAt_.y) * scale,
            lookAt_.z + (eye_.z - lookAt_.z) * scale};
  }
  view_ = LookAtLH(eye_, lookAt_, up);
}

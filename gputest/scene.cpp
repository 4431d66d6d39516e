#include "gputest/scene.h"

#include <cfloat>

#include "gputest/effect/effect.h"
#include "gputest/framework/framework.h"
#include "gputest/framework/media_search.h"
#include "gputest/framework/text_writer.h"
#include "gputest/process_globals.h"
#include "gputest/scene/device_painter.h"
#include "gputest/scene/scene_path.h"
#include "gputest/scene/scene_resources.h"
#include "gputest/scene/scene_ui.h"
#include "gputest/test_run_loop.h"

namespace {
SceneResources scene;
FontAndSprite fontAndSprite;
std::unique_ptr<CDXUTTextHelper> textWriter;
Matrix roomWorld = IdentityMatrix();
Matrix armRotation = IdentityMatrix();
Matrix sphereWorld = IdentityMatrix();
std::array<Matrix, 6> cubeFaceViews;
Matrix cubeProjection = IdentityMatrix();
float cameraPathTime = 0.0f;
bool referenceWarningShown = false;

SceneMeshes Meshes() { return {&roomMesh, &monitorsMesh, &armMesh, &sphereMesh}; }

SceneUi Ui() { return {dialogResourceManager, settingsDialog, hudDialog, sampleDialog}; }

void UnbindPixelShaderResources(ID3D10Device* device) {
  ID3D10ShaderResourceView* none[4] = {};
  device->PSSetShaderResources(0, 4, none);
}

}  // namespace

void CreateSceneUi() { BuildSceneUi(Ui(), HandleGuiEvent); }

bool AcceptAnyDevice(UINT, UINT, D3D10_DRIVER_TYPE, DXGI_FORMAT, bool, void*) { return true; }

bool AdjustDeviceSettings(DXUTDeviceSettings* settings) {
  if (!referenceWarningShown) {
    referenceWarningShown = true;
    if (settings->d3d10.DriverType == D3D10_DRIVER_TYPE_REFERENCE) {
      FrameworkState& framework = Framework();
      if (framework.showMessageBoxes) {
        framework.messages.messageBox(
            framework.window,
            L"Switching to the reference rasterizer, a software device that renders slowly.",
            framework.windowTitle, MB_ICONWARNING | MB_OK);
      }
    }
  }
  settings->d3d10.SyncInterval = 0;
  if (CDXUTControl* control = settingsDialog.GetDialogControl()->GetControl(
          settingsPresentIntervalId)) {
    control->enabled = false;
  }
  return true;
}

LRESULT HandleSceneMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           bool* noFurtherProcessing) {
  *noFurtherProcessing = RouteSceneUiMessage(Ui(), window, message, wParam, lParam);
  if (*noFurtherProcessing) return 0;
  camera.HandleMessages(window, message, wParam, lParam);
  return 0;
}

void HandleSceneKey(UINT, bool, bool) {}

void AdvanceScene(double time, float elapsed) {
  if (!testRun.interactive) {
    cameraPathTime += elapsed;
    const Vector3 eye = CameraPathEye(cameraPathTime);
    camera.SetViewParams(eye, sceneLookAt);
    camera.SetRadius(Distance(eye, sceneLookAt), 1.0f, FLT_MAX);
  }
  camera.FrameMove(elapsed);
  armRotation = RotationYMatrix(ArmRotationAngle(time));
}

namespace {
HRESULT CreateSceneResourcesOn(ID3D10Device* device) {
  HRESULT hr = dialogResourceManager.OnD3D10CreateDevice(device);
  if (FAILED(hr)) return hr;
  hr = settingsDialog.OnD3D10CreateDevice(device);
  if (FAILED(hr)) return hr;
  hr = CreateFontAndSprite(device, L"Arial", 15, FW_BOLD, 1, 512, &fontAndSprite);
  if (FAILED(hr)) return hr;
  textWriter = std::make_unique<CDXUTTextHelper>(FontDrawing(fontAndSprite), 15);
  dialogResourceManager.SetTextDrawing(FontDrawing(fontAndSprite));

  wchar_t path[MAX_PATH];
  hr = FindMediaFile(path, L"ZORTA.fx", Framework().messages);
  if (FAILED(hr)) return hr;
  ShaderCompiler compiler;
  std::string failure;
  if (!LoadShaderCompiler(&compiler, &failure)) {
    Framework().messages.debugOutput(std::wstring(failure.begin(), failure.end()) + L"\n");
    return E_FAIL;
  }
  hr = CreateEffectFromFile(path, "fx_4_0", D3D10_SHADER_ENABLE_STRICTNESS, device, compiler,
                            &scene.effect, &failure);
  if (FAILED(hr)) {
    Framework().messages.debugOutput(std::wstring(failure.begin(), failure.end()) + L"\n");
    return hr;
  }

  roomWorld = RoomWorld();
  armRotation = IdentityMatrix();
  sphereWorld = SphereWorld();
  cubeFaceViews = CubeFaceViews();

  hr = LookUpSceneEffectNames(&scene);
  if (FAILED(hr)) return hr;
  hr = CreateEnvironmentMap(device, &scene);
  if (FAILED(hr)) return hr;
  hr = CreateSceneInputLayouts(device, &scene);
  if (FAILED(hr)) return hr;

  // A frame without one of them would be measured all the same, and cheaper: a mesh or texture
  // that cannot be found or read, or a mesh with nothing to draw the way the scene draws it,
  // fails the run as missing media, the loader having told the debugger which file and why. The
  // sphere is drawn through its frames, the others by their first mesh record.
  struct SceneMesh {
    CDXUTSDKMesh* mesh;
    const wchar_t* name;
    MeshDrawing drawing;
  };
  const SceneMesh meshes[] = {
      {&roomMesh, L"Scanner\\ScannerRoom.sdkmesh", MeshDrawing::firstRecord},
      {&monitorsMesh, L"Scanner\\ScannerMonitors.sdkmesh", MeshDrawing::firstRecord},
      {&armMesh, L"Scanner\\ScannerArm.sdkmesh", MeshDrawing::firstRecord},
      {&sphereMesh, L"misc\\ReflectSphere.sdkmesh", MeshDrawing::throughFrames}};
  for (const SceneMesh& mesh : meshes) {
    hr = mesh.mesh->Create(device, mesh.name, true, mesh.drawing);
    if (FAILED(hr)) return hr;
  }

  cubeProjection = CubeProjection();
  return S_OK;
}
}  // namespace

HRESULT CreateSceneResources(ID3D10Device* device) {
  const HRESULT hr = CreateSceneResourcesOn(device);
  // The framework calls the device-destroyed callback only after a successful creation, so what
  // a failed one made goes here.
  if (FAILED(hr)) DestroySceneResources();
  return hr;
}

HRESULT ResizeScene(ID3D10Device* device, IDXGISwapChain*, const DXGI_SURFACE_DESC& backBuffer) {
  HRESULT hr = dialogResourceManager.OnD3D10ResizedSwapChain(device, backBuffer);
  if (FAILED(hr)) return hr;
  hr = settingsDialog.OnD3D10ResizedSwapChain(device, backBuffer);
  if (FAILED(hr)) return hr;
  camera.SetProjParams(1.0471976f,
                       static_cast<float>(backBuffer.Width) / static_cast<float>(backBuffer.Height),
                       0.5f, 1000.0f);
  const int width = static_cast<int>(backBuffer.Width);
  const int height = static_cast<int>(backBuffer.Height);
  camera.SetWindow(width, height, 0.9f);
  camera.SetButtonMasks(mouseLeftButton, mouseWheel, mouseMiddleButton);
  LayOutSceneUi(Ui(), width, height);
  return hr;
}

void DrawFrame(ID3D10Device* device, double, float elapsed) {
  if (EndTimedRunWhenDue()) return;
  const Vector3 eye = camera.GetEyePt();
  const float eyeVector[4] = {eye.x, eye.y, eye.z, 0.0f};
  scene.eye->SetFloatVector(eyeVector);

  FrameworkState& framework = Framework();
  DevicePainter painter(device, scene, Meshes(), framework.renderTargetView.get(),
                        framework.depthStencilView.get());
  const SceneWorlds worlds{roomWorld, Multiply(armRotation, roomWorld), sphereWorld};
  if (!settingsDialog.IsActive()) {
    UpdateEnvironmentMap(painter, worlds, EnvironmentFaceViews(sphereWorld, cubeFaceViews),
                         cubeProjection);
  }
  UnbindPixelShaderResources(device);
  device->IASetInputLayout(scene.sceneLayout.get());
  if (settingsDialog.IsActive()) {
    painter.ClearBackBuffer(frameClearColour);
    settingsDialog.OnRender(elapsed);
    return;
  }
  const Matrix view = camera.GetViewMatrix();
  const Matrix projection = camera.GetProjMatrix();
  DrawScenePasses(painter, worlds, view, projection);
  UnbindPixelShaderResources(device);
  if (textWriter) DrawSceneUi(testRun, Ui(), *textWriter, framework, elapsed);
}

void ReleaseSwapChainResources() { dialogResourceManager.OnD3D10ReleasingSwapChain(); }

void DestroySceneResources() {
  dialogResourceManager.OnD3D10DestroyDevice();
  settingsDialog.OnD3D10DestroyDevice();
  textWriter.reset();
  ReleaseFontAndSprite(&fontAndSprite);
  ReleaseSceneResources(&scene);
  roomMesh.Destroy();
  monitorsMesh.Destroy();
  armMesh.Destroy();
  sphereMesh.Destroy();
}

void HandleGuiEvent(UINT, int controlId, CDXUTControl* control) {
  ApplySceneUiEvent(Framework(), Ui(), controlId, control, &scene.useInstancing);
}

#pragma once
// The graphics test's process-wide objects, made before wWinMain in one translation unit.
#include <cstdint>
#include <fstream>

#include "gputest/framework/camera.h"
#include "gputest/framework/dialogs.h"
#include "gputest/mesh/sdk_mesh.h"
#include "gputest/timed_test_run.h"

// The scene's objects, empty until the device callbacks fill them.
extern CModelViewerCamera camera;
extern CDXUTDialogResourceManager dialogResourceManager;
extern CD3DSettingsDlg settingsDialog;
extern CDXUTDialog hudDialog;
extern CDXUTDialog sampleDialog;
extern CDXUTSDKMesh roomMesh;      // "Scanner\ScannerRoom.sdkmesh"
extern CDXUTSDKMesh monitorsMesh;  // "Scanner\ScannerMonitors.sdkmesh"
extern CDXUTSDKMesh armMesh;       // "Scanner\ScannerArm.sdkmesh"
extern CDXUTSDKMesh sphereMesh;    // "misc\ReflectSphere.sdkmesh"

extern TimedTestRun testRun;       // "ZORTA": the measured run
extern double runStartTime;        // timeGetTime at start-up, for the trace log
extern TimedTestRun dummyRun;      // "DUMMY": only its interactive flag gates window input
extern std::ofstream gpuTraceStream;  // "gputrace.log"
extern TestStopClock testStopClock;   // the launch guard and the run's two ticks

// Appends one line to the trace log; a log that could not be opened drops it.
void WriteTraceLine(const char* file, int line, const char* function, const std::string& message);

// The graphics test's process-wide objects. They live in this one translation unit so that they
// are made in this order before wWinMain and destroyed in reverse after it, the trace file first
// (flushed and closed). The scene's empty objects stand ahead of testRun.
#include "gputest/process_globals.h"

#include <windows.h>
#include <mmsystem.h>

#include "gputest/trace_line.h"

CModelViewerCamera camera;
CDXUTDialogResourceManager dialogResourceManager;
CD3DSettingsDlg settingsDialog;
CDXUTDialog hudDialog;
CDXUTDialog sampleDialog;
CDXUTSDKMesh roomMesh;
CDXUTSDKMesh monitorsMesh;
CDXUTSDKMesh armMesh;
CDXUTSDKMesh sphereMesh;
TimedTestRun testRun("ZORTA");
double runStartTime = static_cast<double>(static_cast<unsigned long>(timeGetTime()));
TimedTestRun dummyRun("DUMMY");
std::ofstream gpuTraceStream("gputrace.log", std::ios::out | std::ios::trunc);
TestStopClock testStopClock;

void WriteTraceLine(const char* file, int line, const char* function, const std::string& message) {
  WriteTraceLineTo(gpuTraceStream, static_cast<uint32_t>(timeGetTime()), runStartTime, file, line,
                   function, message);
}

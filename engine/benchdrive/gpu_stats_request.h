#pragma once
// Asking the GPU statistics child about the display chosen for an adapter.
#include <string>

#include "engine/bench_jobs.h"
#include "engine/result_document.h"

struct DisplayFacts {
  int adapterOrdinal = -1;  // 0-based Direct3D 9 ordinal
  bool isMainDisplay = false;
  std::string deviceName;      // the monitor's GDI device name
  int hr = 0, vr = 0, rr = 0;  // width and height of the monitor in pixels, refresh rate in Hz
};

// The child's command line: the bare name, found beside the run engine.
extern const char* const kGpuStatsCommandLine;

// Runs the child for the display and appends its members and the display's disp keys to the
// component's componentInfo in key order; monitorName gets its "monHWName". Returns false, with an
// error line and nothing merged, when the answer lacks "GPUSTATS_EXIT_CODE" (text that the JSON
// library cannot read, such as a number out of range, included). A member that is not a JSON
// string raises the JSON library's type error, a key that AddReplyValue refuses a standard
// exception.
bool RequestGpuStats(const DisplayFacts& display, Tree& component, std::string& monitorName,
                     ChildRunner runChild);

#pragma once
// What every program on ZORTA's framework does around its own frame: the run on the adapter the
// command line names, and the end of the timed run.
#include "gputest/framework/framework.h"

// Once the timed run is due to stop: writes the result file and shuts the framework down with its
// exit code. True when it did, so the frame draws nothing more.
bool EndTimedRunWhenDue();

// The run once the callbacks are set: the adapter and output the command line names (exit code 66
// when there are none), then the window, the device and the message loop.
int RunOnNamedAdapter(FrameworkState& framework);

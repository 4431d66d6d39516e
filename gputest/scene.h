#pragma once
// The test's frame callbacks.
#include <d3d10.h>

// Ends the run when its time is up (writing the result file and shutting the framework down),
// otherwise clears the back buffer for the framework to present.
void DrawFrame(ID3D10Device* device, double time, float elapsed);

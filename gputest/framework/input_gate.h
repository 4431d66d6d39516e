#pragma once
// Which window messages are keyboard and mouse input, which a measured run keeps away from the
// test and the framework.
#include <windows.h>

// True for a key or mouse-button message, the wheel, and a mouse move when moves are reported.
bool IsUserInputMessage(UINT message, bool reportMouseMoves);

// The pointer as the skin engine asks about it.
#pragma once

#include "Handles.h"
#include "Messages.h"

namespace ModAPI {

// Mouse capture. The window system already sends every pointer message to
// the window a button went down on until the button comes up, which is when
// the engine captures; so capturing only records the window. SetCapture
// returns the window that had the capture.
HWND SetCapture(HWND window);
int ReleaseCapture();

// The pointer's position in screen pixels.
int GetCursorPos(POINT* point);

}  // namespace ModAPI

// The pointer and the keyboard as the skin engine asks about them.
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

constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
// The high bit (the value is negative) while the key is down; only the
// three modifier keys are known.
qint16 GetAsyncKeyState(int virtualKey);

}  // namespace ModAPI

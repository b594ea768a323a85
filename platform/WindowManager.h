// What the desktop's window manager (or Wayland compositor) does for the
// program's windows, where one runs.
#pragma once

#include "Handles.h"

#include <QByteArray>
#include <QPoint>
#include <Qt>

class QWindow;

namespace ModAPI {

// A window manager or compositor manages the top-level windows: on Wayland
// always, on X11 when one announces itself on the root window
// (_NET_SUPPORTING_WM_CHECK). Such a one decides where a maximised window goes
// and restores it; the program then never places it itself.
bool WindowManagerRuns();

// Hands the move (no edges) or resize of `window` to an X11 window manager.
// By the pointer: from `pressedAt`, the screen point (logical pixels) where
// the button went down; the manager moves the window by how far the pointer
// is from there, so it never jumps, however late the hand-over comes. By
// the keyboard: the manager's own keyboard move or size. False where there
// is none to hand it to (no X11, no window manager).
enum class MoveBy { Pointer, Keyboard };
bool StartX11MoveResize(QWindow* window, QPoint pressedAt, Qt::Edges edges, MoveBy by);
// A move or resize can be started from the keyboard (the window menu's 移动
// and 大小): only an X11 window manager does that. A Wayland compositor
// starts one only for a pointer's press, and without a window manager
// nothing would follow the keys.
bool KeyboardMoveAvailable();

// The window system cuts a window to its mask itself (X11's shapes, where
// no compositing manager runs; the offscreen platform). Elsewhere the mask
// is only the input region, and a window shows a rounded outline only
// through pixels outside it that are fully transparent.
bool WindowSystemShapesWindows();

// The X11 class of the program's windows (WM_CLASS), instance and class
// name. The property is Latin-1, so both parts are the desktop entry's
// StartupWMClass.
QByteArray WindowClass();
// Gives the top-level window `window` that class, on X11 (elsewhere nothing).
void ApplyWindowClass(HWND window);

}  // namespace ModAPI

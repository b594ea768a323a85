// Top-level windows seen through the Windows window calls the skin engine
// makes. A window handle names a QWidget; once the widget is destroyed its
// handle names nothing. Rectangles are in pixels: window rectangles in screen
// coordinates including the frame the window system draws, client rectangles
// from (0, 0).
#pragma once

#include "Gdi.h"
#include "Handles.h"

#include <functional>

class QWidget;

namespace ModAPI {

// The handle of `widget`; the same widget always gets the same handle.
HWND WindowHandle(QWidget* widget);
// The widget behind `window`, null when there is none (any more).
QWidget* WindowWidget(HWND window);

constexpr int GWL_STYLE = -16;
constexpr quint32 WS_MAXIMIZEBOX = 0x00010000;
constexpr quint32 WS_MINIMIZEBOX = 0x00020000;
constexpr quint32 WS_THICKFRAME = 0x00040000;
constexpr quint32 WS_SYSMENU = 0x00080000;
constexpr quint32 WS_DLGFRAME = 0x00400000;
constexpr quint32 WS_BORDER = 0x00800000;
constexpr quint32 WS_CAPTION = WS_BORDER | WS_DLGFRAME;
constexpr quint32 WS_VISIBLE = 0x10000000;

constexpr unsigned SWP_NOSIZE = 0x0001;
constexpr unsigned SWP_NOMOVE = 0x0002;
constexpr unsigned SWP_NOZORDER = 0x0004;
constexpr unsigned SWP_NOACTIVATE = 0x0010;
constexpr unsigned SWP_FRAMECHANGED = 0x0020;

// The style word (only GWL_STYLE is known). Until a style is set it is derived
// from the widget: WS_CAPTION unless frameless, WS_THICKFRAME when its size
// is not fixed, the system menu and box bits from its window hints.
qint32 GetWindowLongA(HWND window, int index);
// Stores the style word and returns the previous one. As on Windows, the
// frame follows a new style at the next SetWindowPos with SWP_FRAMECHANGED:
// without the full WS_CAPTION the window loses its system frame and caption.
qint32 SetWindowLongA(HWND window, int index, qint32 value);
// Moves (outer position) and sizes (outer size) the window unless
// SWP_NOMOVE / SWP_NOSIZE, applies the stored style on SWP_FRAMECHANGED,
// raises the window unless SWP_NOZORDER and activates it unless
// SWP_NOACTIVATE. `insertAfter` is ignored: the window goes to the top.
int SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, unsigned flags);
int GetWindowRect(HWND window, RECT* rect);
int GetClientRect(HWND window, RECT* rect);
bool IsZoomed(HWND window);
// Gives the window the outline `region` (window coordinates; 0 removes the
// outline). The window takes the region over: the handle is spent by this
// call whatever its outcome.
int SetWindowRgn(HWND window, HRGN region, bool redraw);

constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
// Shows the window normal (SW_SHOWNORMAL, SW_RESTORE), minimised
// (SW_MINIMIZE, SW_SHOWMINIMIZED) or maximised (SW_SHOWMAXIMIZED). Nonzero
// when it was visible before.
int ShowWindow(HWND window, int command);
// The caption's length in bytes of the system code page, and the caption
// itself in such bytes, NUL-terminated and cut to `size` - 1 bytes (never
// inside a double-byte character); returns the bytes copied.
int GetWindowTextLengthA(HWND window);
int GetWindowTextA(HWND window, char* buffer, int size);
// The window's small icon, 0 when it has none. Names the window's icon, so
// it is not freed and follows the icon the window has when it is drawn.
HICON WindowSmallIcon(HWND window);
// A number for the picture `icon` names now (0 for none): it changes when the
// window gets another icon, while the handle stays the same.
qint64 IconPictureKey(HICON icon);

constexpr unsigned SPI_GETWORKAREA = 0x0030;
// Only SPI_GETWORKAREA: the work area of the primary screen (the desktop
// less its panels) into the RECT at `data`, in screen pixels.
int SystemParametersInfoA(unsigned action, unsigned param, void* data, unsigned winIni);
// Where the work area comes from; tests replace it.
std::function<RECT()>& WorkAreaSource();

constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
// The width and height of the virtual desktop, the box around all screens
// (no window needs to be larger; 0 without screens), and how far the pointer
// moves with a button held before that counts as a drag (the desktop's
// setting, both ways alike). 0 for another index.
int GetSystemMetrics(int index);

}  // namespace ModAPI

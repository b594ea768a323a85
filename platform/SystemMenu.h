// The system menu of a window: 还原, 移动, 大小, 最小化, 最大化 and 关闭, each
// enabled as the window's state and style allow, shown at a screen point.
#pragma once

#include "Gdi.h"
#include "Handles.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace ModAPI {

using HMENU = Handle<struct MenuTag>;

struct MenuItem {
  QString text;         // empty for a separator
  quint32 command = 0;  // the SC_ command it sends
  bool enabled = false;
};

// The window's system menu; 0 when the window is gone or its style has no
// WS_SYSMENU. `revert` is ignored (the menu is never changed).
HMENU GetSystemMenu(HWND window, bool revert);
// The items as they stand now: restore only when maximised or minimised,
// move only when not maximised, size only with WS_THICKFRAME and not
// maximised, minimise and maximise as the style's boxes allow (maximise not
// while maximised), close always.
std::vector<MenuItem> SystemMenuItems(HMENU menu);

constexpr unsigned TPM_RETURNCMD = 0x0100;
// Shows the menu at (x, y) in screen pixels until the user chooses or
// dismisses it. With TPM_RETURNCMD the result is the chosen command, 0 when
// dismissed; without it, nonzero when something was chosen. `reserved` and
// `rect` are ignored.
qint32 TrackPopupMenu(HMENU menu, unsigned flags, int x, int y, int reserved, HWND owner,
                      const RECT* rect);

// Shows the menu and waits for the choice; tests replace it, since the real
// one blocks until the user acts.
using PopupMenu =
    std::function<quint32(const std::vector<MenuItem>& items, int x, int y, HWND owner)>;
PopupMenu& PopupMenuSource();

// Alt+Space on `window` sends it WM_SYSCOMMAND with SC_KEYMENU, as the
// window system does for every window with a system menu, and so does
// Alt+Shift+Space, which no desktop tried takes for itself (GNOME, openbox
// and xfwm4 keep Alt+Space for their own window menu); the window's own
// handling (DefWindowProcA) then shows the menu at its top-left corner and
// sends it the chosen command.
void InstallSystemMenuKey(QWidget* window);
// That handling: nonzero when a menu was shown.
qint32 ShowSystemMenuFromKeyboard(HWND window);

}  // namespace ModAPI

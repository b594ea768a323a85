// The message hook: it puts a handler in front of a window's own handling.
// The hooked window's Qt events become the window messages the handler has
// subscribed (WM_PAINT, WM_SIZE, the mouse and key messages, WM_MOUSELEAVE,
// WM_NCACTIVATE); messages sent with SendMessageA and the timers' WM_TIMER
// take the same path. For a subscribed message the hook contract holds:
//  - before: the handler sees it first; when it sets bHandled, lReturn is the
//    result and the window's own handling does not run;
//  - otherwise the window's own handling runs and its result becomes lReturn;
//  - after: the handler then sees it with that lReturn, which it may change.
// The hook also asks WM_GETMINMAXINFO where the window system needs size
// limits: after every size change (smallest and largest size the user can
// drag the window to) and when the window is maximised (its size and place).
#pragma once

#include "Handles.h"
#include "Messages.h"

#include <vector>

namespace ModAPI {

// Whoever handles the messages of hooked windows.
class SubclassHandler {
 public:
  virtual void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, HWND& lhWnd,
                              quint32& uMsg, quint32& wParam, qint32& lParam) = 0;

 protected:
  ~SubclassHandler() = default;
};

constexpr qint32 AllMessages = -1;
constexpr qint32 WhenAfter = 1;
constexpr qint32 WhenBefore = 2;

using HHOOK = Handle<struct HookTag>;  // a window's message hook

// One hooked window and its subscriptions; window 0 marks a free record.
// A count of AllMessages subscribes every message; a list entry 0 is a free
// place. The lists are 0-based here (entry i is message place i + 1).
struct SubclassRecord {
  HWND window;
  HHOOK hook;  // stands where the window's own handling was
  qint32 beforeCount = 0;
  qint32 afterCount = 0;
  std::vector<quint32> beforeList;
  std::vector<quint32> afterList;
};

using SubclassTable = std::vector<SubclassRecord>;

// Installs a hook on `window` that calls `handler`, in a free record of
// `table` (searched from the end; the table grows when there is none) and
// returns the record's index; -1 when the window is gone or already hooked
// (a window carries one hook). The handler must outlive the hook.
qint32 AttachSubclass(SubclassTable& table, HWND window, SubclassHandler& handler);
// Subscribes `message` (or AllMessages) for the phases in `when`. A message
// already in a list is not added again. Takes effect from the next message.
void AddMessage(SubclassTable& table, HWND window, qint32 message, qint32 when);
// Removes the window's hook and clears its record; the handler is not called
// again, even by a message being handled right now.
void DetachSubclass(SubclassTable& table, HWND window);
// DetachSubclass for every record with a window, from the last to the first.
void DetachAllSubclasses(SubclassTable& table);

// Runs the message through the window's hook (if any) and its own handling;
// returns the result. 0 for a window that is gone.
qint32 SendMessageA(HWND window, quint32 message, quint32 wParam, qint32 lParam);
// The window's own handling of the messages the program sends: WM_CLOSE
// closes it, WM_SYSCOMMAND carries out SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE,
// SC_RESTORE, SC_MOVE and SC_SIZE and opens the system menu for SC_KEYMENU, WM_NCLBUTTONDOWN starts
// the system's move (HTCAPTION) or resize (the edge and corner codes), WM_GETICON answers the
// window's small icon. Everything else gives 0.
qint32 DefWindowProcA(HWND window, quint32 message, quint32 wParam, qint32 lParam);

// The window's size limits as its hook answers WM_GETMINMAXINFO, starting
// from the window system's: maximised to the work area, tracked within the
// widget's own minimum and maximum size.
MINMAXINFO QueryMinMaxInfo(HWND window);

constexpr quint32 TME_LEAVE = 0x00000002;
struct TRACKMOUSEEVENT {
  quint32 cbSize = 16;
  quint32 dwFlags = 0;
  HWND hwndTrack;
  quint32 dwHoverTime = 0;
};
// With TME_LEAVE: the next time the pointer leaves the hooked window, one
// WM_MOUSELEAVE goes to it (once per request). Nonzero on success.
int _TrackMouseEvent(TRACKMOUSEEVENT* track);

}  // namespace ModAPI

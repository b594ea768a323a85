// Window timers: each (window, id) pair sends WM_TIMER with wParam = id
// through the window's message path every `elapse` milliseconds until it is
// killed or the window goes. The clock is a seam: a test stops it and lets
// the timers fire one round at a time.
#pragma once

#include "Handles.h"

namespace ModAPI {

// Starts the timer, or restarts the period of one already set. `timerProc`
// must be null (WM_TIMER goes to the window). Returns `id`, 0 when the
// window is gone.
quint32 SetTimer(HWND window, quint32 id, quint32 elapse, const void* timerProc);
// Nonzero when the timer was set.
int KillTimer(HWND window, quint32 id);
bool IsTimerSet(HWND window, quint32 id);

// With a manual clock timers fire only through TickTimers.
void SetManualClock(bool manual);
// Sends one WM_TIMER for every timer set now, oldest first (skipping one
// killed meanwhile); returns how many were sent.
int TickTimers();

}  // namespace ModAPI

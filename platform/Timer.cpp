#include "Timer.h"

#include "Messages.h"
#include "Subclass.h"
#include "Window.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace ModAPI {
namespace {

struct WindowTimer {
  HWND window;
  quint32 id;
  QPointer<QTimer> timer;  // belongs to the window, so it ends with it
};

struct Clock {
  bool manual = false;
  std::vector<WindowTimer> timers;  // in the order they were set
};

Clock& theClock() {
  static Clock clock;
  return clock;
}

// Timers whose window has gone are dropped on the way.
std::vector<WindowTimer>::iterator Find(HWND window, quint32 id) {
  auto& timers = theClock().timers;
  std::erase_if(timers, [](const WindowTimer& t) { return !t.timer; });
  return std::find_if(timers.begin(), timers.end(),
                      [&](const WindowTimer& t) { return t.window == window && t.id == id; });
}

}  // namespace

quint32 SetTimer(HWND window, quint32 id, quint32 elapse, const void* timerProc) {
  QWidget* widget = WindowWidget(window);
  if (!widget || timerProc) return 0;
  auto found = Find(window, id);
  if (found == theClock().timers.end()) {
    auto* timer = new QTimer(widget);
    QObject::connect(timer, &QTimer::timeout,
                     [window, id] { SendMessageA(window, WM_TIMER, id, 0); });
    theClock().timers.push_back({window, id, timer});
    found = std::prev(theClock().timers.end());
  }
  found->timer->setInterval(int(elapse));
  if (!theClock().manual) found->timer->start();
  return id;
}

int KillTimer(HWND window, quint32 id) {
  const auto found = Find(window, id);
  if (found == theClock().timers.end()) return 0;
  delete found->timer.data();
  theClock().timers.erase(found);
  return 1;
}

bool IsTimerSet(HWND window, quint32 id) {
  return Find(window, id) != theClock().timers.end();
}

void SetManualClock(bool manual) {
  theClock().manual = manual;
  for (const WindowTimer& t : theClock().timers) {
    if (!t.timer) continue;
    if (manual)
      t.timer->stop();
    else
      t.timer->start();
  }
}

int TickTimers() {
  std::vector<std::pair<HWND, quint32>> due;
  Find({}, 0);  // drops timers of windows that have gone
  for (const WindowTimer& t : theClock().timers) due.emplace_back(t.window, t.id);
  int sent = 0;
  for (const auto& [window, id] : due) {
    if (!IsTimerSet(window, id)) continue;  // killed earlier in this round
    SendMessageA(window, WM_TIMER, id, 0);
    ++sent;
  }
  return sent;
}

}  // namespace ModAPI

// Waiting in a real event loop for something that a signal announces: the
// loop runs every event as it comes, unlike polling, which sleeps between
// rounds and slows down the engine's many small tasks.
#pragma once

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs the event loop until `done()` holds, checked at once and after each
// `signal` of `sender`; false when it still does not hold after `boundMs`.
template <typename Sender, typename Signal>
bool WaitForSignal(Sender* sender, Signal signal, const std::function<bool()>& done, int boundMs) {
  if (done()) return true;
  QEventLoop loop;
  QTimer::singleShot(boundMs, &loop, &QEventLoop::quit);
  QObject::connect(sender, signal, &loop, [&] {
    if (done()) loop.quit();
  });
  loop.exec();
  return done();
}

#include "FirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdio>

namespace ModAPI {
namespace {

// Watches for the window's first paint event. The window's children paint
// and the frame is flushed to the window system within the same round of the
// event loop, so the action, posted from there, runs after both. It watches
// from the application, ahead of the window's own event filters, one of
// which may take the paint event over (the skin's message hook does).
class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget* window, std::function<void()> action)
      : QObject(window), action_(std::move(action)) {
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && watched == parent()) {
      QCoreApplication::instance()->removeEventFilter(this);
      QMetaObject::invokeMethod(parent(), std::move(action_), Qt::QueuedConnection);
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void()> action_;
};

}  // namespace

void AfterFirstFrame(QWidget* window, std::function<void()> action) {
  new FirstPaint(window, std::move(action));
}

void ReportFirstFrameIfAsked(QWidget* window) {
  if (!qEnvironmentVariableIsSet("COURIER_QUERY_REPORT_FIRST_FRAME")) return;
  AfterFirstFrame(window, [] {
    std::fputs("first frame\n", stdout);
    std::fflush(stdout);
  });
}

}  // namespace ModAPI

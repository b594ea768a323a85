#include "SystemMove.h"

#include "CursorInternal.h"
#include "Subclass.h"
#include "Window.h"
#include "WindowManager.h"

#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace ModAPI {
namespace {

// Sits in front of every other event filter of the window while it drags.
class PlainDrag : public QObject {
 public:
  PlainDrag(QWidget* window, Qt::Edges edges) : window_(window), edges_(edges) {
    const HWND handle = WindowHandle(window);
    const MINMAXINFO limits = QueryMinMaxInfo(handle);
    least_ = {limits.ptMinTrackSize.x, limits.ptMinTrackSize.y};
    most_ = {limits.ptMaxTrackSize.x, limits.ptMaxTrackSize.y};
    RECT outer;
    GetWindowRect(handle, &outer);
    start_ = QRect(QPoint(outer.left, outer.top), QPoint(outer.right - 1, outer.bottom - 1));
    pointer_ = PointerPressPosition();
    window->installEventFilter(this);
    // Handed over after the pointer moved: the window catches up at once.
    if (PointerMessagePosition() != pointer_) follow(PointerMessagePosition() - pointer_);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != window_) return false;
    switch (event->type()) {
      case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        follow(move->globalPosition().toPoint() - pointer_);
        return true;
      }
      case QEvent::MouseButtonRelease:
        window_->removeEventFilter(this);
        deleteLater();
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        return true;
      default:
        return false;
    }
  }

 private:
  void follow(QPoint delta) {
    const QRect r = DraggedRect(start_, edges_, delta, least_, most_);
    SetWindowPos(WindowHandle(window_), {}, r.x(), r.y(), r.width(), r.height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  QPointer<QWidget> window_;
  Qt::Edges edges_;
  QRect start_;
  QPoint pointer_;
  QSize least_;
  QSize most_;
};

// The edge's new coordinate, limited so that the size stays within the limits.
int Limited(int moved, int fixed, int sign, int least, int most) {
  const int lo = fixed + sign * least;
  const int hi = fixed + sign * std::max(least, most);
  return std::clamp(moved, std::min(lo, hi), std::max(lo, hi));
}

}  // namespace

// A maximised window keeps its place and size: dragging it would also make
// the toolkit end the maximised state without a word.
void StartSystemMoveResize(QWidget* window, Qt::Edges edges, bool buttonHeld) {
  QWindow* handle = window ? window->windowHandle() : nullptr;
  if (!handle || window->isMaximized()) return;
  const MoveBy by = buttonHeld ? MoveBy::Pointer : MoveBy::Keyboard;
  if (StartX11MoveResize(handle, PointerPressPosition(), edges, by)) return;
  const bool started = edges ? handle->startSystemResize(edges) : handle->startSystemMove();
  if (!started && buttonHeld) new PlainDrag(window, edges);
}

// Right and bottom are exclusive here (x + width), so that sizes add up.
QRect DraggedRect(const QRect& start, Qt::Edges edges, QPoint delta, QSize least, QSize most) {
  if (!edges) return start.translated(delta);
  int left = start.x();
  int top = start.y();
  int right = start.x() + start.width();
  int bottom = start.y() + start.height();
  if (edges & Qt::LeftEdge)
    left = Limited(left + delta.x(), right, -1, least.width(), most.width());
  if (edges & Qt::RightEdge)
    right = Limited(right + delta.x(), left, 1, least.width(), most.width());
  if (edges & Qt::TopEdge)
    top = Limited(top + delta.y(), bottom, -1, least.height(), most.height());
  if (edges & Qt::BottomEdge)
    bottom = Limited(bottom + delta.y(), top, 1, least.height(), most.height());
  return QRect(left, top, right - left, bottom - top);
}

}  // namespace ModAPI

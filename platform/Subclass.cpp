#include "Subclass.h"

#include "CursorInternal.h"
#include "SystemMenu.h"
#include "SystemMove.h"
#include "Window.h"
#include "WindowManager.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>
#include <unordered_map>

namespace ModAPI {
namespace {

struct Message {
  quint32 msg;
  quint32 wParam;
  qint32 lParam;
};

bool listed(qint32 count, const std::vector<quint32>& list, quint32 msg) {
  if (count == AllMessages) return true;
  for (qint32 i = 0; i < count && size_t(i) < list.size(); ++i) {
    if (list[size_t(i)] == msg) return true;
  }
  return false;
}

quint32 mouseKeys(const QMouseEvent* e) {
  quint32 keys = 0;
  if (e->buttons() & Qt::LeftButton) keys |= MK_LBUTTON;
  if (e->buttons() & Qt::RightButton) keys |= MK_RBUTTON;
  if (e->buttons() & Qt::MiddleButton) keys |= MK_MBUTTON;
  if (e->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  if (e->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  return keys;
}

std::optional<Message> mouseMessage(const QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  const qint32 lParam = MAKELPARAM(p.x(), p.y());
  if (e->type() == QEvent::MouseMove) return Message{WM_MOUSEMOVE, mouseKeys(e), lParam};
  quint32 down = 0;
  switch (e->button()) {
    case Qt::LeftButton:
      down = WM_LBUTTONDOWN;
      break;
    case Qt::RightButton:
      down = WM_RBUTTONDOWN;
      break;
    case Qt::MiddleButton:
      down = WM_MBUTTONDOWN;
      break;
    default:
      return std::nullopt;
  }
  // Down, up and double-click lie one apart for every button.
  const quint32 offset = e->type() == QEvent::MouseButtonPress     ? 0
                         : e->type() == QEvent::MouseButtonRelease ? 1
                                                                   : 2;
  return Message{down + offset, mouseKeys(e), lParam};
}

quint32 sizeKind(const QWidget* widget) {
  return widget->isMinimized()   ? SIZE_MINIMIZED
         : widget->isMaximized() ? SIZE_MAXIMIZED
                                 : SIZE_RESTORED;
}

class Hook;

std::unordered_map<quint32, QPointer<Hook>>& hooksByWindow() {
  static std::unordered_map<quint32, QPointer<Hook>> hooks;
  return hooks;
}
std::unordered_map<quint32, QPointer<Hook>>& hooksByHandle() {
  static std::unordered_map<quint32, QPointer<Hook>> hooks;
  return hooks;
}

class Hook : public QObject {
 public:
  Hook(HWND window, QWidget* widget, SubclassHandler& handler)
      : window_(window), widget_(widget), handler_(&handler) {
    static quint32 next = 1;
    handle_ = HHOOK{next++};
    hooksByWindow()[window.value] = this;
    hooksByHandle()[handle_.value] = this;
    tracked_ = widget->hasMouseTracking();
    density_ = widget->devicePixelRatioF();
    // Windows reports every pointer move; Qt only does so with tracking on.
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, &QObject::deleteLater);
    ApplyWindowClass(window);
  }
  ~Hook() override {
    forget();
    hooksByHandle().erase(handle_.value);
  }

  HHOOK handle() const { return handle_; }

  void setLists(const SubclassRecord& record) {
    beforeCount_ = record.beforeCount;
    afterCount_ = record.afterCount;
    before_ = record.beforeList;
    after_ = record.afterList;
  }

  // Messages may be on their way through this hook: it stays until the
  // event loop next runs, passing everything on.
  void detach() {
    handler_ = nullptr;
    forget();
    if (widget_) {
      widget_->removeEventFilter(this);
      widget_->setMouseTracking(tracked_);
    }
    deleteLater();
  }

  qint32 send(Message m) {
    return dispatch(m,
                    [this](Message own) {
                      return DefWindowProcA(window_, own.msg, own.wParam, own.lParam);
                    })
        .result;
  }

  void requestLeave() { leaveRequested_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != widget_ || !handler_) return false;
    if (event->type() == QEvent::WindowStateChange) {
      followWindowState(static_cast<QWindowStateChangeEvent*>(event)->oldState());
      // The frame follows the state (glyphs, corners), whether or not the
      // size changed with it, and before or after the state came.
      send(sizeMessage());
      return false;
    }
    // Each new native window gets the toolkit's class, which is not Latin-1.
    if (event->type() == QEvent::WinIdChange) ApplyWindowClass(window_);
    const std::optional<Message> message = messageOf(event);
    if (!message) return false;
    const bool pointer = message->msg == WM_MOUSEMOVE || message->msg == WM_LBUTTONDOWN ||
                         message->msg == WM_RBUTTONDOWN || message->msg == WM_MBUTTONDOWN;
    if (pointer)
      BeginPointerMessage(widget_, static_cast<QMouseEvent*>(event)->globalPosition().toPoint(),
                          message->msg != WM_MOUSEMOVE);
    const bool delivered = deliver(*message, event);
    if (pointer) EndPointerMessage();
    if (event->type() == QEvent::Resize) afterResize(event->spontaneous());
    return delivered;
  }

 private:
  struct Outcome {
    qint32 result = 0;
    bool swallowed = false;
  };

  template <typename Own>
  Outcome dispatch(Message m, Own own) {
    HWND window = window_;
    Outcome outcome;
    if (handler_ && listed(beforeCount_, before_, m.msg)) {
      handler_->zSubclass_Proc(true, outcome.swallowed, outcome.result, window, m.msg, m.wParam,
                               m.lParam);
      if (outcome.swallowed) return outcome;
      outcome.result = 0;
    }
    outcome.result = own(m);
    if (handler_ && listed(afterCount_, after_, m.msg)) {
      bool handled = false;
      handler_->zSubclass_Proc(false, handled, outcome.result, window, m.msg, m.wParam, m.lParam);
    }
    return outcome;
  }

  // A Qt event that is only before-subscribed and not handled goes on its
  // usual way; with an after-subscription the widget's own handling runs
  // here first (the filter then stops the event).
  bool deliver(Message m, QEvent* event) {
    const bool after = listed(afterCount_, after_, m.msg);
    if (!after && !listed(beforeCount_, before_, m.msg)) return false;
    bool ranOwn = false;
    const Outcome outcome = dispatch(m, [&](Message) {
      ranOwn = true;
      if (!after || !widget_) return qint32(0);
      return qint32(static_cast<QObject*>(widget_.data())->event(event));
    });
    if (outcome.swallowed) event->accept();
    return outcome.swallowed || (ranOwn && after);
  }

  // The window may carry a newer hook by the time this one goes.
  void forget() {
    const auto it = hooksByWindow().find(window_.value);
    if (it != hooksByWindow().end() && it->second == this) hooksByWindow().erase(it);
  }

  std::optional<Message> messageOf(QEvent* event) {
    switch (event->type()) {
      case QEvent::Paint:
        return Message{WM_PAINT, 0, 0};
      case QEvent::Resize:
        return sizeMessage();
      case QEvent::ScreenChangeInternal:
        // On a screen of another pixel density the window's size in pixels
        // changes, as after a resize: it is laid out again.
        if (widget_->devicePixelRatioF() == density_) return std::nullopt;
        density_ = widget_->devicePixelRatioF();
        return sizeMessage();
      case QEvent::MouseMove:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        return mouseMessage(static_cast<QMouseEvent*>(event));
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        return Message{event->type() == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP,
                       key->nativeVirtualKey(), 1};
      }
      case QEvent::Leave:
        if (!leaveRequested_) return std::nullopt;
        leaveRequested_ = false;
        return Message{WM_MOUSELEAVE, 0, 0};
      case QEvent::WindowActivate:
        return Message{WM_NCACTIVATE, 1, 0};
      case QEvent::WindowDeactivate:
        return Message{WM_NCACTIVATE, 0, 0};
      default:
        return std::nullopt;
    }
  }

  Message sizeMessage() const {
    return Message{WM_SIZE, sizeKind(widget_), MAKELPARAM(widget_->width(), widget_->height())};
  }

  // Without a window manager nothing places a maximised window or restores
  // it: the hook's answer does. A window manager decides both itself, and
  // any placement of a maximised window would fight it (an X11 manager takes
  // it as the end of the maximised state, a Wayland compositor as a
  // protocol error).
  void followWindowState(Qt::WindowStates old) {
    const bool maximised = widget_->isMaximized();
    if (WindowManagerRuns()) {
      maximisedPlace_ = QRect();
      return;
    }
    if (maximised && !(old & Qt::WindowMaximized)) {
      normal_ =
          widget_->normalGeometry().isValid() ? widget_->normalGeometry() : widget_->geometry();
      placements_ = 0;
      placeMaximised();
    } else if (!maximised && (old & Qt::WindowMaximized)) {
      if (widget_->frameGeometry() == maximisedPlace_ && normal_.isValid())
        widget_->setGeometry(normal_);
    }
  }

  void placeMaximised() {
    const MINMAXINFO info = QueryMinMaxInfo(window_);
    maximisedPlace_ =
        QRect(info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxSize.x, info.ptMaxSize.y);
    QWindow* window = widget_->windowHandle();
    if (!window || widget_->frameGeometry() == maximisedPlace_) return;
    ++placements_;
    // Through the window: moving the widget would end its maximised state.
    window->setGeometry(maximisedPlace_.marginsRemoved(window->frameMargins()));
  }

  // A window system that places the maximised window after the state change
  // gets the answer once more; never more, so that no window manager is fought.
  void afterResize(bool spontaneous) {
    if (!widget_ || !handler_) return;
    if (spontaneous && widget_->isMaximized() && placements_ < 2 && !WindowManagerRuns())
      placeMaximised();
    applyTrackLimits();
  }

  // A window without a sizing frame keeps its size: equal limits tell the
  // window system so (a tiling compositor then floats it at that size).
  void applyTrackLimits() {
    QWindow* window = widget_->windowHandle();
    if (!window) return;
    const MINMAXINFO info = QueryMinMaxInfo(window_);
    const QSize frame = widget_->frameGeometry().size() - widget_->size();
    const bool sizable = quint32(GetWindowLongA(window_, GWL_STYLE)) & WS_THICKFRAME;
    const QSize least =
        sizable ? QSize(info.ptMinTrackSize.x, info.ptMinTrackSize.y) - frame : widget_->size();
    const QSize most =
        sizable ? QSize(info.ptMaxTrackSize.x, info.ptMaxTrackSize.y) - frame : widget_->size();
    if (window->minimumSize() != least) window->setMinimumSize(least);
    if (window->maximumSize() != most) window->setMaximumSize(most);
  }

  HWND window_;
  HHOOK handle_;
  QPointer<QWidget> widget_;
  SubclassHandler* handler_;
  bool tracked_ = false;
  bool leaveRequested_ = false;
  qreal density_ = 1;
  qint32 beforeCount_ = 0;
  qint32 afterCount_ = 0;
  std::vector<quint32> before_;
  std::vector<quint32> after_;
  QRect normal_;
  QRect maximisedPlace_;
  int placements_ = 0;
};

Hook* hookOfWindow(HWND window) {
  const auto it = hooksByWindow().find(window.value);
  return it == hooksByWindow().end() ? nullptr : it->second.data();
}

Hook* hookOfHandle(HHOOK hook) {
  const auto it = hooksByHandle().find(hook.value);
  return it == hooksByHandle().end() ? nullptr : it->second.data();
}

SubclassRecord* recordOf(SubclassTable& table, HWND window) {
  for (size_t i = table.size(); i-- > 0;) {
    if (table[i].window == window) return &table[i];
  }
  return nullptr;
}

void Subscribe(qint32& count, std::vector<quint32>& list, qint32 message) {
  if (message == AllMessages) {
    count = AllMessages;
    return;
  }
  if (count == AllMessages) return;  // every message is offered already
  for (qint32 i = 0; i < count; ++i) {
    quint32& entry = list[size_t(i)];
    if (entry == 0) {
      entry = quint32(message);
      return;
    }
    if (entry == quint32(message)) return;
  }
  ++count;
  list.resize(size_t(count));
  list.back() = quint32(message);
}

Qt::Edges edgesOfHitTest(quint32 hitTest) {
  switch (hitTest) {
    case HTLEFT:
      return Qt::LeftEdge;
    case HTRIGHT:
      return Qt::RightEdge;
    case HTTOP:
      return Qt::TopEdge;
    case HTBOTTOM:
      return Qt::BottomEdge;
    case HTTOPLEFT:
      return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT:
      return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT:
      return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT:
      return Qt::BottomEdge | Qt::RightEdge;
    default:
      return {};
  }
}

void systemCommand(HWND window, QWidget* widget, quint32 command) {
  switch (command) {
    case SC_CLOSE:
      SendMessageA(window, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      ShowWindow(window, SW_MINIMIZE);
      break;
    case SC_MAXIMIZE:
      ShowWindow(window, SW_SHOWMAXIMIZED);
      break;
    case SC_RESTORE:
      ShowWindow(window, SW_RESTORE);
      break;
    case SC_MOVE:
      StartSystemMoveResize(widget, {}, false);
      break;
    case SC_SIZE:
      StartSystemMoveResize(widget, Qt::BottomEdge | Qt::RightEdge, false);
      break;
    case SC_KEYMENU:
      ShowSystemMenuFromKeyboard(window);
      break;
    default:
      break;
  }
}

}  // namespace

qint32 AttachSubclass(SubclassTable& table, HWND window, SubclassHandler& handler) {
  QWidget* widget = WindowWidget(window);
  if (!widget || hookOfWindow(window)) return -1;
  size_t index = table.size();
  for (size_t i = table.size(); i-- > 0;) {
    if (!table[i].window) {
      index = i;
      break;
    }
  }
  if (index == table.size()) table.emplace_back();
  const Hook* hook = new Hook(window, widget, handler);
  table[index] = SubclassRecord{window, hook->handle(), 0, 0, {}, {}};
  return qint32(index);
}

void AddMessage(SubclassTable& table, HWND window, qint32 message, qint32 when) {
  SubclassRecord* record = recordOf(table, window);
  if (!record) return;
  if (when & WhenBefore) Subscribe(record->beforeCount, record->beforeList, message);
  if (when & WhenAfter) Subscribe(record->afterCount, record->afterList, message);
  if (Hook* hook = hookOfHandle(record->hook)) hook->setLists(*record);
}

void DetachSubclass(SubclassTable& table, HWND window) {
  SubclassRecord* record = recordOf(table, window);
  if (!record || !window) return;
  if (Hook* hook = hookOfHandle(record->hook)) hook->detach();
  *record = SubclassRecord{};
}

void DetachAllSubclasses(SubclassTable& table) {
  for (size_t i = table.size(); i-- > 0;) {
    if (table[i].window) DetachSubclass(table, table[i].window);
  }
}

qint32 SendMessageA(HWND window, quint32 message, quint32 wParam, qint32 lParam) {
  if (Hook* hook = hookOfWindow(window)) return hook->send({message, wParam, lParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

qint32 DefWindowProcA(HWND window, quint32 message, quint32 wParam, qint32) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return 0;
  switch (message) {
    case WM_CLOSE:
      widget->close();
      return 0;
    case WM_SYSCOMMAND:
      systemCommand(window, widget, wParam & 0xFFF0);
      return 0;
    case WM_NCLBUTTONDOWN:
      if (wParam == HTCAPTION) StartSystemMoveResize(widget, {}, true);
      if (const Qt::Edges edges = edgesOfHitTest(wParam))
        StartSystemMoveResize(widget, edges, true);
      return 0;
    case WM_GETICON:
      return qint32(WindowSmallIcon(window).value);
    default:
      return 0;
  }
}

MINMAXINFO QueryMinMaxInfo(HWND window) {
  MINMAXINFO info;
  const QWidget* widget = WindowWidget(window);
  if (!widget) return info;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const QSize frame = widget->frameGeometry().size() - widget->size();
  const QSize least = widget->minimumSize() + frame;
  const QSize most = widget->maximumSize() + frame;
  info.ptMaxSize = {work.right - work.left, work.bottom - work.top};
  info.ptMaxPosition = {work.left, work.top};
  info.ptMinTrackSize = {least.width(), least.height()};
  info.ptMaxTrackSize = {most.width(), most.height()};
  const MinMaxInfoParam param(info);
  SendMessageA(window, WM_GETMINMAXINFO, 0, param.lParam());
  return info;
}

int _TrackMouseEvent(TRACKMOUSEEVENT* track) {
  Hook* hook = track ? hookOfWindow(track->hwndTrack) : nullptr;
  if (!hook) return 0;
  if (track->dwFlags & TME_LEAVE) hook->requestLeave();
  return 1;
}

}  // namespace ModAPI

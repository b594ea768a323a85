#include "Window.h"

#include "CodePage.h"
#include "GdiInternal.h"
#include "WindowManager.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyleHints>
#include <QWidget>

#include <cstring>

#include <unordered_map>

namespace ModAPI {
namespace {

constexpr char kHandleProperty[] = "_cq_hwnd";
constexpr char kStyleProperty[] = "_cq_style";

std::unordered_map<quint32, QPointer<QWidget>>& Windows() {
  static std::unordered_map<quint32, QPointer<QWidget>> windows;
  return windows;
}

quint32 derivedStyle(const QWidget* widget) {
  const Qt::WindowFlags flags = widget->windowFlags();
  // Without customised hints the window system shows its menu and boxes.
  const bool standard = !flags.testFlag(Qt::CustomizeWindowHint);
  quint32 style = 0;
  if (!flags.testFlag(Qt::FramelessWindowHint)) style |= WS_CAPTION;
  if (widget->minimumSize() != widget->maximumSize()) style |= WS_THICKFRAME;
  if (standard || flags.testFlag(Qt::WindowSystemMenuHint)) style |= WS_SYSMENU;
  if (standard || flags.testFlag(Qt::WindowMinimizeButtonHint)) style |= WS_MINIMIZEBOX;
  if (standard || flags.testFlag(Qt::WindowMaximizeButtonHint)) style |= WS_MAXIMIZEBOX;
  return style;
}

quint32 styleOf(const QWidget* widget) {
  const QVariant stored = widget->property(kStyleProperty);
  const quint32 style = stored.isValid() ? stored.toUInt() : derivedStyle(widget);
  return (style & ~WS_VISIBLE) | (widget->isVisible() ? WS_VISIBLE : 0);
}

// Qt knows a window with the system's caption and frame or one without any.
void applyFrameStyle(QWidget* widget, quint32 style) {
  const bool frameless = (style & WS_CAPTION) != WS_CAPTION;
  if (widget->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) return;
  const bool visible = widget->isVisible();
  widget->setWindowFlag(Qt::FramelessWindowHint, frameless);
  if (visible) widget->show();  // changing the flags hides a window
}

QRect outerRect(const QWidget* widget) {
  return widget->isWindow() ? widget->frameGeometry()
                            : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

}  // namespace

HWND WindowHandle(QWidget* widget) {
  if (!widget) return {};
  const QVariant stored = widget->property(kHandleProperty);
  if (stored.isValid()) return HWND{stored.toUInt()};
  static quint32 next = 1;
  const HWND handle{next++};
  Windows().emplace(handle.value, widget);
  widget->setProperty(kHandleProperty, handle.value);
  QObject::connect(widget, &QObject::destroyed, [handle] { Windows().erase(handle.value); });
  return handle;
}

QWidget* WindowWidget(HWND window) {
  const auto it = Windows().find(window.value);
  return it == Windows().end() ? nullptr : it->second.data();
}

qint32 GetWindowLongA(HWND window, int index) {
  const QWidget* widget = WindowWidget(window);
  return widget && index == GWL_STYLE ? qint32(styleOf(widget)) : 0;
}

qint32 SetWindowLongA(HWND window, int index, qint32 value) {
  QWidget* widget = WindowWidget(window);
  if (!widget || index != GWL_STYLE) return 0;
  const quint32 previous = styleOf(widget);
  widget->setProperty(kStyleProperty, quint32(value));
  return qint32(previous);
}

int SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, unsigned flags) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return 0;
  if (flags & SWP_FRAMECHANGED) applyFrameStyle(widget, styleOf(widget));
  if (!(flags & SWP_NOMOVE)) widget->move(x, y);
  if (!(flags & SWP_NOSIZE)) {
    const QSize frame = outerRect(widget).size() - widget->size();
    widget->resize(cx - frame.width(), cy - frame.height());
  }
  if (!(flags & SWP_NOZORDER)) widget->raise();
  if (!(flags & SWP_NOACTIVATE)) widget->activateWindow();
  return 1;
}

int GetWindowRect(HWND window, RECT* rect) {
  const QWidget* widget = WindowWidget(window);
  if (!widget || !rect) return 0;
  const QRect outer = outerRect(widget);
  *rect = {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
  return 1;
}

int GetClientRect(HWND window, RECT* rect) {
  const QWidget* widget = WindowWidget(window);
  if (!widget || !rect) return 0;
  *rect = {0, 0, widget->width(), widget->height()};
  return 1;
}

bool IsZoomed(HWND window) {
  const QWidget* widget = WindowWidget(window);
  return widget && widget->isMaximized();
}

int SetWindowRgn(HWND window, HRGN region, bool redraw) {
  const std::optional<QRegion> outline = TakeRegion(region);
  QWidget* widget = WindowWidget(window);
  if (!widget || (region && !outline)) return 0;
  if (outline) {
    // Before the window is first shown: its pixel format follows.
    if (widget->isWindow() && !widget->testAttribute(Qt::WA_TranslucentBackground) &&
        !WindowSystemShapesWindows())
      widget->setAttribute(Qt::WA_TranslucentBackground);
    const QPoint clientOrigin =
        widget->isWindow() ? widget->geometry().topLeft() - widget->frameGeometry().topLeft()
                           : QPoint(0, 0);
    widget->setMask(outline->translated(-clientOrigin));
  } else {
    widget->clearMask();
  }
  if (redraw) widget->update();
  return 1;
}

int ShowWindow(HWND window, int command) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return 0;
  const bool wasVisible = widget->isVisible();
  switch (command) {
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      widget->showNormal();
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
      widget->showMinimized();
      break;
    case SW_SHOWMAXIMIZED:
      widget->showMaximized();
      break;
    default:
      break;
  }
  return wasVisible;
}

int GetWindowTextLengthA(HWND window) {
  const QWidget* widget = WindowWidget(window);
  return widget ? int(ToCodePage(CP_ACP, widget->windowTitle()).size()) : 0;
}

int GetWindowTextA(HWND window, char* buffer, int size) {
  const QWidget* widget = WindowWidget(window);
  if (!buffer || size < 1) return 0;
  QByteArray text = widget ? ToCodePage(CP_ACP, widget->windowTitle()) : QByteArray();
  if (text.size() >= size) {
    // Cut before the character that would not fit whole.
    int keep = 0;
    while (keep < size - 1) {
      const int step = quint8(text[keep]) >= 0x81 && keep + 1 < text.size() ? 2 : 1;
      if (keep + step > size - 1) break;
      keep += step;
    }
    text.truncate(keep);
  }
  std::memcpy(buffer, text.constData(), size_t(text.size()));
  buffer[text.size()] = 0;
  return int(text.size());
}

HICON WindowSmallIcon(HWND window) {
  const QWidget* widget = WindowWidget(window);
  return widget && !widget->windowIcon().isNull() ? HICON{window.value} : HICON{};
}

QIcon IconOf(HICON icon) {
  const QWidget* widget = WindowWidget(HWND{icon.value});
  return widget ? widget->windowIcon() : QIcon();
}

qint64 IconPictureKey(HICON icon) {
  return icon ? IconOf(icon).cacheKey() : 0;
}

std::function<RECT()>& WorkAreaSource() {
  static std::function<RECT()> source = [] {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    return RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
  };
  return source;
}

int SystemParametersInfoA(unsigned action, unsigned, void* data, unsigned) {
  if (action != SPI_GETWORKAREA || !data) return 0;
  *static_cast<RECT*>(data) = WorkAreaSource()();
  return 1;
}

int GetSystemMetrics(int index) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize desktop = screen ? screen->virtualSize() : QSize();
  switch (index) {
    case SM_CXVIRTUALSCREEN:
      return desktop.width();
    case SM_CYVIRTUALSCREEN:
      return desktop.height();
    case SM_CXDRAG:
    case SM_CYDRAG:
      return QGuiApplication::styleHints()->startDragDistance();
    default:
      return 0;
  }
}

}  // namespace ModAPI

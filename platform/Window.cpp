#include "Window.h"

#include "GdiInternal.h"

#include <QPointer>
#include <QWidget>

#include <unordered_map>

namespace ModAPI {
namespace {

constexpr char kHandleProperty[] = "_cq_hwnd";
constexpr char kStyleProperty[] = "_cq_style";

std::unordered_map<quint32, QPointer<QWidget>>& Windows() {
  static std::unordered_map<quint32, QPointer<QWidget>> windows;
  return windows;
}

quint32 DerivedStyle(const QWidget* widget) {
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

quint32 StyleOf(const QWidget* widget) {
  const QVariant stored = widget->property(kStyleProperty);
  const quint32 style = stored.isValid() ? stored.toUInt() : DerivedStyle(widget);
  return (style & ~WS_VISIBLE) | (widget->isVisible() ? WS_VISIBLE : 0);
}

// Qt knows a window with the system's caption and frame or one without any.
void ApplyFrameStyle(QWidget* widget, quint32 style) {
  const bool frameless = (style & WS_CAPTION) != WS_CAPTION;
  if (widget->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) return;
  const bool visible = widget->isVisible();
  widget->setWindowFlag(Qt::FramelessWindowHint, frameless);
  if (visible) widget->show();  // changing the flags hides a window
}

QRect OuterRect(const QWidget* widget) {
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
  return widget && index == GWL_STYLE ? qint32(StyleOf(widget)) : 0;
}

qint32 SetWindowLongA(HWND window, int index, qint32 value) {
  QWidget* widget = WindowWidget(window);
  if (!widget || index != GWL_STYLE) return 0;
  const quint32 previous = StyleOf(widget);
  widget->setProperty(kStyleProperty, quint32(value));
  return qint32(previous);
}

int SetWindowPos(HWND window, HWND, int x, int y, int cx, int cy, unsigned flags) {
  QWidget* widget = WindowWidget(window);
  if (!widget) return 0;
  if (flags & SWP_FRAMECHANGED) ApplyFrameStyle(widget, StyleOf(widget));
  if (!(flags & SWP_NOMOVE)) widget->move(x, y);
  if (!(flags & SWP_NOSIZE)) {
    const QSize frame = OuterRect(widget).size() - widget->size();
    widget->resize(cx - frame.width(), cy - frame.height());
  }
  if (!(flags & SWP_NOZORDER)) widget->raise();
  if (!(flags & SWP_NOACTIVATE)) widget->activateWindow();
  return 1;
}

int GetWindowRect(HWND window, RECT* rect) {
  const QWidget* widget = WindowWidget(window);
  if (!widget || !rect) return 0;
  const QRect outer = OuterRect(widget);
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

}  // namespace ModAPI

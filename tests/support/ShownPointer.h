// The pointer shape the window system shows over a window.
#pragma once

#include <QCursor>
#include <QWidget>
#include <QWindow>

inline Qt::CursorShape ShownPointer(const QWidget& window) {
  return window.windowHandle()->cursor().shape();
}

#include "Input.h"

#include <QCursor>
#include <QGuiApplication>

#include <utility>

namespace ModAPI {
namespace {

HWND& Capture() {
  static HWND capture;
  return capture;
}

}  // namespace

HWND SetCapture(HWND window) {
  return std::exchange(Capture(), window);
}

int ReleaseCapture() {
  Capture() = {};
  return 1;
}

HWND GetCapture() {
  return Capture();
}

int GetCursorPos(POINT* point) {
  if (!point) return 0;
  const QPoint at = QCursor::pos();
  *point = {at.x(), at.y()};
  return 1;
}

qint16 GetAsyncKeyState(int virtualKey) {
  const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
  const Qt::KeyboardModifier modifier = virtualKey == VK_SHIFT     ? Qt::ShiftModifier
                                        : virtualKey == VK_CONTROL ? Qt::ControlModifier
                                        : virtualKey == VK_MENU    ? Qt::AltModifier
                                                                   : Qt::NoModifier;
  return modifier != Qt::NoModifier && held.testFlag(modifier) ? qint16(0x8000) : qint16(0);
}

}  // namespace ModAPI

#include "Input.h"

#include <QCursor>

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

HWND getCapture() {
  return Capture();
}

int GetCursorPos(POINT* point) {
  if (!point) return 0;
  const QPoint at = QCursor::pos();
  *point = {at.x(), at.y()};
  return 1;
}

}  // namespace ModAPI

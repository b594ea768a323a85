#include "Cursor.h"

#include "CursorInternal.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <array>
#include <utility>

namespace ModAPI {
namespace {

constexpr std::array<std::pair<int, Qt::CursorShape>, 15> kShapes{{
    {IDC_ARROW, Qt::ArrowCursor},
    {IDC_IBEAM, Qt::IBeamCursor},
    {IDC_WAIT, Qt::WaitCursor},
    {IDC_CROSS, Qt::CrossCursor},
    {IDC_UPARROW, Qt::UpArrowCursor},
    {IDC_SIZE, Qt::SizeAllCursor},
    {IDC_SIZENWSE, Qt::SizeFDiagCursor},
    {IDC_SIZENESW, Qt::SizeBDiagCursor},
    {IDC_SIZEWE, Qt::SizeHorCursor},
    {IDC_SIZENS, Qt::SizeVerCursor},
    {IDC_SIZEALL, Qt::SizeAllCursor},
    {IDC_NO, Qt::ForbiddenCursor},
    {IDC_HAND, Qt::PointingHandCursor},
    {IDC_APPSTARTING, Qt::BusyCursor},
    {IDC_HELP, Qt::WhatsThisCursor},
}};

struct PointerWindow {
  QPointer<QWidget> window;
  bool inMessage = false;
  bool shapeSet = false;
  QPoint position;
  QPoint pressed;
};

PointerWindow& Pointer() {
  static PointerWindow pointer;
  return pointer;
}

HCURSOR handleOf(Qt::CursorShape shape) {
  return HCURSOR{quint32(shape) + 1};
}

// The pointer shape lives on the native window, not in the widget's cursor,
// which its child controls would inherit: as each child window does on
// Windows, a control shows its own pointer again when the pointer enters it.
QWindow* nativeWindow(QWidget* window) {
  return window ? window->windowHandle() : nullptr;
}

}  // namespace

// A cursor handle holds its Qt::CursorShape plus one, so that no shape is 0.
HCURSOR LoadCursorA(const void* instance, int cursorId) {
  if (instance) return {};
  for (const auto& [id, shape] : kShapes) {
    if (id == cursorId) return handleOf(shape);
  }
  return {};
}

int DestroyCursor(HCURSOR cursor) {
  return cursor ? 1 : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
  PointerWindow& pointer = Pointer();
  QWindow* native = nativeWindow(pointer.window);
  if (!native || !cursor || cursor.value > quint32(Qt::LastCursor) + 1) return {};
  const Qt::CursorShape previous = native->cursor().shape();
  native->setCursor(Qt::CursorShape(cursor.value - 1));
  pointer.shapeSet = pointer.shapeSet || pointer.inMessage;
  return handleOf(previous);
}

void ResetPointerOverride() {
  while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
}

void BeginPointerMessage(QWidget* window, QPoint position, bool press) {
  const QPoint pressed = press ? position : Pointer().pressed;
  Pointer() = {window, true, false, position, pressed};
}

QPoint PointerMessagePosition() {
  return Pointer().position;
}

QPoint PointerPressPosition() {
  return Pointer().pressed;
}

void EndPointerMessage() {
  PointerWindow& pointer = Pointer();
  QWindow* native = nativeWindow(pointer.window);
  if (native && !pointer.shapeSet) native->setCursor(pointer.window->cursor());
  pointer.inMessage = false;
}

}  // namespace ModAPI

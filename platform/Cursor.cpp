#include "Cursor.h"

#include <Qt>

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

}  // namespace

// A cursor handle holds its Qt::CursorShape plus one, so that no shape is 0.
HCURSOR LoadCursorA(const void* instance, int cursorId) {
  if (instance) return {};
  for (const auto& [id, shape] : kShapes) {
    if (id == cursorId) return HCURSOR{quint32(shape) + 1};
  }
  return {};
}

int DestroyCursor(HCURSOR cursor) {
  return cursor ? 1 : 0;
}

}  // namespace ModAPI

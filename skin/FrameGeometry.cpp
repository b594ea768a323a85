#include "FrameGeometry.h"

#include "SkinValue.h"

#include <algorithm>

namespace {

constexpr qint32 kIconWidth = 16;
constexpr double kIconTop = 7.5;
constexpr double kIconBottom = 23.5;
constexpr qint32 kEdgeBand = 4;

// The sheet the glyphs come from: the program's own when none loaded.
void substituteSheet(qint32& sheetWidth, qint32& sheetHeight) {
  if (sheetWidth > 0 && sheetHeight > 0) return;
  sheetWidth = FrameGeometry::kSheetWidth;
  sheetHeight = FrameGeometry::kSheetHeight;
}

}  // namespace

void FrameGeometry::place(const SkinRect& window, QSize client) {
  Areas.window = window;
  ClientWidth = client.width();
  ClientHeight = client.height();
  ClientLeft = FrameInset + window.Left;
  ClientTop = FrameInset + window.Top;
  mDC::SetSkinRect(Areas.body, 2, 31, ClientWidth - 2, ClientHeight - 3);
}

void FrameGeometry::layOut(const CmdKeys& keys) {
  const auto rects = captionButtonRects(keys, ClientWidth);
  for (const CaptionButtonId id : kCaptionButtons) button(id).Rect = rects[size_t(id)];
  const SkinRect& help = button(CaptionButtonId::Help).Rect;
  mDC::SetSkinRect(Areas.strip, help.Left, 2, ClientWidth - 2,
                   button(CaptionButtonId::Close).Rect.Height);
  mDC::SetSkinRect(Areas.captionBar, 4, 2, ClientWidth - 4, 29);
  Grips = gripZones(ClientWidth, ClientHeight);
}

Area FrameGeometry::areaAt(double x, double y) const {
  if (mDC::PointInSkinRect(Areas.strip, x, y)) return Area::AreaStrip;
  if (mDC::PointInSkinRect(Areas.body, x, y)) return Area::AreaBody;
  return Area::AreaFrame;
}

// Tested from the help button to the close button: where two rectangles
// share an edge, the left one has the point.
std::optional<CaptionButtonId> FrameGeometry::buttonAt(double x, double y) const {
  for (auto id = kCaptionButtons.rbegin(); id != kCaptionButtons.rend(); ++id) {
    const CaptionButton& b = button(*id);
    if (b.Visible && mDC::PointInSkinRect(b.Rect, x, y)) return *id;
  }
  return std::nullopt;
}

qint32 FrameGeometry::gripAt(double x, double y) const {
  for (size_t i = 0; i < Grips.size(); ++i) {
    if (mDC::PointInSkinRect(Grips[i], x, y)) return qint32(i);
  }
  return -1;
}

bool FrameGeometry::inCaptionBar(double x, double y) const {
  return mDC::PointInSkinRect(Areas.captionBar, x, y);
}

bool FrameGeometry::onCaptionIcon(double x, double y) const {
  const qint32 left = Areas.captionBar.Left;
  return left <= x && x <= left + kIconWidth && kIconTop <= y && y <= kIconBottom;
}

bool FrameGeometry::inEdgeBand(double x, double y) const {
  return x <= kEdgeBand || x >= ClientWidth - kEdgeBand || y >= ClientHeight - kEdgeBand;
}

QPoint FrameGeometry::menuPoint(CaptionButtonId id) const {
  const SkinRect& r = button(id).Rect;
  return {r.Left, r.Top + r.Height};
}

qint32 FrameGeometry::glyphLeft(CaptionButtonId id, bool zoomed, qint32 sheetWidth) const {
  return glyphLeft(id, zoomed, sheetWidth, button(CaptionButtonId::Close).Rect.Width,
                   button(CaptionButtonId::Maximise).Rect.Width);
}

ModAPI::MINMAXINFO FrameGeometry::sizeLimits(const ModAPI::MINMAXINFO& defaults,
                                             const ModAPI::RECT& workArea) const {
  return sizeLimits(defaults, workArea, FrameInset, Areas.strip.Width);
}

CmdKeys FrameGeometry::completeCmdKeys(const CmdKeyTexts& read, qint32 sheetWidth,
                                       qint32 sheetHeight) {
  substituteSheet(sheetWidth, sheetHeight);
  CmdKeys keys;
  keys.CmdHeight = read.CmdHeight.value_or(sheetHeight / 3);
  keys.CmdTop = read.CmdTop.value_or(0);
  keys.CmdLeft = read.CmdLeft.value_or(0);
  if (read.CloseWidth && read.CmdWidth) {
    keys.CloseWidth = *read.CloseWidth;
    keys.CmdWidth = *read.CmdWidth;
  } else if (read.CloseWidth) {
    keys.CloseWidth = *read.CloseWidth;
    keys.CmdWidth = qint32((qint64(sheetWidth) - keys.CloseWidth) / 4);
  } else if (read.CmdWidth) {
    keys.CmdWidth = *read.CmdWidth;
    keys.CloseWidth = qint32(sheetWidth - 4 * qint64(keys.CmdWidth));
  } else {
    keys.CloseWidth = keys.CmdWidth = sheetWidth / 5;
  }
  return keys;
}

CmdKeys FrameGeometry::boundCmdKeys(CmdKeys keys, qint32 sheetWidth, qint32 sheetHeight,
                                    qint32 desktopWidth, qint32 desktopHeight) {
  substituteSheet(sheetWidth, sheetHeight);
  keys.CmdHeight = std::clamp(keys.CmdHeight, 0, sheetHeight);
  keys.CloseWidth = std::clamp(keys.CloseWidth, 0, sheetWidth);
  keys.CmdWidth = std::clamp(keys.CmdWidth, 0, sheetWidth);
  keys.CmdTop = std::clamp(keys.CmdTop, -desktopHeight, desktopHeight);
  keys.CmdLeft = std::clamp(keys.CmdLeft, -double(desktopWidth), double(desktopWidth));
  return keys;
}

std::array<SkinRect, 4> FrameGeometry::captionButtonRects(const CmdKeys& keys, qint32 clientWidth) {
  std::array<SkinRect, 4> rects;
  const qint32 closeLeft = SkinValue::roundHalfEven(keys.CmdLeft + clientWidth - keys.CloseWidth);
  mDC::SetSkinRectXYWH(rects[0], closeLeft, keys.CmdTop, keys.CloseWidth, keys.CmdHeight);
  for (size_t i = 1; i < rects.size(); ++i) {
    const qint32 right = rects[i - 1].Left;
    mDC::SetSkinRect(rects[i], qint32(qint64(right) - keys.CmdWidth), keys.CmdTop, right,
                     rects[0].Bottom);
  }
  return rects;
}

std::array<SkinRect, 8> FrameGeometry::gripZones(qint32 clientWidth, qint32 clientHeight) {
  const qint32 W = clientWidth;
  const qint32 H = clientHeight;
  // x, y, width, height; the left zone is 2 pixels wide, the right one 4.
  const qint32 zones[8][4] = {
      {0, 0, 4, 8},          {4, 0, W - 8, 4}, {W - 4, 0, 4, 8},     {0, 8, 2, H - 16},
      {W - 4, 8, 4, H - 16}, {0, H - 8, 4, 8}, {4, H - 4, W - 8, 4}, {W - 4, H - 8, 4, 8},
  };
  std::array<SkinRect, 8> grips;
  for (size_t i = 0; i < grips.size(); ++i) {
    mDC::SetSkinRectXYWH(grips[i], zones[i][0], zones[i][1], zones[i][2], zones[i][3]);
  }
  return grips;
}

qint32 FrameGeometry::glyphLeft(CaptionButtonId id, bool zoomed, qint32 sheetWidth,
                                qint32 closeWidth, qint32 cmdWidth) {
  // The glyphs' places from the right: close, restore, maximise, minimise,
  // help; the maximise button shows the restore glyph while zoomed.
  constexpr qint32 kSlots[] = {0, 2, 3, 4};
  const bool restore = id == CaptionButtonId::Maximise && zoomed;
  const qint32 slot = restore ? 1 : kSlots[size_t(id)];
  return qint32(qint64(sheetWidth) - closeWidth - qint64(slot) * cmdWidth);
}

ModAPI::MINMAXINFO FrameGeometry::sizeLimits(ModAPI::MINMAXINFO defaults,
                                             const ModAPI::RECT& workArea, qint32 inset,
                                             qint32 stripWidth) {
  ModAPI::MINMAXINFO info = defaults;
  info.ptMaxSize = {workArea.right - workArea.left + 2 * inset + 4,
                    workArea.bottom - workArea.top + 2 * inset};
  info.ptMaxPosition = {workArea.left - inset, workArea.top - inset};
  info.ptMaxTrackSize = info.ptMaxSize;
  info.ptMinTrackSize = {qint32(std::min<qint64>(qint64(stripWidth) + 56, info.ptMaxTrackSize.x)),
                         std::min(42, info.ptMaxTrackSize.y)};
  return info;
}

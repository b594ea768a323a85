#include "FrameLayout.h"

#include "SkinValue.h"

#include <algorithm>

namespace FrameLayout {

namespace {

// The sheet the glyphs come from: the program's own when none loaded.
void SubstituteSheet(qint32& sheetWidth, qint32& sheetHeight) {
  if (sheetWidth > 0 && sheetHeight > 0) return;
  sheetWidth = kSheetWidth;
  sheetHeight = kSheetHeight;
}

}  // namespace

CmdKeys CompleteCmdKeys(const CmdKeyTexts& read, qint32 sheetWidth, qint32 sheetHeight) {
  SubstituteSheet(sheetWidth, sheetHeight);
  CmdKeys keys;
  keys.Height = read.Height.value_or(sheetHeight / 3);
  keys.Top = read.Top.value_or(0);
  keys.Left = read.Left.value_or(0);
  if (read.CloseWidth && read.Width) {
    keys.CloseWidth = *read.CloseWidth;
    keys.Width = *read.Width;
  } else if (read.CloseWidth) {
    keys.CloseWidth = *read.CloseWidth;
    keys.Width = qint32((qint64(sheetWidth) - keys.CloseWidth) / 4);
  } else if (read.Width) {
    keys.Width = *read.Width;
    keys.CloseWidth = qint32(sheetWidth - 4 * qint64(keys.Width));
  } else {
    keys.CloseWidth = keys.Width = sheetWidth / 5;
  }
  return keys;
}

CmdKeys BoundCmdKeys(CmdKeys keys, qint32 sheetWidth, qint32 sheetHeight, qint32 desktopWidth,
                     qint32 desktopHeight) {
  SubstituteSheet(sheetWidth, sheetHeight);
  keys.Height = std::clamp(keys.Height, 0, sheetHeight);
  keys.CloseWidth = std::clamp(keys.CloseWidth, 0, sheetWidth);
  keys.Width = std::clamp(keys.Width, 0, sheetWidth);
  keys.Top = std::clamp(keys.Top, -desktopHeight, desktopHeight);
  keys.Left = std::clamp(keys.Left, -double(desktopWidth), double(desktopWidth));
  return keys;
}

std::array<SkinRect, 4> CaptionButtonRects(const CmdKeys& keys, qint32 clientWidth) {
  std::array<SkinRect, 4> rects;
  const qint32 closeLeft = SkinValue::roundHalfEven(keys.Left + clientWidth - keys.CloseWidth);
  mDC::SetSkinRectXYWH(rects[0], closeLeft, keys.Top, keys.CloseWidth, keys.Height);
  for (size_t i = 1; i < rects.size(); ++i) {
    const qint32 right = rects[i - 1].Left;
    mDC::SetSkinRect(rects[i], qint32(qint64(right) - keys.Width), keys.Top, right,
                     rects[0].Bottom);
  }
  return rects;
}

std::array<SkinRect, 8> GripZones(qint32 clientWidth, qint32 clientHeight) {
  const qint32 W = clientWidth;
  const qint32 H = clientHeight;
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

qint32 GripAt(const std::array<SkinRect, 8>& grips, double x, double y) {
  for (size_t i = 0; i < grips.size(); ++i) {
    if (mDC::PointInSkinRect(grips[i], x, y)) return qint32(i);
  }
  return -1;
}

qint32 AreaAt(const std::array<SkinRect, 4>& areas, double x, double y) {
  if (mDC::PointInSkinRect(areas[3], x, y)) return 3;
  if (mDC::PointInSkinRect(areas[1], x, y)) return 2;
  return 1;
}

bool InEdgeBand(double x, double y, qint32 clientWidth, qint32 clientHeight) {
  return x <= 4 || x >= clientWidth - 4 || y >= clientHeight - 4;
}

bool OnCaptionIcon(const SkinRect& caption, double x, double y) {
  return caption.Left <= x && x <= caption.Left + 16 && 7.5 <= y && y <= 23.5;
}

qint32 GlyphLeft(qint32 button, bool zoomed, qint32 sheetWidth, qint32 closeWidth,
                 qint32 cmdWidth) {
  // Right to left: close, restore, maximise, minimise, help.
  const qint32 slot = button == 0 ? 0 : button == 1 ? (zoomed ? 1 : 2) : button + 1;
  return qint32(qint64(sheetWidth) - closeWidth - qint64(slot) * cmdWidth);
}

ModAPI::MINMAXINFO SizeLimits(ModAPI::MINMAXINFO defaults, const ModAPI::RECT& workArea,
                              qint32 inset, qint32 stripWidth) {
  ModAPI::MINMAXINFO info = defaults;
  info.ptMaxSize = {workArea.right - workArea.left + 2 * inset + 4,
                    workArea.bottom - workArea.top + 2 * inset};
  info.ptMaxPosition = {workArea.left - inset, workArea.top - inset};
  info.ptMaxTrackSize = info.ptMaxSize;
  info.ptMinTrackSize = {qint32(std::min<qint64>(qint64(stripWidth) + 56, info.ptMaxTrackSize.x)),
                         std::min(42, info.ptMaxTrackSize.y)};
  return info;
}

}  // namespace FrameLayout

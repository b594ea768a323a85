#include "mDC.h"

#include "CodePage.h"
#include "Gdi.h"
#include "Window.h"

#include <array>

using namespace ModAPI;

namespace mDC {
namespace {

// One slice: destination and source rectangles as x, y, width, height.
// Sums are formed in 64 bits so that extreme key values cannot overflow.
struct Slice {
  qint64 x, y, width, height;
  qint64 sourceX, sourceY, sourceWidth, sourceHeight;
  bool stretch;
};

qint32 draw(HDC target, HDC source, const Slice& s) {
  if (!s.stretch) {
    return BitBlt(target, int(s.x), int(s.y), int(s.width), int(s.height), source, int(s.sourceX),
                  int(s.sourceY), SRCCOPY);
  }
  return StretchBlt(target, int(s.x), int(s.y), int(s.width), int(s.height), source, int(s.sourceX),
                    int(s.sourceY), int(s.sourceWidth), int(s.sourceHeight), SRCCOPY);
}

// The nine slices of a picture of `source`'s size on a destination of
// `destination`'s size, in drawing order: later slices cover earlier ones
// where they overlap. The right and bottom corners come from the picture's
// right and bottom edges, everything else by the running sums of the sizes.
std::array<Slice, 9> slicesOf(const NineSlices& n, QSize source, QSize destination) {
  const qint64 W = destination.width();
  const qint64 H = destination.height();
  const qint64 BW = source.width();
  const qint64 BH = source.height();
  return {{
      {W - n.CetRight, n.TopHeight, n.CetRight, H - n.TopHeight, qint64(n.CetLeft) + n.CetCeter,
       n.TopHeight, n.CetRight, n.CetHeight, true},
      {n.CetLeft, n.TopHeight, W - n.CetLeft - n.CetRight, H - n.TopHeight - n.BotHeight, n.CetLeft,
       n.TopHeight, n.CetCeter, n.CetHeight, true},
      {0, n.TopHeight, n.CetLeft, H - n.TopHeight, 0, n.TopHeight, n.CetLeft, n.CetHeight, true},
      {n.BotLeft, H - n.BotHeight, W - n.BotLeft - n.BotRight, n.BotHeight, n.BotLeft,
       qint64(n.TopHeight) + n.CetHeight, n.BotCeter, n.BotHeight, true},
      {W - n.BotRight, H - n.BotHeight, n.BotRight, n.BotHeight, BW - n.BotRight, BH - n.BotHeight,
       0, 0, false},
      {0, H - n.BotHeight, n.BotLeft, n.BotHeight, 0, BH - n.BotHeight, 0, 0, false},
      {n.TopLeft, 0, W - n.TopRight - n.TopLeft, n.TopHeight, n.TopLeft, 0, n.TopCeter, n.TopHeight,
       true},
      {W - n.TopRight, 0, n.TopRight, n.TopHeight, BW - n.TopRight, 0, 0, 0, false},
      {0, 0, n.TopLeft, n.TopHeight, 0, 0, 0, 0, false},
  }};
}

}  // namespace

HDC CreateSurface(qint32 width, qint32 height, HDC like) {
  const HDC reference = like ? like : CreateDCA("DISPLAY", "", "", nullptr);
  if (!reference) return {};
  const HDC dc = CreateCompatibleDC(reference);
  const HBITMAP bitmap = dc ? CreateCompatibleBitmap(reference, width, height) : HBITMAP{};
  if (dc && !bitmap) DeleteDC(dc);
  if (bitmap) DeleteObject(SelectObject(dc, bitmap));
  if (!like) DeleteDC(reference);
  return bitmap ? dc : HDC{};
}

HDC CreatePictureSurface(HBITMAP bitmap) {
  if (!bitmap) return {};
  const HDC dc = CreateSurface(1, 1);
  if (!dc) return {};
  const HBITMAP placeholder = SelectObject(dc, bitmap);
  if (!placeholder) {
    ReleaseSurface(dc);
    return {};
  }
  DeleteObject(placeholder);
  return dc;
}

void ReleaseSurface(HDC dc) {
  const HBITMAP bitmap = GetCurrentBitmap(dc);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

void OwnedSurface::reset(HDC dc) {
  if (dc_) ReleaseSurface(dc_);
  dc_ = dc;
}

qint32 DrawNineSlice(HDC source, QSize sourceSize, HDC destination, QSize destinationSize,
                     const NineSlices& slices) {
  const qint32 width = destinationSize.width();
  const qint32 height = destinationSize.height();
  const HDC work = CreateSurface(width, height, destination);
  if (!work) return 0;
  for (const Slice& slice : slicesOf(slices, sourceSize, destinationSize))
    draw(work, source, slice);
  const qint32 copied = BitBlt(destination, 0, 0, width, height, work, 0, 0, SRCCOPY);
  ReleaseSurface(work);
  return copied;
}

qint32 DrawTextColored(HDC dc, const QString& text, qint32 Left, qint32 Top, qint32 Right,
                       qint32 Bottom, qint32 format, qint32 colour) {
  SetTextColor(dc, quint32(colour));
  RECT rect{Left, Top, Right, Bottom};
  const QByteArray bytes = ToCodePage(CP_ACP, text);
  return DrawTextA(dc, bytes.constData(), -1, &rect, unsigned(format));
}

qint32 SetSkinRect(SkinRect& record, qint32 Left, qint32 Top, qint32 Right, qint32 Bottom) {
  record = {Left, Top, Right, Bottom, qint32(qint64(Right) - Left), qint32(qint64(Bottom) - Top)};
  return 1;
}

void SetSkinRectXYWH(SkinRect& record, qint32 x, qint32 y, qint32 width, qint32 height) {
  record = {x, y, qint32(qint64(x) + width), qint32(qint64(y) + height), width, height};
}

qint32 WindowSkinRect(HWND window, SkinRect& record) {
  RECT rect;
  const qint32 read = GetWindowRect(window, &rect);
  SetSkinRect(record, rect.left, rect.top, rect.right, rect.bottom);
  return read;
}

bool PointInSkinRect(const SkinRect& record, double x, double y) {
  return !(x < record.Left || x > record.Right || y < record.Top || y > record.Bottom);
}

qint32 SignedLoWord(qint32 value) {
  return qint16(quint32(value) & 0xFFFF);
}

qint32 SignedHiWord(qint32 value) {
  return qint16(quint32(value) >> 16);
}

}  // namespace mDC

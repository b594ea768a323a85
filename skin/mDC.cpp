#include "mDC.h"

#include "CodePage.h"
#include "Gdi.h"
#include "Window.h"

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

qint32 Draw(HDC target, HDC source, const Slice& s) {
  if (!s.stretch) {
    return BitBlt(target, int(s.x), int(s.y), int(s.width), int(s.height), source, int(s.sourceX),
                  int(s.sourceY), SRCCOPY);
  }
  return StretchBlt(target, int(s.x), int(s.y), int(s.width), int(s.height), source, int(s.sourceX),
                    int(s.sourceY), int(s.sourceWidth), int(s.sourceHeight), SRCCOPY);
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

qint32 DrawNineSlice(HDC source, qint32 sourceHeight, qint32 sourceWidth, HDC destination,
                     qint32 destinationHeight, qint32 destinationWidth, qint32 TopLeft,
                     qint32 TopRight, qint32 TopCeter, qint32 TopHeight, qint32 CetLeft,
                     qint32 CetRight, qint32 CetCeter, qint32 CetHeight, qint32 BotLeft,
                     qint32 BotRight, qint32 BotCeter, qint32 BotHeight) {
  const qint64 W = destinationWidth;
  const qint64 H = destinationHeight;
  const qint64 BW = sourceWidth;
  const qint64 BH = sourceHeight;
  // In drawing order: later slices cover earlier ones where they overlap.
  const Slice slices[] = {
      {W - CetRight, TopHeight, CetRight, H - TopHeight, qint64(CetLeft) + CetCeter, TopHeight,
       CetRight, CetHeight, true},
      {CetLeft, TopHeight, W - CetLeft - CetRight, H - TopHeight - BotHeight, CetLeft, TopHeight,
       CetCeter, CetHeight, true},
      {0, TopHeight, CetLeft, H - TopHeight, 0, TopHeight, CetLeft, CetHeight, true},
      {BotLeft, H - BotHeight, W - BotLeft - BotRight, BotHeight, BotLeft,
       qint64(TopHeight) + CetHeight, BotCeter, BotHeight, true},
      {W - BotRight, H - BotHeight, BotRight, BotHeight, BW - BotRight, BH - BotHeight, 0, 0,
       false},
      {0, H - BotHeight, BotLeft, BotHeight, 0, BH - BotHeight, 0, 0, false},
      {TopLeft, 0, W - TopRight - TopLeft, TopHeight, TopLeft, 0, TopCeter, TopHeight, true},
      {W - TopRight, 0, TopRight, TopHeight, BW - TopRight, 0, 0, 0, false},
      {0, 0, TopLeft, TopHeight, 0, 0, 0, 0, false},
  };
  const HDC work = CreateSurface(destinationWidth, destinationHeight, destination);
  if (!work) return 0;
  for (const Slice& slice : slices) Draw(work, source, slice);
  const qint32 copied =
      BitBlt(destination, 0, 0, destinationWidth, destinationHeight, work, 0, 0, SRCCOPY);
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

// Drawing surfaces with the contract of the Windows graphics calls the skin
// engine makes. A device context (HDC) is a memory surface that draws into the
// bitmap selected into it; a bitmap (HBITMAP) owns one image. A new memory
// surface holds a shared 1 x 1 stock bitmap, which is never freed. Colours are
// 0x00BBGGRR. A call given 0 or a released handle does nothing and reports
// failure.
#pragma once

#include "Handles.h"

#include <QString>

namespace ModAPI {

struct RECT {
  qint32 left = 0;
  qint32 top = 0;
  qint32 right = 0;
  qint32 bottom = 0;
};

struct SIZE {
  qint32 cx = 0;
  qint32 cy = 0;
};

struct BITMAP {
  qint32 bmWidth = 0;
  qint32 bmHeight = 0;
};

constexpr quint32 SRCCOPY = 0x00CC0020;
constexpr quint32 CLR_INVALID = 0xFFFFFFFF;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// DrawTextA formats understood here; other bits are ignored.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// A context of the display; it serves as the reference for compatible
// surfaces and bitmaps. Only the driver "DISPLAY" is known.
HDC CreateDCA(const char* driver, const char* device, const char* output, const void* initData);
// A memory surface holding the 1 x 1 stock bitmap. `reference` may be 0.
HDC CreateCompatibleDC(HDC reference);
// A bitmap of the display's colour format, black. 0 for sizes below 1.
HBITMAP CreateCompatibleBitmap(HDC reference, int width, int height);
// Selects `bitmap` into `dc` and returns the bitmap selected before, 0 on
// failure. A bitmap can be selected into one surface at a time.
HBITMAP SelectObject(HDC dc, HBITMAP bitmap);
// The bitmap selected into `dc` (GetCurrentObject with OBJ_BITMAP).
HBITMAP GetCurrentBitmap(HDC dc);
// Frees a bitmap. Fails, keeping the bitmap, while it is selected into a
// surface; deleting the stock bitmap succeeds and does nothing.
int DeleteObject(HBITMAP bitmap);
// Frees a surface; the bitmap selected into it is left unselected, not freed.
int DeleteDC(HDC dc);
// Fills `info` with the bitmap's size; returns the bytes written, 0 on failure.
int GetObjectA(HBITMAP bitmap, BITMAP* info);
// The pixel density of what `dc` draws into: a window's, or its bitmap's (the
// display's for the stock bitmap); 1 for a handle that names no context.
qreal GetDeviceDensity(HDC dc);

// The picture loader: reads a picture file (BMP, JPEG, or any other format the
// image readers know, recognised by content) into a new bitmap that belongs to
// the caller. 0 when the file is missing or no picture.
HBITMAP LoadPicture(const QString& path);

// Copies a rectangle with the raster operation SRCCOPY (the only one known).
int BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
           int sourceY, quint32 rop);
// Like BitBlt, scaling the source rectangle onto the destination rectangle
// by pixel replication; a negative width or height mirrors that axis. The
// part of the source rectangle off the source bitmap draws nothing: only the
// rest is copied, to the part of the destination it maps to.
int StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 rop);
// Blends the scaled source over the destination with the constant alpha held
// in bits 16..23 of `blendFunction` (BLENDFUNCTION packed; no per-pixel
// alpha). Fails for negative sizes and for a source rectangle that leaves the
// source bitmap.
int AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
               int sourceY, int sourceWidth, int sourceHeight, quint32 blendFunction);
// The colour of one pixel, CLR_INVALID outside the bitmap.
quint32 GetPixel(HDC dc, int x, int y);

// A window's contexts. One from GetDC draws into the copy of what the window
// shows and has the window repaint the part drawn on. One from BeginPaint
// while the window handles its paint event draws onto the window directly;
// at any other time it acts like one from GetDC. Released with ReleaseDC and
// EndPaint. Both are 0 for a window that is gone.
struct PAINTSTRUCT {
  HDC hdc;
  RECT rcPaint;
};
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
int EndPaint(HWND window, const PAINTSTRUCT* paint);
// Copies and blends drawn onto windows so far, so that tests can count them.
quint64 WindowCopyCount();

// Text colour (default black) and background mode (default OPAQUE: the text's
// box is filled white); each returns the previous setting, CLR_INVALID or 0 on failure.
quint32 SetTextColor(HDC dc, quint32 colour);
int SetBkMode(HDC dc, int mode);
// Draws `length` bytes of text in the system code page (-1: up to the NUL)
// inside `rect` with the default font, clipped to `rect`, the formats above
// applied. Returns the distance from the rectangle's top to the bottom of the
// drawn text (the text height for top-aligned text), 0 on failure.
int DrawTextA(HDC dc, const char* text, int length, RECT* rect, unsigned format);

// The width and height of `length` UTF-16 units of `text` in the default
// font, as DrawTextA measures them.
int GetTextExtentPoint32W(HDC dc, const QString& text, int length, SIZE* size);

constexpr unsigned DI_NORMAL = 0x0003;
// Draws the icon scaled to width x height at (x, y), over what is there.
// `step` and `brush` are ignored.
int DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, unsigned step,
               const void* brush, unsigned flags);

// A region of the pixels within left..right-1 and top..bottom-1 with corners
// rounded by an ellipse of ellipseWidth x ellipseHeight; an ellipse narrower
// or lower than 2 pixels gives square corners.
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);

// Surfaces and bitmaps alive now (the stock bitmap not counted), and the
// copies kept of what windows show (one per window drawn on from outside its
// paint event, freed with the window), so that tests can prove every one made
// was released.
struct GdiObjectCounts {
  int deviceContexts = 0;
  int bitmaps = 0;
  int windowScreens = 0;
};
GdiObjectCounts LiveGdiObjects();

}  // namespace ModAPI

// Drawing helpers of the skin engine: off-screen surfaces, the nine-slice
// frame, coloured text, the rectangle record and packed mouse positions. All
// coordinates are pixels. The module keeps no state: every surface it makes
// belongs to the caller, who releases it with ReleaseSurface.
#pragma once

#include "Handles.h"

#include <QSize>
#include <QString>

#include <utility>

// A rectangle with its size kept beside its edges; the helpers below always
// write all six fields. Point tests include all four edges.
struct SkinRect {
  qint32 Left = 0;
  qint32 Top = 0;
  qint32 Right = 0;
  qint32 Bottom = 0;
  qint32 Width = 0;
  qint32 Height = 0;

  bool operator==(const SkinRect&) const = default;
};

// The twelve sizes that cut a picture into nine slices, named as the
// "Skin.ini" keys that hold them: per band (top, centre, bottom) the widths
// of its left part, its right part and its middle in the picture, and the
// band's height.
struct NineSlices {
  qint32 TopLeft = 0;
  qint32 TopRight = 0;
  qint32 TopCeter = 0;
  qint32 TopHeight = 0;
  qint32 CetLeft = 0;
  qint32 CetRight = 0;
  qint32 CetCeter = 0;
  qint32 CetHeight = 0;
  qint32 BotLeft = 0;
  qint32 BotRight = 0;
  qint32 BotCeter = 0;
  qint32 BotHeight = 0;

  bool operator==(const NineSlices&) const = default;
};

namespace mDC {

// A memory surface of width x height in the display's colour format; 0 on
// failure. Its pixel density is that of `like` (a window's context or another
// surface), else the display's; its coordinates are logical pixels either way.
ModAPI::HDC CreateSurface(qint32 width, qint32 height, ModAPI::HDC like = {});
// A surface drawing into `bitmap` (a loaded picture), which it owns from now
// on. 0 without making a surface when `bitmap` is 0; on any other failure 0
// and the bitmap stays with the caller.
ModAPI::HDC CreatePictureSurface(ModAPI::HBITMAP bitmap);
// Frees the surface together with its bitmap. Only for nonzero handles.
void ReleaseSurface(ModAPI::HDC dc);

// Owns one surface (or none) and releases it when replaced or gone.
class OwnedSurface {
 public:
  OwnedSurface() = default;
  explicit OwnedSurface(ModAPI::HDC dc) : dc_(dc) {}
  ~OwnedSurface() { reset(); }
  OwnedSurface(OwnedSurface&& other) noexcept : dc_(std::exchange(other.dc_, {})) {}
  OwnedSurface& operator=(OwnedSurface&& other) noexcept {
    if (this != &other) reset(std::exchange(other.dc_, {}));
    return *this;
  }

  ModAPI::HDC get() const { return dc_; }
  explicit operator bool() const { return bool(dc_); }
  // Releases the surface held and holds `dc` instead.
  void reset(ModAPI::HDC dc = {});

 private:
  ModAPI::HDC dc_;
};

// Composes the nine slices of the source picture (of `sourceSize`) on a
// temporary surface of the destination's size and density and copies it to
// the destination in one piece. Edges and middles are stretched, corners
// copied 1:1; the right and bottom corners are taken from the picture's right
// and bottom edges, the other slices by the running sums of the sizes.
// Nonzero when the final copy succeeded; a failed temporary surface copies
// nothing.
qint32 DrawNineSlice(ModAPI::HDC source, QSize sourceSize, ModAPI::HDC destination,
                     QSize destinationSize, const NineSlices& slices);

// Sets the text colour (0x00BBGGRR) and draws `text` (up to its first NUL,
// in the system code page) in the rectangle with DrawText `format` flags.
// Returns the height of the drawn text.
qint32 DrawTextColored(ModAPI::HDC dc, const QString& text, qint32 Left, qint32 Top, qint32 Right,
                       qint32 Bottom, qint32 format, qint32 colour);

// Stores the edges with Width = Right - Left and Height = Bottom - Top; returns 1.
qint32 SetSkinRect(SkinRect& record, qint32 Left, qint32 Top, qint32 Right, qint32 Bottom);
// Stores position and size; negative sizes are stored as they come.
void SetSkinRectXYWH(SkinRect& record, qint32 x, qint32 y, qint32 width, qint32 height);
// Stores the window's outer rectangle in screen coordinates; nonzero when it
// could be read (an unread rectangle is stored as zeros).
qint32 WindowSkinRect(ModAPI::HWND window, SkinRect& record);
// True unless the point lies left of, right of, above or below the record;
// all four edges count as inside.
bool PointInSkinRect(const SkinRect& record, double x, double y);

// Bits 0..15 and 16..31 of a packed mouse position, each as a signed 16-bit
// number, so that points left of or above the window come out negative.
qint32 SignedLoWord(qint32 value);
qint32 SignedHiWord(qint32 value);

}  // namespace mDC

// The pure geometry of a skinned window: caption-button rectangles, hit areas
// and resize zones as functions of the client size and the "Cmd" keys of
// "Skin.ini". All rectangles are in client pixels.
#pragma once

#include "Gdi.h"
#include "Messages.h"
#include "mDC.h"

#include <array>
#include <optional>

// The five "Cmd" keys as read: nullopt where a key is missing or no number.
struct CmdKeyTexts {
  std::optional<qint32> Height;      // "Cmd.Height"
  std::optional<qint32> CloseWidth;  // "CmdClose.Width"
  std::optional<qint32> Top;         // "Cmd.Top"
  std::optional<double> Left;        // "Cmd.Left"
  std::optional<qint32> Width;       // "Cmd.Width"
};

// The values the layout works with.
struct CmdKeys {
  qint32 Height = 0;
  qint32 CloseWidth = 0;
  qint32 Top = 0;
  double Left = 0;
  qint32 Width = 0;
};

namespace FrameLayout {

// The size of the program's own sprite sheet, which stands in for a sheet
// that did not load.
constexpr qint32 kSheetWidth = 151;
constexpr qint32 kSheetHeight = 60;

// Completes the keys from the sprite sheet, so that a skin without them still
// gets buttons that show its glyphs: a row is a third of the sheet's height;
// the sheet holds the close glyph and four more of equal width, so a missing
// width follows from the other one, and with both missing all five glyphs
// are taken as equally wide. Cmd.Top and Cmd.Left default to 0 (buttons in
// the top-right corner). A sheet of width or height 0 counts as the program's
// own sheet.
CmdKeys CompleteCmdKeys(const CmdKeyTexts& read, qint32 sheetWidth, qint32 sheetHeight);

// The keys bounded by what can be shown, so that no skin value makes the
// window or a copy larger than the screens: the button sizes within the
// sprite sheet (0 to its width or height; a sheet that did not load counts as
// the program's own), Cmd.Top and Cmd.Left within the virtual desktop
// (desktopWidth x desktopHeight) either way.
CmdKeys BoundCmdKeys(CmdKeys keys, qint32 sheetWidth, qint32 sheetHeight, qint32 desktopWidth,
                     qint32 desktopHeight);

// Close, maximise/restore, minimise and help, packed leftwards from the close
// button whatever their visibility: the close button's left edge is
// Cmd.Left + clientWidth - CmdClose.Width rounded half to even.
std::array<SkinRect, 4> CaptionButtonRects(const CmdKeys& keys, qint32 clientWidth);

// The eight resize zones along the edges: top-left, top, top-right, left,
// right, bottom-left, bottom, bottom-right.
std::array<SkinRect, 8> GripZones(qint32 clientWidth, qint32 clientHeight);

// Per resize zone: the hit-test code that starts the system's resize and the
// index of its pointer among the engine's cursors.
constexpr std::array<quint32, 8> kGripHitTests = {
    ModAPI::HTTOPLEFT, ModAPI::HTTOP,        ModAPI::HTTOPRIGHT, ModAPI::HTLEFT,
    ModAPI::HTRIGHT,   ModAPI::HTBOTTOMLEFT, ModAPI::HTBOTTOM,   ModAPI::HTBOTTOMRIGHT,
};
constexpr std::array<qint32, 8> kGripCursors = {9, 12, 10, 11, 11, 10, 12, 9};

// The first zone containing the point (edges included), -1 for none.
qint32 GripAt(const std::array<SkinRect, 8>& grips, double x, double y);

// The area under a point, tested in this order: 3 the button strip
// (areas[3]), 2 the body (areas[1]), otherwise 1 the frame.
qint32 AreaAt(const std::array<SkinRect, 4>& areas, double x, double y);

// The band along the left, right and bottom edges in which the pointer keeps
// the shape the resize zones gave it.
bool InEdgeBand(double x, double y, qint32 clientWidth, qint32 clientHeight);

// Where the window icon lies in the caption bar: 16 pixels from its left
// edge, from y 7.5 to 23.5.
bool OnCaptionIcon(const SkinRect& caption, double x, double y);

// The left column in the sprite sheet of the glyph of caption button
// `button` (0 close, 1 maximise or, while `zoomed`, restore, 2 minimise,
// 3 help), counted from the sheet's right edge.
qint32 GlyphLeft(qint32 button, bool zoomed, qint32 sheetWidth, qint32 closeWidth, qint32 cmdWidth);

// The skinned window's size limits, over the window system's `defaults`:
// maximised it covers the work area with its frame of `inset` pixels outside
// on every side, and is 4 pixels wider still; it can be dragged from 42
// pixels high and the button strip plus 56 pixels wide up to that size. The
// least size never exceeds the largest: a strip wider than the screen must
// not force a window wider than the screen.
ModAPI::MINMAXINFO SizeLimits(ModAPI::MINMAXINFO defaults, const ModAPI::RECT& workArea,
                              qint32 inset, qint32 stripWidth);

}  // namespace FrameLayout

// The pure geometry of a skinned window: caption-button rectangles, hit areas
// and resize zones as functions of the client size and the "Cmd" keys of
// "Skin.ini". All rectangles are in client pixels.
#pragma once

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

// Close, maximise/restore, minimise and help, packed leftwards from the close
// button whatever their visibility: the close button's left edge is
// Cmd.Left + clientWidth - CmdClose.Width rounded half to even.
std::array<SkinRect, 4> CaptionButtonRects(const CmdKeys& keys, qint32 clientWidth);

// The eight resize zones along the edges: top-left, top, top-right, left,
// right, bottom-left, bottom, bottom-right.
std::array<SkinRect, 8> GripZones(qint32 clientWidth, qint32 clientHeight);

}  // namespace FrameLayout

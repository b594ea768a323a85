// The geometry of a skinned window: where its caption buttons, hit areas and
// resize zones lie, as functions of its size and the "Cmd" keys of
// "Skin.ini", and which of them a point falls in. Rectangles are in client
// pixels, but for the window's own outer rectangle, which is in screen
// pixels. Nothing here draws or asks the window system.
#pragma once

#include "Gdi.h"
#include "Messages.h"
#include "mDC.h"

#include <QPoint>
#include <QSize>

#include <array>
#include <optional>

// The five "Cmd" keys as read: nullopt where a key is missing or no number.
struct CmdKeyTexts {
  std::optional<qint32> CmdHeight;   // "Cmd.Height"
  std::optional<qint32> CloseWidth;  // "CmdClose.Width"
  std::optional<qint32> CmdTop;      // "Cmd.Top"
  std::optional<double> CmdLeft;     // "Cmd.Left"
  std::optional<qint32> CmdWidth;    // "Cmd.Width"
};

// The values the layout works with.
struct CmdKeys {
  qint32 CmdHeight = 0;
  qint32 CloseWidth = 0;
  qint32 CmdTop = 0;
  double CmdLeft = 0;
  qint32 CmdWidth = 0;
};

// The caption buttons, numbered as ControlButtonClick reports them. They
// lie leftwards from the close button in this order.
enum class CaptionButtonId : qint32 { Close = 0, Maximise = 1, Minimise = 2, Help = 3 };
inline constexpr std::array<CaptionButtonId, 4> kCaptionButtons = {
    CaptionButtonId::Close, CaptionButtonId::Maximise, CaptionButtonId::Minimise,
    CaptionButtonId::Help};

// The areas the mouse is routed to: the caption-button strip, the body,
// and everything else (the frame with the caption bar).
enum class Area : qint32 { AreaNone = -1, AreaFrame = 1, AreaBody = 2, AreaStrip = 3 };

// One caption button: its rectangle, and whether it is drawn and reacts to
// the mouse (the close button always is).
struct CaptionButton {
  SkinRect Rect;
  bool Visible = true;
};

// The named rectangles of the frame.
struct FrameAreas {
  SkinRect window;      // the outer rectangle, in screen pixels
  SkinRect body;        // (2, 31) to (W - 2, H - 3)
  SkinRect captionBar;  // (4, 2) to (W - 4, 29): dragging, double-click, the icon
  SkinRect strip;       // the caption-button strip: help button's left, 2 to W - 2, Cmd.Height
};

class FrameGeometry {
 public:
  // The size of the program's own sprite sheet, which stands in for a sheet
  // that did not load.
  static constexpr qint32 kSheetWidth = 151;
  static constexpr qint32 kSheetHeight = 60;

  // Per resize zone: the hit-test code that starts the system's resize and
  // the index of its pointer among the frame mouse's cursors.
  static constexpr std::array<quint32, 8> kGripHitTests = {
      ModAPI::HTTOPLEFT, ModAPI::HTTOP,        ModAPI::HTTOPRIGHT, ModAPI::HTLEFT,
      ModAPI::HTRIGHT,   ModAPI::HTBOTTOMLEFT, ModAPI::HTBOTTOM,   ModAPI::HTBOTTOMRIGHT,
  };
  static constexpr std::array<qint32, 8> kGripCursors = {9, 12, 10, 11, 11, 10, 12, 9};

  // How far outside the client area the window system still draws a frame,
  // on each side; measured once, when the skin attaches.
  qint32 FrameInset = 0;
  // The client area's screen position and its size.
  qint32 ClientLeft = 0;
  qint32 ClientTop = 0;
  qint32 ClientWidth = 0;
  qint32 ClientHeight = 0;
  FrameAreas Areas;
  // The eight resize zones along the edges: top-left, top, top-right, left,
  // right, bottom-left, bottom, bottom-right.
  std::array<SkinRect, 8> Grips{};

  CaptionButton& button(CaptionButtonId id) { return Buttons[size_t(id)]; }
  const CaptionButton& button(CaptionButtonId id) const { return Buttons[size_t(id)]; }
  QSize clientSize() const { return {ClientWidth, ClientHeight}; }

  // Takes the window's measure: its outer rectangle and its client size.
  // Places the client origin (FrameInset inside the outer corner) and the
  // body.
  void place(const SkinRect& window, QSize client);
  // Lays the caption buttons out from `keys`, then the strip, the caption
  // bar and the resize zones, for the client size placed last.
  void layOut(const CmdKeys& keys);

  // The area under a client point: the strip, else the body, else the frame.
  Area areaAt(double x, double y) const;
  // The visible caption button containing the client point (edges
  // included), if any.
  std::optional<CaptionButtonId> buttonAt(double x, double y) const;
  // The first resize zone containing the point, -1 for none.
  qint32 gripAt(double x, double y) const;
  bool inCaptionBar(double x, double y) const;
  // On the window icon: 16 pixels from the caption bar's left edge, from y
  // 7.5 to 23.5.
  bool onCaptionIcon(double x, double y) const;
  // The band along the left, right and bottom edges in which the pointer
  // keeps the shape the resize zones gave it.
  bool inEdgeBand(double x, double y) const;
  // Where a drop-down menu for the button would open: the client point
  // below its lower-left corner.
  QPoint menuPoint(CaptionButtonId id) const;
  // The left column of the button's glyph in a sprite sheet `sheetWidth`
  // wide, with the glyph widths the buttons were laid out with; the
  // maximise button shows the restore glyph while `zoomed`.
  qint32 glyphLeft(CaptionButtonId id, bool zoomed, qint32 sheetWidth) const;
  // The size limits over the window system's `defaults` for a window on
  // `workArea` (see sizeLimits below).
  ModAPI::MINMAXINFO sizeLimits(const ModAPI::MINMAXINFO& defaults,
                                const ModAPI::RECT& workArea) const;

  // Completes the keys from the sprite sheet, so that a skin without them
  // still gets buttons that show its glyphs: a row is a third of the sheet's
  // height; the sheet holds the close glyph and four more of equal width, so
  // a missing width follows from the other one, and with both missing all
  // five glyphs are taken as equally wide. Cmd.Top and Cmd.Left default to 0
  // (buttons in the top-right corner). A sheet of width or height 0 counts
  // as the program's own sheet.
  static CmdKeys completeCmdKeys(const CmdKeyTexts& read, qint32 sheetWidth, qint32 sheetHeight);
  // The keys bounded by what can be shown, so that no skin value makes the
  // window or a copy larger than the screens: the button sizes within the
  // sprite sheet (0 to its width or height; a sheet that did not load counts
  // as the program's own), Cmd.Top and Cmd.Left within the virtual desktop
  // (desktopWidth x desktopHeight) either way.
  static CmdKeys boundCmdKeys(CmdKeys keys, qint32 sheetWidth, qint32 sheetHeight,
                              qint32 desktopWidth, qint32 desktopHeight);
  // Close, maximise/restore, minimise and help, packed leftwards from the
  // close button whatever their visibility: the close button's left edge is
  // Cmd.Left + clientWidth - CmdClose.Width rounded half to even.
  static std::array<SkinRect, 4> captionButtonRects(const CmdKeys& keys, qint32 clientWidth);
  static std::array<SkinRect, 8> gripZones(qint32 clientWidth, qint32 clientHeight);
  // The left column in the sprite sheet of the glyph of `id`, counted from
  // the sheet's right edge: close, restore, maximise, minimise, help.
  static qint32 glyphLeft(CaptionButtonId id, bool zoomed, qint32 sheetWidth, qint32 closeWidth,
                          qint32 cmdWidth);
  // Maximised the window covers the work area with its frame of `inset`
  // pixels outside on every side, and is 4 pixels wider still; it can be
  // dragged from 42 pixels high and the button strip plus 56 pixels wide up
  // to that size. The least size never exceeds the largest: a strip wider
  // than the screen must not force a window wider than the screen.
  static ModAPI::MINMAXINFO sizeLimits(ModAPI::MINMAXINFO defaults, const ModAPI::RECT& workArea,
                                       qint32 inset, qint32 stripWidth);

 private:
  std::array<CaptionButton, 4> Buttons{};
};

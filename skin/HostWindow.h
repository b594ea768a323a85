// The skinned window, and everything the skin engine asks of the window
// system about it: taking its caption away, its rounded outline, maximising,
// restoring, minimising and closing it, handing a move or a resize by the
// mouse to the window system, and its system menu. Whatever depends on how
// a window system manages windows is decided here, in one place each.
#pragma once

#include "AccessibleWindow.h"
#include "Handles.h"
#include "mDC.h"

#include <QSize>
#include <QString>

class HostWindow {
 public:
  // The window, 0 until attached.
  ModAPI::HWND HostWnd;
  // Its style once the caption bits are gone.
  qint32 WindowStyle = 0;
  // It had a sizing frame before (and keeps it): the edges resize it.
  bool Sizable = false;

  bool attached() const { return bool(HostWnd); }
  // Attaches to `hwnd` and takes its system caption away (WS_CAPTION goes
  // from its style; a sizing frame stays); the frame is recomputed in place.
  void attach(ModAPI::HWND hwnd);

  // The outer rectangle, in screen pixels, and the client size.
  SkinRect outerRect() const;
  QSize clientSize() const;

  // Gives the window its outline: none (a plain rectangle) while maximised,
  // else the client area, `inset` pixels inside the outer corner, with its
  // corners rounded by an ellipse of SizeX1 x SizeY1 (0 x 0: square).
  void applyOutline(qint32 inset, QSize client, qint32 SizeX1, qint32 SizeY1) const;
  // Has the window system recompute the window's frame for its style, and
  // bring the window to the top and activate it, or leave both as they are.
  enum class FrameRefresh { RaiseAndActivate, InPlace };
  void refreshFrame(FrameRefresh refresh) const;

  bool isZoomed() const;
  // Restores a maximised window, maximises any other.
  void toggleMaximise() const;
  void minimise() const;
  // Asks the window to close. Its owner may drop the skin object meanwhile:
  // nothing of it may be touched afterwards.
  void close() const;
  // Hand the mouse's move of the window (by its caption), or its resize
  // from the edge or corner of hit-test code `hitTest`, to the window system.
  void startSystemMove() const;
  void startSystemResize(quint32 hitTest) const;
  // The system menu at the pointer; the chosen command, 0 when none was,
  // goes to the window. Choosing 关闭 may drop the skin object, as close().
  void ShowSystemMenu() const;

  // The caption, and the small icon as the window answers WM_GETICON.
  QString WindowCaption() const;
  ModAPI::HICON smallIcon() const;

  // Makes `buttons` the buttons assistive technology reads on the window's
  // frame, or takes them away (nullptr).
  void setPaintedButtons(ModAPI::PaintedButtons* buttons) const;
};

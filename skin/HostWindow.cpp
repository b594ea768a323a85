#include "HostWindow.h"

#include "CodePage.h"
#include "Gdi.h"
#include "Input.h"
#include "Messages.h"
#include "Subclass.h"
#include "SystemMenu.h"
#include "Window.h"

using namespace ModAPI;

void HostWindow::attach(HWND hwnd) {
  HostWnd = hwnd;
  RECT outer;
  GetWindowRect(HostWnd, &outer);
  const quint32 style = quint32(GetWindowLongA(HostWnd, GWL_STYLE));
  Sizable = (style & WS_THICKFRAME) != 0;
  WindowStyle = qint32(style & ~WS_CAPTION);
  SetWindowLongA(HostWnd, GWL_STYLE, WindowStyle);
  SetWindowPos(HostWnd, {}, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_FRAMECHANGED);
}

SkinRect HostWindow::outerRect() const {
  SkinRect outer;
  mDC::WindowSkinRect(HostWnd, outer);
  return outer;
}

QSize HostWindow::clientSize() const {
  RECT client;
  GetClientRect(HostWnd, &client);
  return {client.right - client.left, client.bottom - client.top};
}

void HostWindow::applyOutline(qint32 inset, QSize client, qint32 SizeX1, qint32 SizeY1) const {
  if (IsZoomed(HostWnd)) {
    SetWindowRgn(HostWnd, {}, true);
    return;
  }
  const HRGN outline = CreateRoundRectRgn(inset, inset, client.width() + inset + 1,
                                          client.height() + inset + 1, SizeX1, SizeY1);
  SetWindowRgn(HostWnd, outline, true);
}

void HostWindow::refreshFrame(FrameRefresh refresh) const {
  const unsigned inPlace = refresh == FrameRefresh::InPlace ? SWP_NOZORDER | SWP_NOACTIVATE : 0;
  SetWindowPos(HostWnd, {}, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | inPlace);
}

bool HostWindow::isZoomed() const {
  return IsZoomed(HostWnd);
}

void HostWindow::toggleMaximise() const {
  ShowWindow(HostWnd, IsZoomed(HostWnd) ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
}

void HostWindow::minimise() const {
  ShowWindow(HostWnd, SW_MINIMIZE);
}

void HostWindow::close() const {
  SendMessageA(HostWnd, WM_CLOSE, 0, 0);
}

void HostWindow::startSystemMove() const {
  SendMessageA(HostWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void HostWindow::startSystemResize(quint32 hitTest) const {
  SendMessageA(HostWnd, WM_NCLBUTTONDOWN, hitTest, 0);
}

void HostWindow::ShowSystemMenu() const {
  const HWND window = HostWnd;  // this object may be gone once the command is carried out
  const HMENU menu = GetSystemMenu(window, false);
  if (!menu) return;
  POINT at;
  GetCursorPos(&at);
  const RECT none;
  const qint32 command = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, window, &none);
  SendMessageA(window, WM_SYSCOMMAND, quint32(command), 0);
}

QString HostWindow::WindowCaption() const {
  QByteArray text(GetWindowTextLengthA(HostWnd) + 1, '\0');
  const int copied = GetWindowTextA(HostWnd, text.data(), int(text.size()));
  return FromCodePage(CP_ACP, text.left(copied));
}

HICON HostWindow::smallIcon() const {
  return HICON{quint32(SendMessageA(HostWnd, WM_GETICON, ICON_SMALL2, 0))};
}

void HostWindow::setPaintedButtons(PaintedButtons* buttons) const {
  if (HostWnd) SetPaintedButtons(HostWnd, buttons);
}

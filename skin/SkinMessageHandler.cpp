#include "SkinMessageHandler.h"

#include "Gdi.h"
#include "Messages.h"
#include "Window.h"

#include <utility>

using namespace ModAPI;

namespace {

// A mouse message: what it reports, and with which button.
enum class MouseAction { Move, Down, Up, DoubleClick };
struct MouseMessage {
  MouseAction action;
  qint16 button;
};

std::optional<MouseMessage> mouseMessage(quint32 uMsg, quint32 wParam) {
  switch (uMsg) {
    case WM_MOUSEMOVE:
      return MouseMessage{MouseAction::Move, SkinMessageHandler::moveButton(wParam)};
    case WM_LBUTTONDOWN:
      return MouseMessage{MouseAction::Down, 1};
    case WM_RBUTTONDOWN:
      return MouseMessage{MouseAction::Down, 2};
    case WM_MBUTTONDOWN:
      return MouseMessage{MouseAction::Down, 3};
    case WM_LBUTTONUP:
      return MouseMessage{MouseAction::Up, 1};
    case WM_RBUTTONUP:
      return MouseMessage{MouseAction::Up, 2};
    case WM_MBUTTONUP:
      return MouseMessage{MouseAction::Up, 3};
    case WM_LBUTTONDBLCLK:
      return MouseMessage{MouseAction::DoubleClick, 1};
    case WM_RBUTTONDBLCLK:
      return MouseMessage{MouseAction::DoubleClick, 2};
    case WM_MBUTTONDBLCLK:
      return MouseMessage{MouseAction::DoubleClick, 3};
    default:
      return std::nullopt;
  }
}

}  // namespace

SkinMessageHandler::SkinMessageHandler(SkinDescription& description, FrameGeometry& geometry,
                                       HostWindow& host, FadeAnimation& fade, FramePainter& painter,
                                       FrameMouse& mouse)
    : description_(description),
      geometry_(geometry),
      host_(host),
      fade_(fade),
      painter_(painter),
      mouse_(mouse) {}

void SkinMessageHandler::attach() {
  AttachSubclass(SubclassTable, host_.HostWnd, *this);
  const std::pair<quint32, qint32> subscriptions[] = {
      {WM_SIZE, WhenAfter},           {WM_PAINT, WhenBefore},       {WM_KEYDOWN, WhenBefore},
      {WM_KEYUP, WhenBefore},         {WM_MOUSEMOVE, WhenBefore},   {WM_MOUSELEAVE, WhenAfter},
      {WM_LBUTTONDBLCLK, WhenBefore}, {WM_LBUTTONDOWN, WhenBefore}, {WM_LBUTTONUP, WhenBefore},
      {WM_MBUTTONDBLCLK, WhenBefore}, {WM_MBUTTONDOWN, WhenBefore}, {WM_MBUTTONUP, WhenBefore},
      {WM_RBUTTONDBLCLK, WhenBefore}, {WM_RBUTTONDOWN, WhenBefore}, {WM_RBUTTONUP, WhenBefore},
      {WM_GETMINMAXINFO, WhenBefore}, {WM_NCPAINT, WhenBefore},     {WM_NCACTIVATE, WhenAfter},
      {WM_TIMER, WhenAfter},
  };
  for (const auto& [message, when] : subscriptions)
    AddMessage(SubclassTable, host_.HostWnd, qint32(message), when);
}

// Surfaces that still fit keep their frame, which PaintFrame then need not
// compose again (the resize event after the window is first shown).
void SkinMessageHandler::LayoutFrame() {
  layOut(HostWindow::FrameRefresh::RaiseAndActivate);
}

void SkinMessageHandler::layOut(HostWindow::FrameRefresh refresh) {
  geometry_.place(host_.outerRect(), host_.clientSize());
  if (!painter_.surfacesFit()) painter_.releaseSurfaces();
  geometry_.layOut(cmdKeys());
  applyOutline();
  host_.refreshFrame(refresh);
  painter_.makeSurfaces();
  painter_.PaintFrame();
}

CmdKeys SkinMessageHandler::cmdKeys() {
  const SkinPictures& pictures = description_.pictures();
  const qint32 sheetWidth = pictures.ButtonImageWidth;
  const qint32 sheetHeight = pictures.ButtonImageHeight;
  const CmdKeys keys =
      FrameGeometry::completeCmdKeys(description_.readCmdKeys(), sheetWidth, sheetHeight);
  return FrameGeometry::boundCmdKeys(keys, sheetWidth, sheetHeight,
                                     GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                     GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

void SkinMessageHandler::applyOutline() {
  const SkinValues& values = description_.values();
  host_.applyOutline(geometry_.FrameInset, geometry_.clientSize(), values.SizeX1, values.SizeY1);
}

// Also run on WM_DESTROY, so everything it releases is set to 0.
void SkinMessageHandler::tearDown() {
  painter_.releaseSurfaces();
  description_.releasePictures();
  mouse_.destroyCursors();
  // A fade still running would go on ticking for the window's whole life.
  fade_.stop();
  host_.setPaintedButtons(nullptr);
  DetachAllSubclasses(SubclassTable);
}

void SkinMessageHandler::zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, HWND& lhWnd,
                                        quint32& uMsg, quint32& wParam, qint32& lParam) {
  if (lhWnd == host_.HostWnd) {
    if (uMsg == WM_NCACTIVATE) {
      // The window's own answer stands: activation changes are never refused.
      painter_.PaintFrame();
      return;
    }
    handle(bBefore, uMsg, wParam, lParam);
  }
  // Only the arguments from here on: the handler may be gone.
  bHandled = true;
  lReturn = 0;
}

void SkinMessageHandler::handle(bool bBefore, quint32 uMsg, quint32 wParam, qint32 lParam) {
  switch (uMsg) {
    case WM_SIZE:
      layOut(HostWindow::FrameRefresh::InPlace);
      return;
    case WM_PAINT:
      paintWindow(bBefore);
      return;
    case WM_NCPAINT:
      paintWindow(false);
      return;
    case WM_GETMINMAXINFO:
      limitSize(lParam);
      return;
    case WM_TIMER:
      if (wParam == FadeAnimation::FadeTimer) painter_.fadeStep(fade_);
      return;
    case WM_MOUSELEAVE:
      LeaveTracking = false;
      mouse_.onMouseLeave();
      return;
    case WM_DESTROY:
      tearDown();
      return;
    default:
      handleMouse(uMsg, wParam, lParam);  // the key messages do nothing
      return;
  }
}

void SkinMessageHandler::handleMouse(quint32 uMsg, quint32 wParam, qint32 lParam) {
  const auto message = mouseMessage(uMsg, wParam);
  if (!message) return;
  // The packed position's words are signed: a captured pointer left of or
  // above the window gives negative coordinates.
  const FrameMouse::MouseEvent e{message->button, mDC::SignedLoWord(lParam),
                                 mDC::SignedHiWord(lParam)};
  switch (message->action) {
    case MouseAction::Move:
      TrackLeave();
      mouse_.OnMouseMove(e);
      break;
    case MouseAction::Down:
      mouse_.OnMouseDown(e);
      break;
    case MouseAction::Up:
      mouse_.OnMouseUp(e);
      break;
    case MouseAction::DoubleClick:
      mouse_.OnDblClick(e);
      break;
  }
}

qint16 SkinMessageHandler::moveButton(quint32 wParam) {
  qint16 button = 0;
  if (wParam & MK_LBUTTON) button = 1;
  if (wParam & MK_RBUTTON) button = 2;
  if (wParam & MK_MBUTTON) button = 3;
  return button;
}

// One mouse-leave notification after the pointer entered the window.
void SkinMessageHandler::TrackLeave() {
  if (LeaveTracking) return;
  LeaveTracking = true;
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = host_.HostWnd;
  _TrackMouseEvent(&track);
}

// Inside the paint event the frame goes onto the window directly; otherwise
// it is copied to the window, which shows it at its next repaint.
void SkinMessageHandler::paintWindow(bool bBefore) {
  if (!bBefore) {
    painter_.showFrame();
    return;
  }
  PAINTSTRUCT paint;
  BeginPaint(host_.HostWnd, &paint);
  painter_.copyFrameTo(paint.hdc);
  EndPaint(host_.HostWnd, &paint);
}

void SkinMessageHandler::limitSize(qint32 lParam) {
  MINMAXINFO* info = MinMaxInfoOf(lParam);
  if (!info) return;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  *info = geometry_.sizeLimits(*info, work);
}

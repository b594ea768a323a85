// The skin's message handler: what each subscribed message of the skinned
// window does.
#include "VBDirectUI.h"

#include "Gdi.h"
#include "Input.h"
#include "Messages.h"
#include "Window.h"

using namespace ModAPI;

void VBDirectUI::zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, HWND& lhWnd,
                                quint32& uMsg, quint32& wParam, qint32& lParam) {
  if (lhWnd == HostWnd) {
    switch (uMsg) {
      case WM_SIZE:
        LayoutFrame();
        break;
      case WM_PAINT:
        PaintWindow(bBefore);
        break;
      case WM_NCPAINT:
        PaintWindow(false);
        break;
      case WM_GETMINMAXINFO:
        LimitSize(lParam);
        break;
      case WM_NCACTIVATE:
        // The window's own answer stands: activation changes are never refused.
        PaintFrame(wParam != 0);
        return;
      case WM_TIMER:
        if (wParam == 0) FadeStep();
        break;
      case WM_MOUSEMOVE:
        if (!LeaveTracking) {
          LeaveTracking = true;
          TRACKMOUSEEVENT track;
          track.dwFlags = TME_LEAVE;
          track.hwndTrack = HostWnd;
          _TrackMouseEvent(&track);
        }
        OnMouseMove(MouseEventOf(MoveButton(wParam), lParam));
        break;
      case WM_LBUTTONDOWN:
        OnMouseDown(MouseEventOf(1, lParam));
        break;
      case WM_RBUTTONDOWN:
        OnMouseDown(MouseEventOf(2, lParam));
        break;
      case WM_MBUTTONDOWN:
        OnMouseDown(MouseEventOf(3, lParam));
        break;
      case WM_LBUTTONUP:
        OnMouseUp(MouseEventOf(1, lParam));
        break;
      case WM_RBUTTONUP:
        OnMouseUp(MouseEventOf(2, lParam));
        break;
      case WM_MBUTTONUP:
        OnMouseUp(MouseEventOf(3, lParam));
        break;
      case WM_LBUTTONDBLCLK:
        OnDblClick(MouseEventOf(1, lParam));
        break;
      case WM_RBUTTONDBLCLK:
        OnDblClick(MouseEventOf(2, lParam));
        break;
      case WM_MBUTTONDBLCLK:
        OnDblClick(MouseEventOf(3, lParam));
        break;
      case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
      case WM_DESTROY:
        Teardown();
        break;
      default:
        break;  // key messages: handled, so the window never sees them
    }
  }
  // Only locals from here on: the object may be gone.
  bHandled = true;
  lReturn = 0;
}

// The later test wins: with left and middle held the button is 3.
qint16 VBDirectUI::MoveButton(quint32 wParam) {
  qint16 button = 0;
  if (wParam & MK_LBUTTON) button = 1;
  if (wParam & MK_RBUTTON) button = 2;
  if (wParam & MK_MBUTTON) button = 3;
  return button;
}

qint16 VBDirectUI::ShiftState() {
  return qint16((GetAsyncKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                (GetAsyncKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                (GetAsyncKeyState(VK_MENU) < 0 ? 4 : 0));
}

// The packed position's words are signed: a captured pointer left of or
// above the window gives negative coordinates.
VBDirectUI::MouseEvent VBDirectUI::MouseEventOf(qint16 Button, qint32 lParam) {
  return {Button, ShiftState(), float(mDC::SignedLoWord(lParam)), float(mDC::SignedHiWord(lParam))};
}

void VBDirectUI::CopyFrameTo(HDC dc) {
  BitBlt(dc, 0, 0, ClientWidth, ClientHeight, FrameDC, 0, 0, SRCCOPY);
}

// Inside the paint event the frame goes onto the window directly; otherwise
// it is copied to the window, which shows it at its next repaint.
void VBDirectUI::PaintWindow(bool bBefore) {
  if (bBefore) {
    PAINTSTRUCT paint;
    BeginPaint(HostWnd, &paint);
    CopyFrameTo(paint.hdc);
    EndPaint(HostWnd, &paint);
  } else {
    ShowFrame();
  }
}

void VBDirectUI::ShowFrame() {
  const HDC screen = GetDC(HostWnd);
  CopyFrameTo(screen);
  ReleaseDC(HostWnd, screen);
}

void VBDirectUI::LimitSize(qint32 lParam) {
  MINMAXINFO* info = MinMaxInfoOf(lParam);
  if (!info) return;
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  *info = FrameLayout::SizeLimits(*info, work, FrameInset, Areas[3].Width);
}

void VBDirectUI::OnMouseLeave() {
  LeaveTracking = false;
  if (HoverArea == AreaStrip) StripMouseLeave();
  HoverArea = AreaNone;
}

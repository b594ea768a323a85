// Window messages as the skin engine handles them: the numbers, the wParam
// flags and the packing of lParam are those of Windows. A message whose
// lParam is the address of a structure (WM_GETMINMAXINFO) carries a token
// instead, which names the structure while the message is being handled.
#pragma once

#include <QtGlobal>

namespace ModAPI {

constexpr quint32 WM_DESTROY = 0x0002;
constexpr quint32 WM_SIZE = 0x0005;
constexpr quint32 WM_PAINT = 0x000F;
constexpr quint32 WM_CLOSE = 0x0010;
constexpr quint32 WM_GETMINMAXINFO = 0x0024;
constexpr quint32 WM_GETICON = 0x007F;
constexpr quint32 WM_NCPAINT = 0x0085;
constexpr quint32 WM_NCACTIVATE = 0x0086;
constexpr quint32 WM_NCLBUTTONDOWN = 0x00A1;
constexpr quint32 WM_KEYDOWN = 0x0100;
constexpr quint32 WM_KEYUP = 0x0101;
constexpr quint32 WM_SYSCOMMAND = 0x0112;
constexpr quint32 WM_TIMER = 0x0113;
constexpr quint32 WM_MOUSEMOVE = 0x0200;
constexpr quint32 WM_LBUTTONDOWN = 0x0201;
constexpr quint32 WM_LBUTTONUP = 0x0202;
constexpr quint32 WM_LBUTTONDBLCLK = 0x0203;
constexpr quint32 WM_RBUTTONDOWN = 0x0204;
constexpr quint32 WM_RBUTTONUP = 0x0205;
constexpr quint32 WM_RBUTTONDBLCLK = 0x0206;
constexpr quint32 WM_MBUTTONDOWN = 0x0207;
constexpr quint32 WM_MBUTTONUP = 0x0208;
constexpr quint32 WM_MBUTTONDBLCLK = 0x0209;
constexpr quint32 WM_MOUSELEAVE = 0x02A3;

// wParam of the mouse messages.
constexpr quint32 MK_LBUTTON = 0x0001;
constexpr quint32 MK_RBUTTON = 0x0002;
constexpr quint32 MK_SHIFT = 0x0004;
constexpr quint32 MK_CONTROL = 0x0008;
constexpr quint32 MK_MBUTTON = 0x0010;

// wParam of WM_SIZE.
constexpr quint32 SIZE_RESTORED = 0;
constexpr quint32 SIZE_MINIMIZED = 1;
constexpr quint32 SIZE_MAXIMIZED = 2;

// Hit-test codes, the wParam of WM_NCLBUTTONDOWN.
constexpr quint32 HTCAPTION = 2;
constexpr quint32 HTLEFT = 10;
constexpr quint32 HTRIGHT = 11;
constexpr quint32 HTTOP = 12;
constexpr quint32 HTTOPLEFT = 13;
constexpr quint32 HTTOPRIGHT = 14;
constexpr quint32 HTBOTTOM = 15;
constexpr quint32 HTBOTTOMLEFT = 16;
constexpr quint32 HTBOTTOMRIGHT = 17;

// System commands, the wParam of WM_SYSCOMMAND (the low four bits are free).
constexpr quint32 SC_SIZE = 0xF000;
constexpr quint32 SC_MOVE = 0xF010;
constexpr quint32 SC_MINIMIZE = 0xF020;
constexpr quint32 SC_MAXIMIZE = 0xF030;
constexpr quint32 SC_CLOSE = 0xF060;
constexpr quint32 SC_KEYMENU = 0xF100;
constexpr quint32 SC_RESTORE = 0xF120;

constexpr quint32 ICON_SMALL2 = 2;

struct POINT {
  qint32 x = 0;
  qint32 y = 0;
  friend bool operator==(POINT, POINT) = default;
};

// The size limits of a window, in outer pixels (frame included).
struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;       // size when maximised
  POINT ptMaxPosition;   // outer top-left corner when maximised
  POINT ptMinTrackSize;  // smallest size the user can drag it to
  POINT ptMaxTrackSize;  // largest size the user can drag it to
};

// x in the low and y in the high 16 bits, each cut to 16 bits.
constexpr qint32 MAKELPARAM(qint32 low, qint32 high) {
  return qint32((quint32(low) & 0xFFFF) | (quint32(high) & 0xFFFF) << 16);
}

// Lends `info` to the messages sent while this object lives: lParam() is the
// token to pass as lParam of WM_GETMINMAXINFO.
class MinMaxInfoParam {
 public:
  explicit MinMaxInfoParam(MINMAXINFO& info);
  ~MinMaxInfoParam();
  MinMaxInfoParam(const MinMaxInfoParam&) = delete;
  MinMaxInfoParam& operator=(const MinMaxInfoParam&) = delete;
  qint32 lParam() const { return token_; }

 private:
  qint32 token_;
};

// The structure a token names; null for any other value, so that a stray
// lParam is never taken for an address.
MINMAXINFO* MinMaxInfoOf(qint32 lParam);

}  // namespace ModAPI

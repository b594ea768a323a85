// The mouse on the skinned window: the area dispatch, the caption buttons,
// moving and resizing by caption and edges, the caption's double-click and
// the system menu.
//
// Closing the window (the close button, the system menu) may make the owner
// drop this object while one of these handlers runs; every handler that can
// get there checks the life token afterwards and touches nothing once it has
// expired.
#include "VBDirectUI.h"

#include "Cursor.h"
#include "Input.h"
#include "Messages.h"
#include "SkinValue.h"
#include "Subclass.h"
#include "SystemMenu.h"
#include "Timer.h"
#include "Window.h"

using namespace ModAPI;

namespace {

constexpr quint32 kFadeTimer = 0;
constexpr quint32 kFadePeriod = 15;  // milliseconds
constexpr qint32 kPressFade = 100;
constexpr qint32 kChangeFade = 200;
constexpr qint32 kMaximisedMenuBand = 31;  // a maximised window's caption height

}  // namespace

bool VBDirectUI::OnMouseDown(const MouseEvent& e) {
  const std::weak_ptr<int> alive = LifeToken;
  if (e.Button != 0) SetCapture(HostWnd);
  switch (FrameLayout::AreaAt(Areas, e.X, e.Y)) {
    case AreaStrip:
      PressedArea = AreaStrip;
      StripMouseDown(e.Button, e.X - Areas[3].Left, e.Y - Areas[3].Top);
      break;
    case AreaBody:
      PressedArea = AreaBody;
      break;
    default:
      PressedArea = AreaFrame;
      if (!FrameMouseDown(e.Button, e.X, e.Y)) return false;
      break;
  }
  if (alive.expired()) return false;
  if (FrameLayout::InEdgeBand(e.X, e.Y, ClientWidth, ClientHeight) && !ZoomedAtMove)
    PointerReset = false;
  return true;
}

// While a button is held the area it went down in gets the moves; otherwise
// the area under the pointer, after the one it left has been told.
void VBDirectUI::OnMouseMove(const MouseEvent& e) {
  ZoomedAtMove = IsZoomed(HostWnd);
  qint32 area = PressedArea;
  if (area == AreaNone) {
    area = FrameLayout::AreaAt(Areas, e.X, e.Y);
    if (HoverArea != area) {
      if (HoverArea == AreaStrip) StripMouseLeave();
      HoverArea = area;
    }
  }
  if (area == AreaStrip) StripMouseMove(e.Button, e.X - Areas[3].Left, e.Y - Areas[3].Top);
  if (area == AreaFrame) FrameMouseMove(e.X, e.Y);
  // Along the edges the pointer keeps the shape the resize zones gave it.
  if (e.X > 0 && e.Y > 0 && e.Button != 1 &&
      FrameLayout::InEdgeBand(e.X, e.Y, ClientWidth, ClientHeight) && !ZoomedAtMove) {
    PointerReset = false;
  } else {
    ResetPointerOverride();
    PointerReset = true;
  }
}

bool VBDirectUI::OnMouseUp(const MouseEvent& e) {
  const std::weak_ptr<int> alive = LifeToken;
  ReleaseCapture();
  if (PressedArea == AreaStrip) {
    if (!StripMouseUp(e.Button, e.X - Areas[3].Left, e.Y - Areas[3].Top)) return false;
  } else if (PressedArea == AreaFrame) {
    if (!FrameMouseUp(e.Button, e.X, e.Y)) return false;
  }
  if (alive.expired()) return false;
  PressedArea = AreaNone;
  return true;
}

void VBDirectUI::OnDblClick(const MouseEvent& e) {
  if (FrameLayout::AreaAt(Areas, e.X, e.Y) == AreaStrip) return;
  if (mDC::PointInSkinRect(Areas[2], e.X, e.Y) && e.Button == 1) ToggleMaximise();
}

void VBDirectUI::ToggleMaximise() {
  ZoomedAtMove = true;
  ShowWindow(HostWnd, IsZoomed(HostWnd) ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
}

void VBDirectUI::StartFade(qint32 index, qint32 fade, qint32 state) {
  Buttons[size_t(index)].Fade = fade;
  Buttons[size_t(index)].State = state;
  SetTimer(HostWnd, kFadeTimer, kFadePeriod, nullptr);
}

void VBDirectUI::StripMouseDown(qint16 Button, float x, float y) {
  if (Button != 1) return;
  const qint32 X = SkinValue::roundHalfEven(double(x) + Areas[3].Left);
  const qint32 Y = SkinValue::roundHalfEven(double(y) + Areas[3].Top);
  for (qint32 i = 4; i >= 0; --i) {
    const CaptionButton& b = Buttons[size_t(i)];
    if (!b.Visible || !mDC::PointInSkinRect(b.Rect, X, Y)) continue;
    PressedButton = i;
    StartFade(i, kPressFade, ButtonPressed);
    return;
  }
}

// No hover changes while the left button is held.
void VBDirectUI::StripMouseMove(qint16 Button, float x, float y) {
  if (Button == 1) return;
  const qint32 X = SkinValue::roundHalfEven(double(x) + Areas[3].Left);
  const qint32 Y = SkinValue::roundHalfEven(double(y) + Areas[3].Top);
  for (qint32 i = 4; i >= 0; --i) {
    const CaptionButton& b = Buttons[size_t(i)];
    if (!b.Visible || !mDC::PointInSkinRect(b.Rect, X, Y)) continue;
    if (i == HotButton) return;
    if (HotButton >= 0) StartFade(HotButton, kChangeFade, ButtonNormal);
    HotButton = i;
    StartFade(i, kChangeFade, ButtonHover);
    return;
  }
}

// A release on the pressed button clicks it: the owner hears of it first and
// may cancel, which leaves the button pressed. A release anywhere else only
// lets the button go.
bool VBDirectUI::StripMouseUp(qint16 Button, float x, float y) {
  if (Button != 1 || PressedButton < 0) return true;
  const double X = double(x) + Areas[3].Left;
  const double Y = double(y) + Areas[3].Top;
  const qint32 pressed = PressedButton;
  if (mDC::PointInSkinRect(Buttons[size_t(pressed)].Rect, X, Y)) {
    const ClickOutcome outcome = Click(pressed);
    if (outcome == ClickOutcome::Gone) return false;
    if (outcome == ClickOutcome::Cancelled) return true;
  }
  StartFade(pressed, kChangeFade, ButtonNormal);
  PressedButton = -1;
  return true;
}

VBDirectUI::ClickOutcome VBDirectUI::Click(qint32 index) {
  const std::weak_ptr<int> alive = LifeToken;
  const bool cancelled = RaiseControlButtonClick(index);
  if (alive.expired()) return ClickOutcome::Gone;
  if (cancelled) return ClickOutcome::Cancelled;
  switch (index) {
    case 0:
      SendMessageA(HostWnd, WM_CLOSE, 0, 0);
      break;
    case 1:
      ToggleMaximise();
      break;
    case 2:
      ShowWindow(HostWnd, SW_MINIMIZE);
      break;
    default:
      break;  // the help button means what its owner makes it mean
  }
  return alive.expired() ? ClickOutcome::Gone : ClickOutcome::Done;
}

void VBDirectUI::ClickButton(qint32 ButtonIndex) {
  if (!HostWnd || ButtonIndex < 0 || ButtonIndex > 3 || !Buttons[size_t(ButtonIndex)].Visible)
    return;
  Click(ButtonIndex);
}

void VBDirectUI::StripMouseLeave() {
  for (CaptionButton& b : Buttons) {
    b.State = ButtonNormal;
    b.Fade = kChangeFade;
  }
  HotButton = -1;
  SetTimer(HostWnd, kFadeTimer, kFadePeriod, nullptr);
}

// Returns Cancel as the handler left it; the handler gets copies of the rest.
bool VBDirectUI::RaiseControlButtonClick(qint32 index) {
  const SkinRect& r = Buttons[size_t(index)].Rect;
  qint32 ButtonIndex = index;
  qint32 MenuX = r.Left;
  qint32 MenuY = r.Top + r.Height;
  bool Cancel = false;
  if (ControlButtonClick) ControlButtonClick(ButtonIndex, MenuX, MenuY, Cancel);
  return Cancel;
}

bool VBDirectUI::GripsActive() const {
  return Sizable && !IsZoomed(HostWnd);
}

// A left press on a resize zone starts the system's resize, on the caption
// its move, on the window icon the system menu.
bool VBDirectUI::FrameMouseDown(qint16 Button, float X, float Y) {
  if (GripsActive()) {
    const qint32 grip = FrameLayout::GripAt(Grips, X, Y);
    if (grip >= 0) {
      SetCursor(Cursors[size_t(FrameLayout::kGripCursors[size_t(grip)])]);
      if (Button == 1) {
        PressedArea = AreaNone;
        ReleaseCapture();
        SendMessageA(HostWnd, WM_NCLBUTTONDOWN, FrameLayout::kGripHitTests[size_t(grip)], 0);
      }
      return true;
    }
    SetCursor(Cursors[0]);
  }
  if (!mDC::PointInSkinRect(Areas[2], X, Y) || Button != 1) return true;
  if (SmallIcon && FrameLayout::OnCaptionIcon(Areas[2], X, Y)) return ShowSystemMenu(HostWnd);
  PressedArea = AreaNone;
  ReleaseCapture();
  SendMessageA(HostWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  return true;
}

void VBDirectUI::FrameMouseMove(float X, float Y) {
  if (!GripsActive()) return;
  const qint32 grip = FrameLayout::GripAt(Grips, X, Y);
  SetCursor(Cursors[grip >= 0 ? size_t(FrameLayout::kGripCursors[size_t(grip)]) : 0]);
}

// A right click on the caption, or any click on the top band of a maximised
// window outside it, opens the system menu.
bool VBDirectUI::FrameMouseUp(qint16 Button, float X, float Y) {
  if (mDC::PointInSkinRect(Areas[2], X, Y)) {
    if (Button == 2) return ShowSystemMenu(HostWnd);
  } else if (IsZoomed(HostWnd) && Y <= kMaximisedMenuBand) {
    return ShowSystemMenu(HostWnd);
  }
  return true;
}

// The chosen command goes to the window, also 0 when nothing was chosen.
bool VBDirectUI::ShowSystemMenu(HWND window) {
  const HMENU menu = GetSystemMenu(window, false);
  if (!menu) return true;
  const std::weak_ptr<int> alive = LifeToken;
  POINT at;
  GetCursorPos(&at);
  const RECT none;
  const qint32 command = TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, window, &none);
  SendMessageA(window, WM_SYSCOMMAND, quint32(command), 0);
  return !alive.expired();
}

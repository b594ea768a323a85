#include "FrameMouse.h"

#include "Cursor.h"
#include "Input.h"
#include "Window.h"

#include <QPointer>

#include <algorithm>
#include <cstdlib>

using namespace ModAPI;

namespace {

// The system pointer shapes, in the order the resize zones index them.
constexpr int kCursorIds[15] = {
    IDC_ARROW,    IDC_CROSS,  IDC_APPSTARTING, IDC_WAIT,    IDC_HAND,
    IDC_HELP,     IDC_IBEAM,  IDC_NO,          IDC_SIZE,    IDC_SIZENWSE,
    IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS,      IDC_SIZEALL, IDC_UPARROW,
};

constexpr qint32 kMaximisedMenuBand = 31;  // a maximised window's caption height

}  // namespace

FrameMouse::FrameMouse(const FrameGeometry& geometry, FadeAnimation& fade, const HostWindow& host,
                       const FramePainter& painter)
    : geometry_(geometry), fade_(fade), host_(host), painter_(painter) {
  for (size_t i = 0; i < Cursors.size(); ++i) Cursors[i] = LoadCursorA(nullptr, kCursorIds[i]);
}

FrameMouse::~FrameMouse() {
  destroyCursors();
}

void FrameMouse::destroyCursors() {
  for (HCURSOR& cursor : Cursors) {
    if (cursor) DestroyCursor(cursor);
    cursor = {};
  }
}

bool FrameMouse::cursorsLoaded() const {
  return std::all_of(Cursors.begin(), Cursors.end(), [](HCURSOR c) { return bool(c); });
}

void FrameMouse::OnMouseDown(const MouseEvent& e) {
  const QPointer<FrameMouse> alive(this);
  if (e.Button != 0) SetCapture(host_.HostWnd);
  switch (geometry_.areaAt(e.X, e.Y)) {
    case Area::AreaStrip:
      PressedArea = Area::AreaStrip;
      StripMouseDown(e);
      break;
    case Area::AreaBody:
      PressedArea = Area::AreaBody;
      break;
    default:
      PressedArea = Area::AreaFrame;
      FrameMouseDown(e);
      break;
  }
  if (!alive) return;
  if (geometry_.inEdgeBand(e.X, e.Y) && !ZoomedAtMove) PointerReset = false;
}

// While a button is held the area it went down in gets the moves; otherwise
// the area under the pointer, after the one it left has been told.
void FrameMouse::OnMouseMove(const MouseEvent& e) {
  ZoomedAtMove = host_.isZoomed();
  Area area = PressedArea;
  if (area == Area::AreaNone) {
    area = geometry_.areaAt(e.X, e.Y);
    if (HoverArea != area) {
      if (HoverArea == Area::AreaStrip) StripMouseLeave();
      HoverArea = area;
    }
  }
  if (area == Area::AreaStrip) StripMouseMove(e);
  if (area == Area::AreaFrame) FrameMouseMove(e);
  // Along the edges the pointer keeps the shape the resize zones gave it.
  if (e.X > 0 && e.Y > 0 && e.Button != 1 && geometry_.inEdgeBand(e.X, e.Y) && !ZoomedAtMove) {
    PointerReset = false;
  } else {
    ResetPointerOverride();
    PointerReset = true;
  }
}

void FrameMouse::OnMouseUp(const MouseEvent& e) {
  const QPointer<FrameMouse> alive(this);
  ReleaseCapture();
  if (PressedArea == Area::AreaStrip) {
    StripMouseUp(e);
  } else if (PressedArea == Area::AreaFrame) {
    FrameMouseUp(e);
  }
  if (alive) PressedArea = Area::AreaNone;
}

void FrameMouse::OnDblClick(const MouseEvent& e) {
  captionPressedAt.reset();
  if (geometry_.areaAt(e.X, e.Y) == Area::AreaStrip) return;
  if (geometry_.inCaptionBar(e.X, e.Y) && e.Button == 1) toggleMaximise();
}

void FrameMouse::onMouseLeave() {
  if (HoverArea == Area::AreaStrip) StripMouseLeave();
  HoverArea = Area::AreaNone;
}

void FrameMouse::toggleMaximise() {
  ZoomedAtMove = true;
  host_.toggleMaximise();
}

void FrameMouse::StripMouseDown(const MouseEvent& e) {
  if (e.Button != 1) return;
  const auto pressed = geometry_.buttonAt(e.X, e.Y);
  if (!pressed) return;
  PressedButton = pressed;
  fade_.start(*pressed, FadeAnimation::kPressFade, ButtonState::ButtonPressed);
}

// No hover changes while the left button is held.
void FrameMouse::StripMouseMove(const MouseEvent& e) {
  if (e.Button == 1) return;
  const auto hovered = geometry_.buttonAt(e.X, e.Y);
  if (!hovered || hovered == HotButton) return;
  if (HotButton) fade_.start(*HotButton, FadeAnimation::kChangeFade, ButtonState::ButtonNormal);
  HotButton = hovered;
  fade_.start(*hovered, FadeAnimation::kChangeFade, ButtonState::ButtonHover);
}

// A release on the pressed button clicks it: the owner hears of it first and
// may cancel, which leaves the button pressed. A release anywhere else only
// lets the button go.
void FrameMouse::StripMouseUp(const MouseEvent& e) {
  if (e.Button != 1 || !PressedButton) return;
  const CaptionButtonId pressed = *PressedButton;
  if (mDC::PointInSkinRect(geometry_.button(pressed).Rect, e.X, e.Y) &&
      click(pressed) != ClickOutcome::Done) {
    return;  // cancelled, or the skin is gone
  }
  fade_.start(pressed, FadeAnimation::kChangeFade, ButtonState::ButtonNormal);
  PressedButton.reset();
}

void FrameMouse::StripMouseLeave() {
  fade_.startAllNormal();
  HotButton.reset();
}

FrameMouse::ClickOutcome FrameMouse::click(CaptionButtonId id) {
  const QPointer<FrameMouse> alive(this);
  const bool cancelled = raiseControlButtonClick(id);
  if (!alive) return ClickOutcome::Gone;
  if (cancelled) return ClickOutcome::Cancelled;
  switch (id) {
    case CaptionButtonId::Close:
      host_.close();
      break;
    case CaptionButtonId::Maximise:
      toggleMaximise();
      break;
    case CaptionButtonId::Minimise:
      host_.minimise();
      break;
    case CaptionButtonId::Help:
      break;  // the help button means what its owner makes it mean
  }
  return alive ? ClickOutcome::Done : ClickOutcome::Gone;
}

void FrameMouse::clickButton(CaptionButtonId id) {
  if (host_.attached() && geometry_.button(id).Visible) click(id);
}

bool FrameMouse::raiseControlButtonClick(CaptionButtonId id) {
  const QPoint menu = geometry_.menuPoint(id);
  ControlButtonClickArgs args{qint32(id), menu.x(), menu.y(), false};
  emit ControlButtonClick(args);
  return args.Cancel;
}

bool FrameMouse::gripsActive() const {
  return host_.Sizable && !host_.isZoomed();
}

// A left press on a resize zone starts the system's resize, on the caption
// its move, on the window icon the system menu.
void FrameMouse::FrameMouseDown(const MouseEvent& e) {
  if (gripsActive()) {
    const qint32 grip = geometry_.gripAt(e.X, e.Y);
    if (grip >= 0) {
      SetCursor(Cursors[size_t(FrameGeometry::kGripCursors[size_t(grip)])]);
      if (e.Button == 1) {
        PressedArea = Area::AreaNone;
        ReleaseCapture();
        host_.startSystemResize(FrameGeometry::kGripHitTests[size_t(grip)]);
      }
      return;
    }
    SetCursor(Cursors[0]);
  }
  if (!geometry_.inCaptionBar(e.X, e.Y) || e.Button != 1) return;
  if (painter_.smallIcon() && geometry_.onCaptionIcon(e.X, e.Y)) {
    host_.ShowSystemMenu();
    return;
  }
  captionPressedAt = QPoint(e.X, e.Y);
}

void FrameMouse::moveOnceDragged(const MouseEvent& e) {
  const QPoint moved = QPoint(e.X, e.Y) - *captionPressedAt;
  if (e.Button != 1) {
    captionPressedAt.reset();
    return;
  }
  if (std::abs(moved.x()) < GetSystemMetrics(SM_CXDRAG) &&
      std::abs(moved.y()) < GetSystemMetrics(SM_CYDRAG)) {
    return;
  }
  captionPressedAt.reset();
  PressedArea = Area::AreaNone;
  ReleaseCapture();
  host_.startSystemMove();
}

void FrameMouse::FrameMouseMove(const MouseEvent& e) {
  if (captionPressedAt) {
    moveOnceDragged(e);
    return;
  }
  if (!gripsActive()) return;
  const qint32 grip = geometry_.gripAt(e.X, e.Y);
  SetCursor(Cursors[grip >= 0 ? size_t(FrameGeometry::kGripCursors[size_t(grip)]) : 0]);
}

// A right click on the caption, or any click on the top band of a maximised
// window outside it, opens the system menu.
void FrameMouse::FrameMouseUp(const MouseEvent& e) {
  captionPressedAt.reset();
  if (geometry_.inCaptionBar(e.X, e.Y)) {
    if (e.Button == 2) host_.ShowSystemMenu();
  } else if (host_.isZoomed() && e.Y <= kMaximisedMenuBand) {
    host_.ShowSystemMenu();
  }
}

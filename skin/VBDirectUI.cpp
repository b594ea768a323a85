#include "VBDirectUI.h"

using namespace ModAPI;

VBDirectUI::VBDirectUI() {
  connect(&mouse_, &FrameMouse::ControlButtonClick, this, &VBDirectUI::ControlButtonClick);
}

VBDirectUI::~VBDirectUI() {
  messages_.tearDown();
}

bool VBDirectUI::Skin(const QString& SkinNames, HWND hwnd) {
  painter_.releaseSurfaces();
  description_.load(SkinNames);
  AttachSkin(hwnd);
  return false;
}

bool VBDirectUI::HelpButton() const {
  return geometry_.button(CaptionButtonId::Help).Visible;
}

void VBDirectUI::setHelpButton(bool NewValue) {
  geometry_.button(CaptionButtonId::Help).Visible = NewValue;
}

bool VBDirectUI::MaxButton() const {
  return geometry_.button(CaptionButtonId::Maximise).Visible;
}

void VBDirectUI::setMaxButton(bool NewValue) {
  geometry_.button(CaptionButtonId::Maximise).Visible = NewValue;
}

bool VBDirectUI::MinButton() const {
  return geometry_.button(CaptionButtonId::Minimise).Visible;
}

void VBDirectUI::setMinButton(bool NewValue) {
  geometry_.button(CaptionButtonId::Minimise).Visible = NewValue;
}

void VBDirectUI::clickButton(qint32 ButtonIndex) {
  if (ButtonIndex < 0 || ButtonIndex > 3) return;
  mouse_.clickButton(CaptionButtonId(ButtonIndex));
}

void VBDirectUI::zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, HWND& lhWnd,
                                quint32& uMsg, quint32& wParam, qint32& lParam) {
  messages_.zSubclass_Proc(bBefore, bHandled, lReturn, lhWnd, uMsg, wParam, lParam);
}

qint32 VBDirectUI::AttachSkin(HWND hwnd) {
  if (host_.attached()) return 0;
  host_.attach(hwnd);
  fade_.setWindow(hwnd);
  const SkinRect outer = host_.outerRect();
  const QSize client = host_.clientSize();
  // What the window system still draws around the client area, measured
  // once: half the difference of outer and client width.
  if (outer.Width != client.width()) geometry_.FrameInset = (outer.Width - client.width()) / 2;
  geometry_.place(outer, client);
  const SkinValues& values = description_.values();
  host_.applyOutline(geometry_.FrameInset, client, values.SizeX1, values.SizeY1);
  messages_.attach();
  host_.setPaintedButtons(this);
  messages_.LayoutFrame();
  return 1;
}

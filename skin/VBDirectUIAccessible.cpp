// The caption buttons as assistive technology reads and presses them.
#include "VBDirectUI.h"

#include "Window.h"

using namespace ModAPI;

// Reading goes left to right; the buttons lie leftwards from the close button.
qint32 VBDirectUI::ButtonAtPlace(int place) {
  return 3 - place;
}

int VBDirectUI::PaintedButtonCount() const {
  return HostWnd ? 4 : 0;
}

QString VBDirectUI::PaintedButtonName(int place) const {
  switch (ButtonAtPlace(place)) {
    case 0:
      return QStringLiteral("关闭");
    case 1:
      return IsZoomed(HostWnd) ? QStringLiteral("还原") : QStringLiteral("最大化");
    case 2:
      return QStringLiteral("最小化");
    default:
      return QStringLiteral("帮助");
  }
}

RECT VBDirectUI::PaintedButtonRect(int place) const {
  const SkinRect& r = Buttons[size_t(ButtonAtPlace(place))].Rect;
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

bool VBDirectUI::PaintedButtonShown(int place) const {
  return Buttons[size_t(ButtonAtPlace(place))].Visible;
}

void VBDirectUI::PressPaintedButton(int place) {
  ClickButton(ButtonAtPlace(place));
}

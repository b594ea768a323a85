// The caption buttons as assistive technology reads and presses them.
#include "VBDirectUI.h"

using namespace ModAPI;

// Reading goes left to right; the buttons lie leftwards from the close button.
CaptionButtonId VBDirectUI::buttonAtPlace(int place) {
  return kCaptionButtons[size_t(3 - place)];
}

int VBDirectUI::paintedButtonCount() const {
  return host_.attached() ? 4 : 0;
}

QString VBDirectUI::paintedButtonName(int place) const {
  switch (buttonAtPlace(place)) {
    case CaptionButtonId::Close:
      return QStringLiteral("关闭");
    case CaptionButtonId::Maximise:
      return host_.isZoomed() ? QStringLiteral("还原") : QStringLiteral("最大化");
    case CaptionButtonId::Minimise:
      return QStringLiteral("最小化");
    case CaptionButtonId::Help:
      break;
  }
  return QStringLiteral("帮助");
}

RECT VBDirectUI::paintedButtonRect(int place) const {
  const SkinRect& r = geometry_.button(buttonAtPlace(place)).Rect;
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

bool VBDirectUI::paintedButtonShown(int place) const {
  return geometry_.button(buttonAtPlace(place)).Visible;
}

void VBDirectUI::pressPaintedButton(int place) {
  mouse_.clickButton(buttonAtPlace(place));
}

// The tests' view of the skin engine's private state.
#pragma once

#include "VBDirectUI.h"

#include <QPoint>
#include <QSize>

#include <map>

class VBDirectUIProbe {
 public:
  explicit VBDirectUIProbe(VBDirectUI& ui) : ui_(ui) {}

  std::map<QString, qint32> values() const {
    return {{"BackAlpha", ui_.BackAlpha}, {"TopLeft", ui_.TopLeft},
            {"TopRight", ui_.TopRight},   {"TopCeter", ui_.TopCeter},
            {"TopHeight", ui_.TopHeight}, {"CetLeft", ui_.CetLeft},
            {"CetRight", ui_.CetRight},   {"CetCeter", ui_.CetCeter},
            {"CetHeight", ui_.CetHeight}, {"BotLeft", ui_.BotLeft},
            {"BotRight", ui_.BotRight},   {"BotCeter", ui_.BotCeter},
            {"BotHeight", ui_.BotHeight}, {"CaptionColor", ui_.CaptionColor},
            {"SizeX1", ui_.SizeX1},       {"SizeY1", ui_.SizeY1}};
  }
  const auto& buttons() const { return ui_.Buttons; }
  const auto& areas() const { return ui_.Areas; }
  const auto& grips() const { return ui_.Grips; }
  std::array<ModAPI::HDC, 5> surfaces() const {
    return {ui_.WorkDC, ui_.FrameDC, ui_.MainDC, ui_.ButtonDC, ui_.BackDC};
  }
  bool hasBack() const { return ui_.HasBack; }
  QSize backSize() const { return {ui_.BackWidth, ui_.BackHeight}; }
  QSize mainSize() const { return {ui_.MainWidth, ui_.MainHeight}; }
  QSize sheetSize() const { return {ui_.ButtonImageWidth, ui_.ButtonImageHeight}; }
  QSize clientSize() const { return {ui_.ClientWidth, ui_.ClientHeight}; }
  QPoint clientOrigin() const { return {ui_.ClientLeft, ui_.ClientTop}; }
  qint32 frameInset() const { return ui_.FrameInset; }
  ModAPI::HWND hostWnd() const { return ui_.HostWnd; }
  bool sizable() const { return ui_.Sizable; }
  qint32 windowStyle() const { return ui_.WindowStyle; }
  QString skinPath() const { return ui_.SkinPath; }
  QString appPath() const { return ui_.AppPath; }
  const VBDirectUI& state() const { return ui_; }
  void layoutFrame() { ui_.LayoutFrame(); }
  void paintFrame() { ui_.PaintFrame(true); }
  auto& buttonsToChange() { return ui_.Buttons; }
  ModAPI::HDC frameDC() const { return ui_.FrameDC; }
  ModAPI::HDC buttonDC() const { return ui_.ButtonDC; }
  qint32 hotButton() const { return ui_.HotButton; }
  qint32 pressedButton() const { return ui_.PressedButton; }
  qint32 pressedArea() const { return ui_.PressedArea; }
  qint32 hoverArea() const { return ui_.HoverArea; }
  bool pointerReset() const { return ui_.PointerReset; }
  bool leaveTracking() const { return ui_.LeaveTracking; }
  ModAPI::HICON smallIcon() const { return ui_.SmallIcon; }
  qint32 glyphSourceX(qint32 button) const { return ui_.GlyphSourceX(button); }
  const ModAPI::SubclassTable& subclassTable() const { return ui_.SubclassTable; }
  static qint16 moveButton(quint32 wParam) { return VBDirectUI::MoveButton(wParam); }
  static QString withSeparator(const QString& path) { return VBDirectUI::WithSeparator(path); }

  // The members the later stages start from, compared with their initial values.
  bool hasInitialState() const {
    bool buttonsReady = true;
    for (const CaptionButton& b : ui_.Buttons)
      buttonsReady &= b.Visible && b.Fade == 255 && b.State == 0;
    bool cursorsLoaded = true;
    for (const ModAPI::HCURSOR c : ui_.Cursors) cursorsLoaded &= bool(c);
    return buttonsReady && cursorsLoaded && ui_.SubclassTable.size() == 1 &&
           !ui_.SubclassTable[0].window && ui_.HotButton == -1 && ui_.PressedButton == -1 &&
           ui_.PressedArea == VBDirectUI::AreaNone && ui_.HoverArea == VBDirectUI::AreaNone &&
           !ui_.LeaveTracking && !ui_.ZoomedAtMove && !ui_.PointerReset && !ui_.HostWnd &&
           ui_.FrameInset == 0 && !ui_.Ini && ui_.ControlBoxFlag && !ui_.SmallIcon;
  }

 private:
  VBDirectUI& ui_;
};

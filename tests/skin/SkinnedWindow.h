// A shown 400 x 300 window skinned from a test folder (see SkinFolder) with
// the "Cmd" keys below, its owner listening to ControlButtonClick and
// releasing the skin when it closes, as the main window does, and the
// timers on a manual clock.
#pragma once

#include "SkinFolder.h"
#include "SkinParts.h"
#include "Timer.h"
#include "VBDirectUI.h"
#include "Window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Close at x 356..395, maximise 328..356, minimise 300..328, help 272..300,
// all at y 0..20; the strip is (272, 2) to (398, 20). The frame picture is
// cut into nine slices.
inline const QByteArray kTestCmdKeys =
    "Cmd.Height=20\r\nCmdClose.Width=39\r\nCmd.Top=0\r\nCmd.Left=-5\r\nCmd.Width=28\r\n"
    "TopLeft=8\r\nTopRight=8\r\nTopCeter=44\r\nTopHeight=31\r\nCetLeft=3\r\nCetRight=3\r\n"
    "CetCeter=54\r\nCetHeight=20\r\nBotLeft=8\r\nBotRight=8\r\nBotCeter=44\r\nBotHeight=8\r\n";

class SkinOwner : public QWidget {
 public:
  struct Click {
    qint32 ButtonIndex, MenuX, MenuY;
    friend bool operator==(const Click&, const Click&) = default;
  };

  void attach(const QString& skinName) {
    skin = std::make_unique<VBDirectUI>();
    connect(skin.get(), &VBDirectUI::ControlButtonClick, this, [this](ControlButtonClickArgs& e) {
      clicks.push_back({e.ButtonIndex, e.MenuX, e.MenuY});
      e.Cancel = cancel;
    });
    skin->Skin(skinName, ModAPI::WindowHandle(this));
  }

  std::unique_ptr<VBDirectUI> skin;
  std::vector<Click> clicks;
  bool cancel = false;
  int keyEvents = 0;  // key events that reached the window's own handling

 protected:
  void closeEvent(QCloseEvent* event) override {
    skin.reset();
    QWidget::closeEvent(event);
  }
  void keyPressEvent(QKeyEvent*) override { ++keyEvents; }
  void keyReleaseEvent(QKeyEvent*) override { ++keyEvents; }
};

class SkinnedWindow : public ::testing::Test {
 protected:
  void SetUp() override { ModAPI::SetManualClock(true); }
  void TearDown() override { ModAPI::SetManualClock(false); }

  // Shows the window and skins it; `ini` goes into "Skin.ini" beside the keys.
  void skin(const QByteArray& ini = {}, bool withBack = false) {
    folder.writeSkin("[Main]\r\n" + kTestCmdKeys + ini, withBack);
    showSkinned();
  }
  // The same with `back` as the background picture, blended opaque.
  void skinOver(const QImage& back) {
    folder.writeSkin("[Main]\r\n" + kTestCmdKeys + "BackAlpha=255\r\n", false);
    folder.writePicture("bkg.jpg", back, "PNG");
    showSkinned();
  }
  void showSkinned() {
    window.setWindowTitle("skinned");
    window.resize(400, 300);
    window.show();
    window.attach(folder.name());
    hwnd = ModAPI::WindowHandle(&window);
    // A first move here: a move to where the pointer already is (it may be
    // where the last test left it) does not count as one.
    QTest::mouseMove(&window, QPoint(200, 150));
  }

  const VBDirectUI& ui() const { return *window.skin; }
  const FadeAnimation& fade() const { return window.skin->fade(); }
  const FrameMouse& mouse() const { return window.skin->mouse(); }
  ModAPI::HDC frameDC() const { return window.skin->painter().frameDC(); }
  const ButtonLook& look(CaptionButtonId id) const { return fade().look(id); }
  QPoint centre(CaptionButtonId id) const { return centreOf(ui(), id); }
  // The frame painted again, as an activation change paints it.
  void repaint() { send(false, ModAPI::WM_NCACTIVATE, 1, 0); }

  // The message through the skin's handler, as its hook offers it.
  qint32 send(bool before, quint32 msg, quint32 wParam, qint32 lParam, qint32 lReturn = 0,
              bool* handled = nullptr) {
    bool bHandled = false;
    ModAPI::HWND target = hwnd;
    window.skin->zSubclass_Proc(before, bHandled, lReturn, target, msg, wParam, lParam);
    if (handled) *handled = bHandled;
    return lReturn;
  }

  SkinFolder folder;
  SkinOwner window;
  ModAPI::HWND hwnd;
};

// The caption buttons without the mouse: clicked from the keyboard's
// shortcuts through clickButton, read and pressed by assistive technology
// through the window's accessible interface, and the system menu from
// Alt+Space.
#include "SkinnedWindow.h"

#include "MenuRecorder.h"
#include "Messages.h"
#include "Subclass.h"
#include "SystemMenu.h"
#include "Window.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

using namespace ModAPI;

namespace {

class CaptionButtonAccess : public SkinnedWindow {
 protected:
  QAccessibleInterface* windowInterface() { return QAccessible::queryAccessibleInterface(&window); }

  // The window's children that are push buttons without an object: the
  // painted ones, by name.
  QStringList paintedButtonNames() {
    QStringList names;
    QAccessibleInterface* iface = windowInterface();
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* child = iface->child(i);
      if (!child->object() && child->role() == QAccessible::PushButton)
        names << child->text(QAccessible::Name);
    }
    return names;
  }

  QAccessibleInterface* paintedButton(const QString& name) {
    QAccessibleInterface* iface = windowInterface();
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* child = iface->child(i);
      if (!child->object() && child->text(QAccessible::Name) == name) return child;
    }
    return nullptr;
  }
};

TEST_F(CaptionButtonAccess, ClickButtonReportsThenActsLikeTheMouse) {
  skin();
  window.skin->clickButton(3);
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_EQ(window.clicks[0], (SkinOwner::Click{3, 272, 20}));
  window.skin->clickButton(1);
  EXPECT_TRUE(window.isMaximized());
  window.skin->clickButton(1);
  EXPECT_FALSE(window.isMaximized());
  window.cancel = true;
  window.skin->clickButton(0);
  EXPECT_TRUE(window.isVisible()) << "cancelled";
  EXPECT_EQ(mouse().pressedButton(), std::nullopt) << "no button looks pressed";
  window.cancel = false;
  window.skin->clickButton(0);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.skin, nullptr) << "the owner released the skin while it clicked";
}

TEST_F(CaptionButtonAccess, HiddenAndUnknownButtonsCannotBeClicked) {
  skin();
  window.skin->setMaxButton(false);
  for (const qint32 index : {1, 4, -1, 99}) window.skin->clickButton(index);
  EXPECT_TRUE(window.clicks.empty());
  EXPECT_FALSE(window.isMaximized());
  VBDirectUI unattached;
  unattached.clickButton(0);  // no window: nothing to click, nothing to crash
}

TEST_F(CaptionButtonAccess, ReadLeftToRightAndNamedByTheWindowsState) {
  skin();
  QAccessibleInterface* iface = windowInterface();
  EXPECT_EQ(iface->role(), QAccessible::Window);
  EXPECT_EQ(iface->text(QAccessible::Name), "skinned");
  EXPECT_EQ(paintedButtonNames(), QStringList({"帮助", "最小化", "最大化", "关闭"}));
  window.showMaximized();
  EXPECT_EQ(paintedButtonNames(), QStringList({"帮助", "最小化", "还原", "关闭"}));
  window.showNormal();
  QAccessibleInterface* close = paintedButton("关闭");
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->rect(), QRect(window.mapToGlobal(QPoint(356, 0)), QSize(39, 20)));
  EXPECT_EQ(close->parent(), iface);
  EXPECT_EQ(iface->indexOfChild(close), 3);
  EXPECT_FALSE(close->state().invisible);
  window.skin->setHelpButton(false);
  EXPECT_TRUE(paintedButton("帮助")->state().invisible);
}

TEST_F(CaptionButtonAccess, ThePressActionClicks) {
  skin();
  QAccessibleActionInterface* help = paintedButton("帮助")->actionInterface();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
  help->doAction(QAccessibleActionInterface::pressAction());
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_EQ(window.clicks[0].ButtonIndex, 3);
  paintedButton("最小化")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(window.isMinimized());
}

// Once the skin is gone its buttons are gone from the window too; the
// interfaces handed out before say so instead of reaching the freed skin.
TEST_F(CaptionButtonAccess, TheButtonsGoWithTheSkin) {
  skin();
  QAccessibleInterface* close = paintedButton("关闭");
  ASSERT_NE(close, nullptr);
  window.skin.reset();
  EXPECT_TRUE(paintedButtonNames().isEmpty());
  EXPECT_FALSE(close->isValid());
  EXPECT_TRUE(close->text(QAccessible::Name).isEmpty());
  close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(window.isVisible());
}

TEST_F(CaptionButtonAccess, AltSpaceOpensTheSystemMenuAtTheWindowsCorner) {
  skin();
  InstallSystemMenuKey(&window);
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  MenuRecorder menu(SC_MAXIMIZE);
  QTest::keyClick(window.windowHandle(), Qt::Key_Space, Qt::AltModifier);
  ASSERT_EQ(menu.shown.size(), 1u);
  EXPECT_EQ(menu.shown[0], window.frameGeometry().topLeft());
  EXPECT_TRUE(window.isMaximized()) << "the chosen command goes to the window";
}

TEST_F(CaptionButtonAccess, ADismissedKeyboardMenuSendsNothing) {
  skin();
  MenuRecorder menu(0);
  SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
  EXPECT_EQ(menu.shown.size(), 1u);
  EXPECT_FALSE(window.isMaximized());
  EXPECT_TRUE(window.isVisible());
}

}  // namespace

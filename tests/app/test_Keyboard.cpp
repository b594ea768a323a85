// The main window used with the keyboard alone: every key goes in through
// the window, as the window system delivers it, and finds its way by Qt's
// focus and shortcut handling past the skin, which keeps the window's own key
// messages from it.
#include "FormMain.h"

#include "Controls.h"
#include "Design.h"
#include "MenuRecorder.h"
#include "Shell.h"
#include "ShellRecorder.h"
#include "SystemMenu.h"
#include "Typing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <numeric>

namespace {

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    // Nothing listens there: queries complete with the engine's error page.
    qputenv("COURIER_QUERY_SERVICE", "http://127.0.0.1:9");
    ASSERT_TRUE(form.Form_Load(QString()));
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void TearDown() override { qunsetenv("COURIER_QUERY_SERVICE"); }

  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(form.windowHandle(), key, modifiers);
  }
  void type(const QString& text) { typeText(form.windowHandle(), text); }
  QWidget* focus() const { return QApplication::focusWidget(); }

  const Module1::CourierLabels& labels() const { return form.BG->labels(); }
  int16_t current() const { return form.BG->currentLabel(); }
  QString prompt() const { return "请输入 " + form.LBTitle->caption() + " 单号"; }
  // The label of the heading `letter` and the first courier after it.
  std::pair<int16_t, int16_t> heading(const QString& letter) const {
    for (const auto& label : labels().all()) {
      if (label.isHeading() && label.Caption == letter) return {label.Index, label.Index + 1};
    }
    return {-1, -1};
  }
  bool resultViewShown() const { return !form.Text->isHidden() && !form.Back->isHidden(); }

  ShellRecorder shell;
  FormMain form;
};

TEST_F(Keyboard, TheNumberBoxStartsWithThePromptSelected) {
  EXPECT_EQ(focus(), form.SStext);
  EXPECT_EQ(form.SStext->selectedText(), prompt());
  type("YT1");
  EXPECT_EQ(form.SStext->text(), "YT1") << "typing replaces the prompt";
}

TEST_F(Keyboard, TabGoesNumberBoxQueryButtonPanelBack) {
  press(Qt::Key_Tab);
  EXPECT_EQ(focus(), form.SSCMD);
  press(Qt::Key_Tab);
  EXPECT_EQ(focus(), form.BG);
  press(Qt::Key_Tab);
  EXPECT_EQ(focus(), form.SStext) << "返回 is not shown";
  EXPECT_EQ(form.SStext->selectedText(), prompt()) << "the prompt, selected again";
  press(Qt::Key_Backtab);
  EXPECT_EQ(focus(), form.BG);

  // With the result shown the result area takes the panel's place.
  form.SStext->setText("YT100");
  press(Qt::Key_Tab);
  press(Qt::Key_Return);
  ASSERT_TRUE(resultViewShown());
  const QWidget* expected[] = {form.SSCMD, form.Text, form.Back, form.SStext};
  for (const QWidget* next : expected) {
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), next) << next->accessibleName().toStdString();
  }
}

// Reading order is the labels' order; every courier once, no heading.
TEST_F(Keyboard, ArrowsHomeAndEndWalkTheCouriersAndPassHeadingsBy) {
  form.BG->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(current(), form.selection().SelectedCourierIndex())
      << "the keyboard starts on the chosen one";
  press(Qt::Key_Home);
  std::vector<int16_t> visited{current()};
  for (int i = 0; i < labels().count(); ++i) {
    press(Qt::Key_Right);
    if (current() != visited.back()) visited.push_back(current());
  }
  std::vector<int16_t> couriers;
  for (const auto& label : labels().all())
    if (!label.isHeading()) couriers.push_back(label.Index);
  EXPECT_EQ(visited, couriers);
  press(Qt::Key_End);
  EXPECT_EQ(current(), couriers.back());
  press(Qt::Key_Up);
  EXPECT_EQ(current(), couriers[couriers.size() - 2]);
  press(Qt::Key_Down);
  press(Qt::Key_Home);
  press(Qt::Key_Left);
  EXPECT_EQ(current(), couriers.front()) << "the first stays first";
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 1) << "moving chooses nothing";
}

TEST_F(Keyboard, ALetterGoesToTheFirstCourierUnderItsHeading) {
  form.BG->setFocus(Qt::TabFocusReason);
  const auto [d, underD] = heading("D");
  ASSERT_GT(d, 0);
  press(Qt::Key_D);
  EXPECT_EQ(current(), underD);
  press(Qt::Key_Home);
  press(Qt::Key_D, Qt::ShiftModifier);
  EXPECT_EQ(current(), underD) << "capital or not";
  press(Qt::Key_E);  // no heading E
  press(Qt::Key_1);
  EXPECT_EQ(current(), underD);
}

// The same letter again goes through the couriers under its heading and
// from the last of them back to the first; a letter from elsewhere starts
// at the first.
TEST_F(Keyboard, TheSameLetterAgainGoesToTheNextCourierUnderItsHeading) {
  form.BG->setFocus(Qt::TabFocusReason);
  const auto [b, underB] = heading("B");
  const auto [c, underC] = heading("C");
  ASSERT_GT(c - underB, 1) << "two couriers under B at least";
  std::vector<int16_t> visited;
  for (int16_t k = underB; k < c; ++k) {
    press(Qt::Key_B);
    visited.push_back(current());
  }
  std::vector<int16_t> underHeading(size_t(c - underB));
  std::iota(underHeading.begin(), underHeading.end(), underB);
  EXPECT_EQ(visited, underHeading);
  press(Qt::Key_B);
  EXPECT_EQ(current(), underB) << "from the last back to the first";
  press(Qt::Key_End);
  press(Qt::Key_B);
  EXPECT_EQ(current(), underB) << "from another heading's courier";
  press(Qt::Key_C);
  EXPECT_EQ(current(), underC);
}

// Enter and Space choose exactly as a click does: selection, highlight,
// title and the prompt over whatever number was typed.
TEST_F(Keyboard, EnterAndSpaceChooseTheCurrentCourierAsAClickDoes) {
  const auto [q, underQ] = heading("Q");
  form.SStext->setText("12345");
  form.BG->setFocus(Qt::TabFocusReason);
  press(Qt::Key_Q);
  press(Qt::Key_Right);
  press(Qt::Key_Return);
  const int16_t chosen = underQ + 1;
  EXPECT_EQ(form.selection().SelectedCourierIndex(), chosen);
  EXPECT_EQ(labels()[chosen].BackStyle, Module1::Opaque);
  EXPECT_EQ(labels()[1].BackStyle, Module1::Transparent);
  EXPECT_EQ(form.LBTitle->caption(), labels()[chosen].Caption);
  EXPECT_EQ(form.LBTitle->Tag, labels()[chosen].Tag);
  EXPECT_EQ(form.SStext->text(), prompt());
  press(Qt::Key_Home);
  press(Qt::Key_Space);
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 0);
  press(Qt::Key_Right);
  press(Qt::Key_Return, Qt::ControlModifier);
  press(Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 0) << "held with Ctrl they choose nothing";
}

TEST_F(Keyboard, TheButtonsActOnEnterAndSpaceAndEscapeGoesBack) {
  type("YT100");
  press(Qt::Key_Tab);
  press(Qt::Key_Space);
  ASSERT_TRUE(resultViewShown()) << "查询 on Space";
  press(Qt::Key_Escape);
  EXPECT_FALSE(resultViewShown());
  EXPECT_TRUE(form.Back->isHidden());

  press(Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_TRUE(resultViewShown()) << "查询 on the keypad's Enter";
  press(Qt::Key_Tab);
  press(Qt::Key_Tab);
  ASSERT_EQ(focus(), form.Back);
  press(Qt::Key_Return);
  EXPECT_FALSE(resultViewShown()) << "返回 on Enter";
  EXPECT_EQ(focus(), form.BG) << "the panel takes the result view's place";
  EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Keyboard, EscapeClosesWhateverBackCloses) {
  press(Qt::Key_Escape);  // nothing to close
  EXPECT_TRUE(form.Back->isHidden());
  type("YT100");
  press(Qt::Key_Return);
  QTest::mouseClick(form.P1, Qt::LeftButton, {}, QPoint(5, 5));  // hides only the result area
  ASSERT_FALSE(form.Back->isHidden());
  press(Qt::Key_Escape);
  EXPECT_TRUE(form.Back->isHidden());
}

TEST_F(Keyboard, F1IsTheHelpButtonAndAltSpaceTheSystemMenu) {
  press(Qt::Key_F1);
  EXPECT_EQ(shell.opened, QStringList{ModAPI::VendorHomePage()});
  MenuRecorder menu(ModAPI::SC_MAXIMIZE);
  press(Qt::Key_Space, Qt::AltModifier);
  EXPECT_TRUE(menu.offered().contains("最小化"));
  EXPECT_TRUE(menu.offered().contains("关闭"));
  EXPECT_TRUE(form.isMaximized());
  EXPECT_EQ(form.SStext->text(), prompt()) << "the space went to the menu, not the box";
}

QImage picture(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The ring lies where nothing else is drawn: around the current courier,
// between the label and the hover frame, and inside the buttons' edges.
TEST_F(Keyboard, TheFocusCanBeSeen) {
  const QColor blue = ModAPI::OleColor(FormControls::kFocusBlue);
  form.BG->setFocus(Qt::TabFocusReason);
  const QRect label = form.BG->pixelRect(labels()[current()]);
  EXPECT_EQ(picture(form.BG).pixelColor(label.left() - 2, label.center().y()), blue);
  press(Qt::Key_Right);
  EXPECT_NE(picture(form.BG).pixelColor(label.left() - 2, label.center().y()), blue);

  const QImage unfocused = picture(form.SSCMD);
  form.SSCMD->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(picture(form.SSCMD).pixelColor(3, form.SSCMD->height() / 2), Qt::white);
  EXPECT_NE(unfocused.pixelColor(3, form.SSCMD->height() / 2), Qt::white);
  EXPECT_NE(picture(form.BG).pixelColor(label.left() - 2, label.center().y()), blue)
      << "no ring without the focus";
}

// The mouse does what it did: a click takes no focus from the number box.
TEST_F(Keyboard, ClicksTakeNoFocus) {
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  QTest::mouseClick(form.BG, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(focus(), form.SStext);
}

}  // namespace

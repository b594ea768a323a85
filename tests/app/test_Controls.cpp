// The design's controls raise their events as Qt signals: each reaches every
// listener, a spy can record it, and KeyPress's character code is what the
// handlers leave of it.
#include "Controls.h"
#include "CourierPanel.h"
#include "Design.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

using namespace FormControls;

namespace {

// A shown window of its own for the controls under test.
class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QWidget window;
};

TEST_F(Controls, AClickIsAPressAndAReleaseOnTheControl) {
  auto* box = new PictureBox(&window);
  box->setGeometry(10, 10, 50, 30);
  box->show();
  QSignalSpy clicks(box, &PictureBox::Click);
  int second = 0;
  QObject::connect(box, &PictureBox::Click, [&] { ++second; });
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(box, Qt::RightButton, {}, QPoint(5, 5));
  QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(80, 5));  // released beside it
  EXPECT_EQ(clicks.size(), 1);
  EXPECT_EQ(second, 1) << "every listener hears it";

  QSignalSpy moves(box, &PictureBox::MouseMove);
  QTest::mouseMove(box, QPoint(7, 7));
  EXPECT_EQ(moves.size(), 1);
}

TEST_F(Controls, APictureButtonClicksByMouseAndByKey) {
  auto* button = new PictureButton(&window, QStringLiteral("查询"), kFocusBlue);
  button->setGeometry(10, 10, 50, 30);
  button->show();
  button->setFocus();
  QSignalSpy clicks(button, &PictureButton::Click);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::keyClick(button, Qt::Key_Space);
  QTest::keyClick(button, Qt::Key_Return);
  QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(clicks.size(), 4);
  QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClick(button, Qt::Key_Return, Qt::AltModifier);
  EXPECT_EQ(clicks.size(), 4) << "Enter with Ctrl or Alt presses nothing";
}

// Which character a key types, as KeyPress reports it.
TEST(TypedCharacter, EnterIsThirteenUnlessCtrlOrAltIsHeld) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    qint16 code;
  } cases[] = {
      {Qt::Key_Return, {}, "\r", 13},
      {Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
      {Qt::Key_Return, Qt::ShiftModifier, "\r", 13},
      {Qt::Key_Return, Qt::ControlModifier, "\r", 0},
      {Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier, "\r", 0},
      {Qt::Key_A, {}, "a", 'a'},
      {Qt::Key_Left, {}, "", 0},
      {Qt::Key_unknown, {}, "ab", 0},  // an input method's two characters: not one key's
  };
  for (const auto& c : cases) {
    const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
    EXPECT_EQ(typedCharacter(event), c.code) << c.key << " " << c.modifiers.toInt();
  }
}

class NumberBox : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    box = new TextBox(&window);
    box->setGeometry(10, 10, 200, 24);
    box->show();
    box->setFocus();
    QApplication::processEvents();
  }
  TextBox* box = nullptr;
};

TEST_F(NumberBox, KeyPressGivesTheCodeAndTheKeyStillReachesTheBox) {
  QSignalSpy keys(box, &TextBox::KeyPress);
  QTest::keyClicks(box, "a1");
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClick(box, Qt::Key_Left);  // types nothing: no KeyPress
  ASSERT_EQ(keys.size(), 3);
  EXPECT_EQ(keys[0][0].value<qint16>(), 'a');
  EXPECT_EQ(keys[2][0].value<qint16>(), 13);
  EXPECT_EQ(box->text(), "a1");
}

TEST_F(NumberBox, AHandlerThatChangesTheCodeChangesWhatIsTyped) {
  QObject::connect(box, &TextBox::KeyPress, [](qint16& KeyAscii) {
    if (KeyAscii >= 'a' && KeyAscii <= 'z') KeyAscii = qint16(KeyAscii - 'a' + 'A');
  });
  QObject::connect(box, &TextBox::KeyPress, [](qint16& KeyAscii) {
    if (KeyAscii == '-') KeyAscii = 0;  // swallowed
  });
  QTest::keyClicks(box, "sf-12");
  EXPECT_EQ(box->text(), "SF12");
}

TEST_F(NumberBox, FocusChangeAndClickEvents) {
  QSignalSpy got(box, &TextBox::GotFocus), byKeyboard(box, &TextBox::gotFocusByKeyboard),
      lost(box, &TextBox::LostFocus), changes(box, &TextBox::Change), clicks(box, &TextBox::Click);
  auto* other = new TextBox(&window);
  other->setGeometry(10, 50, 200, 24);
  other->show();
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(lost.size(), 1);
  box->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(got.size(), 1);
  EXPECT_EQ(byKeyboard.size(), 1);
  other->setFocus(Qt::MouseFocusReason);
  box->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(got.size(), 2);
  EXPECT_EQ(byKeyboard.size(), 1) << "not from a click";

  box->setText("YT1");
  QTest::keyClicks(box, "2");
  EXPECT_EQ(changes.size(), 2) << "set and typed alike";
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(clicks.size(), 1);
}

TEST_F(Controls, FollowingShowAndHideEndsWithTheFollower) {
  auto* watched = new QWidget(&window);
  auto* follower = new QObject;
  int calls = 0;
  followShowAndHide(watched, follower, [&] { ++calls; });
  watched->hide();
  watched->show();
  window.hide();  // the window, not the watched widget itself
  EXPECT_EQ(calls, 2);
  delete follower;
  watched->hide();
  EXPECT_EQ(calls, 2);
}

// The panel raises the label group's Click and MouseMove with the label's
// index, and its own MouseMove over the bare panel.
TEST_F(Controls, ThePanelRaisesTheLabelsEvents) {
  Module1::CourierEntry design;
  design.Visible = true;
  auto* panel = new CourierPanel(&window, design, ModAPI::DesignFont(QStringLiteral("宋体"), 10.5),
                                 QCursor());
  panel->setGeometry(0, 0, 400, 300);
  panel->show();
  Module1::CourierLabels& labels = panel->labels();
  labels.load(1);
  for (int16_t n : {0, 1}) {
    labels.setCaption(n, QStringLiteral("快递%1").arg(n));
    labels.setVisible(n, true);
    labels.move(n, 450 + n * 1500, 300);
  }
  const QPoint onLabel1 = panel->pixelRect(labels[1]).center();
  QSignalSpy clicks(&labels, &Module1::CourierLabels::Click);
  QSignalSpy labelMoves(&labels, &Module1::CourierLabels::MouseMove);
  QSignalSpy panelMoves(panel, &CourierPanel::MouseMove);

  QTest::mouseMove(panel, onLabel1);
  QTest::mouseMove(panel, QPoint(5, 290));
  QTest::mouseClick(panel, Qt::LeftButton, {}, onLabel1);
  QTest::mousePress(panel, Qt::LeftButton, {}, onLabel1);
  QTest::mouseRelease(panel, Qt::LeftButton, {}, panel->pixelRect(labels[0]).center());
  ASSERT_EQ(clicks.size(), 1) << "press and release on the same label only";
  EXPECT_EQ(clicks[0][0].value<int16_t>(), 1);
  ASSERT_GE(labelMoves.size(), 1);
  EXPECT_EQ(labelMoves[0][0].value<int16_t>(), 1);
  EXPECT_EQ(panelMoves.size(), 1);
}

}  // namespace

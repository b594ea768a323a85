// The real main window on the offscreen platform, loading the sample
// catalogue that the build puts beside this test.
#include "FormMain.h"

#include "Design.h"
#include "DesktopShell.h"
#include "StateSnapshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Geometry {
  float left, top, width, height;
};

void expectGeometry(const FormControls::Control& control, Geometry g) {
  EXPECT_FLOAT_EQ(control.Left(), g.left);
  EXPECT_FLOAT_EQ(control.Top(), g.top);
  EXPECT_FLOAT_EQ(control.Width(), g.width);
  EXPECT_FLOAT_EQ(control.Height(), g.height);
}

int opaqueLabels(const FormMain& form) {
  int count = 0;
  for (const auto& label : form.BG->labels().all()) count += label.BackStyle == Module1::Opaque;
  return count;
}

class MainWindow : public ::testing::Test {
 protected:
  void load(const QString& commandLine = {}) {
    ASSERT_TRUE(form.Form_Load(commandLine));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  }
  FormMain form;
};

TEST_F(MainWindow, StartUpLayoutAtDesignSize) {
  load();
  EXPECT_EQ(form.size(), QSize(600, 500));
  SCOPED_TRACE("controls after the first resize");
  expectGeometry(*form.BG, {60, 1575, 8880, 5505});
  expectGeometry(*form.Text, {150, 150, 8730, 5355});
  expectGeometry(*form.Back, {6975, 4800, 1530, 405});
  // The number box may already have the focus, and so the larger focus frame.
  EXPECT_FLOAT_EQ(form.SSBG->Left(), 3090);
  EXPECT_FLOAT_EQ(form.SSBG->Top(), 900);
  expectGeometry(*form.SStext, {150, 225, 3735, 255});
  expectGeometry(*form.SSCMD, {7305, 900, 1545, 600});
  expectGeometry(*form.P1, {150, 900, 2370, 600});
  expectGeometry(*form.LBTitle, {720, 150, 1575, 255});
  expectGeometry(*form.Web, {9000, 7500, 2535, 1575});
  EXPECT_TRUE(form.Text->isHidden());
  EXPECT_TRUE(form.Back->isHidden());
  EXPECT_TRUE(form.S1->isHidden());
}

TEST_F(MainWindow, DefaultSelectionIsLabelOne) {
  load();
  const auto& labels = form.BG->labels();
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 1);
  EXPECT_EQ(labels[1].BackStyle, Module1::Opaque);
  EXPECT_EQ(labels[1].BackColor, Module1::kSelectedBackColor);
  EXPECT_EQ(opaqueLabels(form), 1);
  EXPECT_EQ(form.LBTitle->caption(), labels[1].Caption);
  EXPECT_EQ(form.LBTitle->Tag, labels[1].Tag);
  EXPECT_EQ(form.SStext->text(), "请输入 " + labels[1].Caption + " 单号");
  EXPECT_EQ(form.windowTitle(), FormMain::kDesignCaption);
}

TEST_F(MainWindow, CommandLineSelectsACourierAndNamesTheWindow) {
  load(QStringLiteral("申通快递"));
  const auto& chosen = form.BG->labels()[form.selection().SelectedCourierIndex()];
  EXPECT_EQ(chosen.Caption, "申通快递");
  EXPECT_EQ(opaqueLabels(form), 1);
  EXPECT_EQ(form.SStext->text(), "");
  EXPECT_EQ(form.windowTitle(), "申通快递 单号查询软件_Quonvex");
}

TEST_F(MainWindow, UnknownCommandLineFallsBackButStillNamesTheWindow) {
  load(QStringLiteral("no such courier"));
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 1);
  EXPECT_EQ(form.windowTitle(), form.LBTitle->caption() + " 单号查询软件_Quonvex");
  EXPECT_EQ(form.SStext->text(), "请输入 " + form.LBTitle->caption() + " 单号");
}

// Rows of the first block lie one label height plus 300 twips apart; the
// height is whatever the installed font measures, not an assumed 210.
TEST_F(MainWindow, LabelsFollowTheMeasuredFont) {
  load();
  const auto& labels = form.BG->labels();
  ASSERT_GT(labels.count(), 7);
  const float height = labels[0].Height;
  EXPECT_GT(height, 0);
  EXPECT_FLOAT_EQ(labels[6].Left, 450);
  EXPECT_FLOAT_EQ(labels[6].Top, 300 + height + 300);
  EXPECT_FLOAT_EQ(labels[5].Left, 7200);
  const QSizeF extent = form.BG->textExtent(labels[6].Caption, false);
  EXPECT_FLOAT_EQ(labels[6].Height, extent.height());
  EXPECT_FLOAT_EQ(labels[6].Width, 900);
}

TEST_F(MainWindow, ResizeKeepsTheLayoutAndClampsTinyWindows) {
  load();
  form.resize(800, 600);
  expectGeometry(*form.BG, {60, 1575, 12000 - 120, 9000 - 1995});
  EXPECT_FLOAT_EQ(form.SSCMD->Left(), 12000 - 1545 - 150);
  EXPECT_FLOAT_EQ(form.Back->Left(), form.BG->Width() - 1530 - 375);
  EXPECT_FLOAT_EQ(form.Web->Left(), 9000);  // the browser stays where the load step put it

  form.resize(6, 100);  // 90 × 1500 twips: less than the layout needs
  EXPECT_FLOAT_EQ(form.BG->Width(), 0);
  EXPECT_FLOAT_EQ(form.BG->Height(), 0);
  EXPECT_FLOAT_EQ(form.Text->Width(), 0);
  EXPECT_FLOAT_EQ(form.Back->Left(), -1530 - 375);
  EXPECT_FLOAT_EQ(form.SSBG->Left(), 90 - form.SSBG->Width() - 1800);
}

TEST_F(MainWindow, SnapshotDescribesEveryControlAndLabel) {
  load(QStringLiteral("x"));
  const QJsonObject state = QJsonDocument::fromJson(snapshotJson(form)).object();
  EXPECT_EQ(state["StartupArgument"].toString(), "x");
  EXPECT_EQ(state["SelectedCourierIndex"].toInt(), 1);
  const QJsonObject window = state["window"].toObject();
  EXPECT_EQ(window["width"].toDouble(), 9000);
  EXPECT_EQ(window["height"].toDouble(), 7500);
  const auto controls = state["controls"].toArray();
  EXPECT_EQ(controls.size(), static_cast<int>(form.controls().size()) + form.BG->labels().count());
  const QJsonObject first = controls[0].toObject();
  EXPECT_EQ(first["name"].toString(), "Web");
  const QJsonObject label1 = controls[static_cast<int>(form.controls().size()) + 1].toObject();
  EXPECT_EQ(label1["name"].toString(), "LB");
  EXPECT_EQ(label1["index"].toInt(), 1);
  EXPECT_EQ(label1["backStyle"].toInt(), 1);
  EXPECT_EQ(label1["backColor"].toInteger(), 0xC0C0FF);
  const QJsonObject status = state["queryStatus"].toObject();
  EXPECT_EQ(status["caption"].toString(), form.queryStatus->text());
  EXPECT_FALSE(status["visible"].toBool());
  EXPECT_EQ(status["accessibleName"].toString(), "查询状态");
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file follows every change, to the labels as to the other controls,
// although the labels are described anew only after they changed; nothing
// is written while nothing changes.
TEST_F(MainWindow, SnapshotFileFollowsEveryChangeAndOnlyChanges) {
  load();
  QTemporaryDir dir;
  const QString path = dir.filePath("state.json");
  StateSnapshot snapshot(form, path);
  const std::function<void()> changes[] = {
      [] {},
      [&] { form.LB().setBackStyle(3, Module1::Opaque); },
      [&] { form.Text->show(); },
      [&] { form.LB().setCaption(4, QStringLiteral("新名字")); },
  };
  for (const auto& change : changes) {
    change();
    snapshot.writeIfChanged();
    ASSERT_EQ(readFile(path), snapshotJson(form));
  }
  ASSERT_TRUE(QFile::remove(path));
  snapshot.writeIfChanged();
  EXPECT_FALSE(QFile::exists(path));
}

// The query's status line is not the design's: it lies inside the window and
// clear of every control of the design, at any size, and is shown exactly
// while the result area is.
TEST_F(MainWindow, QueryStatusLiesUnderThePanelAndFollowsTheResultArea) {
  load();
  for (const QSize size : {QSize(600, 500), QSize(900, 700), QSize(600, 480)}) {
    form.resize(size);
    const QRect line = form.queryStatus->geometry();
    SCOPED_TRACE(size.height());
    EXPECT_GT(line.height(), 0);
    EXPECT_EQ(line.left(), form.BG->x());
    EXPECT_EQ(line.width(), form.BG->width());
    EXPECT_TRUE(form.rect().contains(line));
    for (const auto& [name, control] : form.controls())
      EXPECT_FALSE(control->widget()->geometry().intersects(line)) << name.toStdString();
  }
  EXPECT_EQ(form.queryStatus->accessibleName(), "查询状态");
  EXPECT_TRUE(form.queryStatus->isHidden());
  form.Text->show();
  EXPECT_FALSE(form.queryStatus->isHidden());
  form.Text->hide();
  EXPECT_TRUE(form.queryStatus->isHidden());
}

// A line too long for the window's width shows its start; the whole of it
// is the tooltip and, for screen readers, the name.
TEST_F(MainWindow, AQueryStatusTooLongToShowEndsWithAnEllipsis) {
  load();
  form.Text->show();
  const QString shortLine = QStringLiteral("无法连接查询服务 127.0.0.1:8765");
  form.queryStatus->setLine(shortLine);
  EXPECT_EQ(form.queryStatus->shownLine(), shortLine);
  EXPECT_EQ(form.queryStatus->toolTip(), "");
  const QString longLine = QStringLiteral(
      "查询服务地址“http://tracking.example:99999”无效：端口须是 1 到 65535 之间的数"
      "（设置文件 /home/user/.config/courier-query/courier-query.conf）");
  form.queryStatus->setLine(longLine);
  EXPECT_EQ(form.queryStatus->text(), longLine);
  const QString shown = form.queryStatus->shownLine();
  EXPECT_TRUE(shown.endsWith(QStringLiteral("…"))) << shown.toStdString();
  EXPECT_TRUE(longLine.startsWith(shown.chopped(1))) << shown.toStdString();
  EXPECT_EQ(form.queryStatus->toolTip(), longLine);
  EXPECT_EQ(form.queryStatus->accessibleName(), longLine);
  form.resize(2400, 500);  // wide enough now
  EXPECT_EQ(form.queryStatus->shownLine(), longLine);
  EXPECT_EQ(form.queryStatus->toolTip(), "");
  form.queryStatus->setLine(QString());
  EXPECT_EQ(form.queryStatus->accessibleName(), "查询状态") << "its own name again";
}

// The courier picker and the result view on the real window.
class Picker : public MainWindow {
 protected:
  void SetUp() override {
    saved_ = ModAPI::Shell();
    ModAPI::Shell().messageBox = [this](const QString& title, const QString& text) {
      messages << title + "|" + text;
    };
    // Nothing listens there: queries complete with the engine's error page.
    qputenv("COURIER_QUERY_SERVICE", "http://127.0.0.1:9");
    load();
  }
  void TearDown() override {
    ModAPI::Shell() = saved_;
    qunsetenv("COURIER_QUERY_SERVICE");
  }

  const Module1::CourierEntry& label(int16_t k) { return form.BG->labels()[k]; }
  QPoint centre(int16_t k) {
    const QRectF frame(label(k).Left, label(k).Top, label(k).Width, label(k).Height);
    return (frame.center() / ModAPI::kTwipsPerPixel).toPoint();
  }
  int16_t firstHeading() {
    for (const auto& entry : form.BG->labels().all())
      if (entry.isHeading()) return entry.Index;
    return -1;
  }
  bool resultViewShown() {
    return !form.Text->isHidden() && !form.Back->isHidden() && !form.LbBack->isHidden();
  }
  // The back button's label lies on the back button: hiding that hides both.
  bool pickerShown() { return form.Text->isHidden() && form.Back->isHidden(); }

  QStringList messages;

 private:
  ModAPI::ShellSeams saved_;
};

TEST(HoverFrame, FiveMarginPixelsAroundTheLabel) {
  Module1::CourierEntry entry;
  entry.Left = 1000;
  entry.Top = 500;
  entry.Width = 900;
  entry.Height = 255;
  EXPECT_EQ(hoverFrame(entry), QRectF(925, 425, 1050, 405));
}

TEST_F(Picker, ClickingACourierSelectsIt) {
  QSignalSpy changes(&form.selection(), &Module1::CourierSelection::selectionChanged);
  QTest::mouseClick(form.BG, Qt::LeftButton, {}, centre(3));
  ASSERT_EQ(changes.size(), 1);
  EXPECT_EQ(changes[0], QVariantList({1, 3}));
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 3);
  EXPECT_EQ(opaqueLabels(form), 1);
  EXPECT_EQ(label(3).BackStyle, Module1::Opaque);
  EXPECT_EQ(form.LBTitle->caption(), label(3).Caption);
  EXPECT_EQ(form.LBTitle->Tag, label(3).Tag);
  EXPECT_EQ(form.SStext->text(), "请输入 " + label(3).Caption + " 单号");
  EXPECT_EQ(form.windowTitle(), FormMain::kDesignCaption);
  EXPECT_TRUE(pickerShown());
}

TEST_F(Picker, HeadingClicksChangeNothing) {
  const int16_t heading = firstHeading();
  ASSERT_GT(heading, 0);
  form.SStext->setText("12345");
  QTest::mouseClick(form.BG, Qt::LeftButton, {}, centre(heading));
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 1);
  EXPECT_EQ(opaqueLabels(form), 1);
  EXPECT_EQ(form.SStext->text(), "12345");
}

TEST_F(Picker, ChoosingTheSelectedCourierAgainRestoresThePrompt) {
  form.SStext->setText("12345");
  QTest::mouseClick(form.BG, Qt::LeftButton, {}, centre(1));
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 1);
  EXPECT_EQ(label(1).BackStyle, Module1::Opaque);
  EXPECT_EQ(form.SStext->text(), "请输入 " + label(1).Caption + " 单号");
}

TEST_F(Picker, HoverFrameFollowsCourierNames) {
  QTest::mouseMove(form.BG, centre(2));
  ASSERT_FALSE(form.S1->isHidden());
  const QRectF frame = hoverFrame(label(2));
  EXPECT_EQ(QRectF(form.S1->Left(), form.S1->Top(), form.S1->Width(), form.S1->Height()), frame);
  EXPECT_EQ(form.BG->cursor().shape(), Qt::BitmapCursor);

  QTest::mouseMove(form.BG, centre(firstHeading()));
  EXPECT_TRUE(form.S1->isHidden());
  QTest::mouseMove(form.BG, centre(4));
  EXPECT_FALSE(form.S1->isHidden());
  QTest::mouseMove(form.BG, QPoint(2, form.BG->height() - 2));  // bare panel
  EXPECT_TRUE(form.S1->isHidden());
  EXPECT_NE(form.BG->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(Picker, ViewsAndTheirTransitions) {
  form.SStext->setText("YT1234567");
  QSignalSpy clicks(form.SSCMD, &FormControls::PictureButton::Click);
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  EXPECT_TRUE(resultViewShown()) << "the window hears the click beside the spy";
  EXPECT_EQ(clicks.size(), 1);
  EXPECT_EQ(form.Text->text(), "正在加载。。。");

  QTest::mouseClick(form.P1, Qt::LeftButton, {}, QPoint(5, 5));  // beside the title label
  EXPECT_TRUE(form.Text->isHidden());
  EXPECT_FALSE(form.Back->isHidden());
  EXPECT_FALSE(form.LbBack->isHidden());

  QTest::mouseClick(form.Back, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(pickerShown());
  EXPECT_TRUE(form.LbBack->isHidden());

  QTest::mouseClick(form.LBTitle, Qt::LeftButton);  // in the picker: nothing to close
  EXPECT_TRUE(pickerShown());

  QTest::keyClick(form.SStext, Qt::Key_Return);  // Enter queries like the button
  EXPECT_TRUE(resultViewShown());
  QTest::mouseClick(form.LbBack, Qt::LeftButton);
  EXPECT_TRUE(pickerShown());

  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  EXPECT_TRUE(resultViewShown());
  QTest::mouseClick(form.LBTitle, Qt::LeftButton);  // the title closes the result view too
  EXPECT_TRUE(pickerShown());
  EXPECT_TRUE(form.LbBack->isHidden());
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Picker, OnlyEnterWithoutCtrlOrAltRunsTheQuery) {
  form.SStext->setText("YT1234567");
  const Qt::KeyboardModifiers withCtrlOrAlt[] = {Qt::ControlModifier, Qt::AltModifier,
                                                 Qt::ControlModifier | Qt::AltModifier};
  for (const Qt::KeyboardModifiers held : withCtrlOrAlt) {
    QTest::keyClick(form.SStext, Qt::Key_Return, held);
    QTest::keyClick(form.SStext, Qt::Key_Enter, held | Qt::KeypadModifier);
    EXPECT_TRUE(pickerShown()) << held.toInt();
  }
  QTest::keyClick(form.SStext, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(resultViewShown()) << "the keypad's Enter";
  QTest::mouseClick(form.Back, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::keyClick(form.SStext, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_TRUE(resultViewShown()) << "Shift+Enter";
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Picker, InvalidNumbersOnlyGetTheMessageBox) {
  const QString courier = form.LBTitle->caption();
  for (const QString& number : {QString(), form.SStext->text(), QStringLiteral("１２３")}) {
    form.SStext->setText(number);
    QTest::mouseClick(form.SSCMD, Qt::LeftButton);
    EXPECT_TRUE(pickerShown());
    EXPECT_EQ(form.SStext->text(), number);
  }
  const QString expected = courier + "订单查询|请输入正确的 " + courier + " 订单号！";
  EXPECT_EQ(messages, QStringList({expected, expected, expected}));
}

TEST_F(Picker, NumberBoxSelectsAllAndShowsItsFocusFrame) {
  form.SStext->setText("12345");
  QTest::mouseClick(form.SStext, Qt::LeftButton);
  EXPECT_EQ(form.SStext->selectedText(), "12345");
  form.SStext->setFocus();
  QApplication::processEvents();
  if (form.SStext->hasFocus()) {
    EXPECT_EQ(form.SSBG->picture().size(), QSize(275, 42));
  }
  form.SStext->clearFocus();
  EXPECT_EQ(form.SSBG->picture().size(), QSize(274, 40));
}

TEST_F(Picker, ClickableControlsShowTheLabelPointer) {
  form.SStext->setText("YT1234567");
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);  // shows the back button and its label
  const std::initializer_list<QWidget*> pointing = {form.LBTitle, form.P1, form.SSCMD, form.Back,
                                                    form.LbBack};
  for (QWidget* control : pointing) {
    QTest::mouseMove(control, QPoint(3, 3));
    EXPECT_EQ(control->cursor().shape(), Qt::BitmapCursor) << control->objectName().toStdString();
    EXPECT_EQ(control->cursor().hotSpot(), QPoint(5, 0));
  }
}

// A catalogue name that looks like markup reaches the message box as it is
// and is shown as plain text, as the title label shows it.
TEST_F(Picker, MessageBoxesShowMarkupAsPlainText) {
  const QString name = QStringLiteral("<b>粗体</b><img src=x>");
  form.LBTitle->setCaption(name);
  form.SStext->setText(QString());
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  ASSERT_EQ(messages.size(), 1);
  const QStringList parts = messages[0].split('|');
  const auto box = ModAPI::MakeMessageBox(parts[0], parts[1]);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_EQ(box->text(), "请输入正确的 " + name + " 订单号！");
  bool shownLiterally = false;
  for (const QLabel* label : box->findChildren<QLabel*>())
    shownLiterally |= label->text() == box->text() && label->textFormat() == Qt::PlainText;
  EXPECT_TRUE(shownLiterally);
}

// Destroying a shown window whose number box has the focus: the box loses
// the focus on the way. Whenever that happens after FormMain's destructor,
// while Qt deletes the controls, no connection from the box may still lead
// to the window's handlers.
TEST(MainWindowLifetime, NoHandlerRunsOnceTheWindowIsGoing) {
  struct FocusWatch : QObject {
    FormControls::TextBox* box = nullptr;
    QObject* window = nullptr;
    bool focusOut = false;
    bool handlerLeft = false;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() != QEvent::FocusOut) return false;
      focusOut = true;
      if (!qobject_cast<FormMain*>(box->window()))
        handlerLeft |= QObject::disconnect(box, nullptr, window, nullptr);
      return false;
    }
  } watch;
  auto form = std::make_unique<FormMain>();
  ASSERT_TRUE(form->Form_Load({}));
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  form->activateWindow();
  form->SStext->setFocus();
  QApplication::processEvents();
  if (!form->SStext->hasFocus()) GTEST_SKIP() << "no focus on this platform";
  watch.box = form->SStext;
  watch.window = form.get();
  form->SStext->installEventFilter(&watch);
  form.reset();
  EXPECT_TRUE(watch.focusOut);
  EXPECT_FALSE(watch.handlerLeft);
}

// Only a move over a heading or the bare panel hides the frame: a pointer
// that leaves the window straight from a courier name leaves it shown.
TEST_F(Picker, TheHoverFrameStaysWhenThePointerLeavesTheWindow) {
  QTest::mouseMove(form.BG, centre(2));
  ASSERT_FALSE(form.S1->isHidden());
  QTest::mouseMove(&form, QPoint(form.width() + 20, form.height() / 2));  // the pointer itself
  EXPECT_FALSE(form.BG->underMouse());
  EXPECT_FALSE(form.S1->isHidden());
}

// The design's look: fonts and their sizes, the back colour, the hover
// frame's outline, the labels' pointer and the icon.
TEST(DesignLook, FontsAndSizes) {
  FormMain form;
  const auto expectFont = [](const QFont& font, const QString& family, int pixels, bool bold) {
    EXPECT_EQ(font.family(), family);
    EXPECT_EQ(font.pixelSize(), pixels);
    EXPECT_EQ(font.bold(), bold);
  };
  expectFont(form.LBTitle->font(), "微软雅黑", 14, true);  // 10.5 pt at 96 dpi
  expectFont(form.LbBack->font(), "宋体", 12, true);       // 9 pt
  QFont song("宋体");
  song.setPixelSize(14);
  const QString courier = "圆通快递";
  EXPECT_EQ(form.BG->textExtent(courier, false),
            QSizeF(FormControls::captionExtent(QFontMetrics(song), courier)) * 15);
  song.setBold(true);
  EXPECT_EQ(form.BG->textExtent(courier, true),
            QSizeF(FormControls::captionExtent(QFontMetrics(song), courier)) * 15)
      << "headings are the labels' font in bold";
}

TEST(DesignLook, BackColourOutlinePointerAndIcon) {
  FormMain form;  // the design alone, without the skin's frame over it
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.grab().toImage().pixelColor(300, 20), QColor(0xE0, 0xE0, 0xE0));

  form.S1->setDesignSize(600, 600);  // 40 x 40 pixels
  form.S1->show();
  const QImage outline = form.S1->grab().toImage();
  const QColor rose(255, 192, 192);  // 0x00C0C0FF
  for (const QPoint edge : {QPoint(0, 0), QPoint(1, 20), QPoint(38, 38), QPoint(39, 5)})
    EXPECT_EQ(outline.pixelColor(edge), rose) << edge.x() << "," << edge.y();
  EXPECT_NE(outline.pixelColor(2, 2), rose) << "2 pixels wide";
  EXPECT_NE(outline.pixelColor(20, 20), rose) << "hollow";

  const QIcon icon = form.windowIcon();
  for (const int side : {16, 32, 48})
    EXPECT_TRUE(icon.availableSizes().contains(QSize(side, side)));
}

// The result area is an ordinary text box: its text is what it holds, the
// user's edits included.
class ResultArea : public MainWindow {
 protected:
  void SetUp() override {
    load();
    form.Text->show();
  }
  void type(QTextCursor::MoveOperation to, std::initializer_list<Qt::Key> keys) {
    form.Text->moveCursor(to);
    for (Qt::Key key : keys) QTest::keyClick(form.Text, key);
  }
};

TEST_F(ResultArea, EditsBecomeItsText) {
  form.Text->setText("a\rb\r\nc");  // shows "ab", a line break and "c"
  ASSERT_FALSE(form.Text->isReadOnly());
  type(QTextCursor::End, {Qt::Key_X});
  EXPECT_EQ(form.Text->text(), "a\rb\r\ncx");
  type(QTextCursor::End, {Qt::Key_Return});
  EXPECT_EQ(form.Text->text(), "a\rb\r\ncx\r\n") << "Enter types CR LF";
  type(QTextCursor::End, {Qt::Key_Backspace, Qt::Key_Backspace});
  EXPECT_EQ(form.Text->text(), "a\rb\r\nc");
  type(QTextCursor::Start, {Qt::Key_Delete});
  EXPECT_EQ(form.Text->text(), "\rb\r\nc") << "a hidden character beside the edit stays";
  type(QTextCursor::EndOfLine, {Qt::Key_Delete});
  EXPECT_EQ(form.Text->text(), "\rbc") << "a line break goes as a pair";
  form.Text->selectAll();
  QTest::keyClicks(form.Text, "z");
  EXPECT_EQ(form.Text->text(), "z");
  QTest::keyClick(form.Text, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(form.Text->text(), "bc") << "undoing is an edit too";
}

TEST_F(ResultArea, SettingTheTextReplacesTheEdits) {
  form.Text->setText("abc");
  type(QTextCursor::End, {Qt::Key_D});
  form.Text->setText("x\ry");
  EXPECT_EQ(form.Text->text(), "x\ry");
  EXPECT_EQ(form.Text->toPlainText(), "xy");
}

}  // namespace

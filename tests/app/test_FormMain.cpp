// The real main window on the offscreen platform, loading the sample
// catalogue that the build puts beside this test.
#include "FormMain.h"

#include "StateSnapshot.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
  expectGeometry(*form.SSBG, {3090, 900, 4110, 600});
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
  EXPECT_EQ(Module1::SelectedCourierIndex, 1);
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
  const auto& chosen = form.BG->labels()[Module1::SelectedCourierIndex];
  EXPECT_EQ(chosen.Caption, "申通快递");
  EXPECT_EQ(opaqueLabels(form), 1);
  EXPECT_EQ(form.SStext->text(), "");
  EXPECT_EQ(form.windowTitle(), "申通快递 单号查询软件_Quonvex");
}

TEST_F(MainWindow, UnknownCommandLineFallsBackButStillNamesTheWindow) {
  load(QStringLiteral("no such courier"));
  EXPECT_EQ(Module1::SelectedCourierIndex, 1);
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
  EXPECT_FLOAT_EQ(form.SSBG->Left(), 90 - 4110 - 1800);
}

TEST_F(MainWindow, SnapshotDescribesEveryControlAndLabel) {
  load(QStringLiteral("x"));
  const QJsonObject state = QJsonDocument::fromJson(SnapshotJson(form)).object();
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
}

}  // namespace

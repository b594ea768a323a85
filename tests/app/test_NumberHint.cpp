// The courier hint in the real window, with the formats file the build puts
// beside this test: typing a number marks the couriers whose format it
// matches, with a dot on the panel, and changes nothing else.
#include "FormMain.h"

#include "Design.h"
#include "ShellRecorder.h"
#include "Typing.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

namespace {

// What the hint must leave alone: the selection, the title, the number box,
// the labels (place, size, look) and the hover frame.
struct Untouched {
  explicit Untouched(const FormMain& form)
      : selected(form.selection().SelectedCourierIndex()),
        title(form.LBTitle->caption()),
        tag(form.LBTitle->Tag),
        labels(form.BG->labels().all()),
        frame(form.S1->geometry()),
        frameShown(form.S1->isVisible()) {}

  void expectSameAs(const Untouched& before) const {
    EXPECT_EQ(selected, before.selected);
    EXPECT_EQ(title, before.title);
    EXPECT_EQ(tag, before.tag);
    EXPECT_EQ(frame, before.frame);
    EXPECT_EQ(frameShown, before.frameShown);
    ASSERT_EQ(labels.size(), before.labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
      const Module1::CourierEntry &now = labels[i], &then = before.labels[i];
      EXPECT_TRUE(now.Caption == then.Caption && now.Tag == then.Tag && now.Left == then.Left &&
                  now.Top == then.Top && now.Width == then.Width && now.Height == then.Height &&
                  now.BackStyle == then.BackStyle && now.BackColor == then.BackColor &&
                  now.ForeColor == then.ForeColor && now.bold == then.bold)
          << "label " << i;
    }
  }

  int16_t selected;
  QString title, tag;
  std::vector<Module1::CourierEntry> labels;
  QRect frame;
  bool frameShown;
};

class NumberHint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Form_Load(QString()));
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_TRUE(form.SStext->hasFocus());
  }

  // Typed into the number box key by key; the prompt, selected when the box
  // got the focus, goes with the first key.
  void type(const QString& text) { typeText(form.windowHandle(), text); }
  int16_t labelOf(const QString& code) const {
    for (const auto& label : form.BG->labels().all())
      if (label.Tag == code && !label.isHeading()) return label.Index;
    return -1;
  }
  std::vector<int16_t> hinted() const { return form.BG->hintedLabels(); }
  // The centre of label k's mark; a one-line label is one line high.
  QColor markPixel(int16_t k) {
    const QRect label = form.BG->pixelRect(form.BG->labels()[k]);
    return form.BG->grab().toImage().pixelColor(hintMark(label, label.height()).center());
  }

  ShellRecorder shell;
  FormMain form;
};

TEST_F(NumberHint, AWellFormedNumberMarksItsCourierAndChangesNothingElse) {
  const int16_t shunfeng = labelOf("shunfeng");
  ASSERT_GE(shunfeng, 0);
  const Untouched before(form);
  const QColor blue = ModAPI::OleColor(FormControls::kFocusBlue);
  EXPECT_NE(markPixel(shunfeng), blue);

  type("SF212254410199");
  EXPECT_TRUE(hinted().empty()) << "twelve digits are not yet a number";
  type("5");
  EXPECT_EQ(hinted(), std::vector<int16_t>{shunfeng});
  EXPECT_EQ(markPixel(shunfeng), blue);
  EXPECT_EQ(form.SStext->text(), "SF2122544101995");
  Untouched(form).expectSameAs(before);

  type("5");
  EXPECT_TRUE(hinted().empty()) << "one digit too many";
  EXPECT_NE(markPixel(shunfeng), blue);
}

TEST_F(NumberHint, TheS10CheckDigitDecides) {
  type("EE123456784CN");
  EXPECT_TRUE(hinted().empty());
  QTest::keyClick(form.windowHandle(), Qt::Key_A, Qt::ControlModifier);
  type("EE123456785CN");
  EXPECT_EQ(hinted(), std::vector<int16_t>{labelOf("ems")});
}

// Choosing a courier puts the prompt into the number box, which takes the
// marks away, however loose the formats are.
TEST_F(NumberHint, ThePromptNeverMarks) {
  form.setNumberFormats(NumberFormats::parse("yuantong .*\nshunfeng .*\n").table);
  EXPECT_TRUE(hinted().empty()) << "the prompt stood in the box";
  type("x");
  EXPECT_EQ(hinted().size(), 2u);

  const int16_t other = labelOf("zhongtong");
  form.BG->chooseLabel(other);
  EXPECT_EQ(form.selection().SelectedCourierIndex(), other);
  EXPECT_EQ(form.SStext->text(), "请输入 中通快递 单号");
  EXPECT_TRUE(hinted().empty());
}

TEST_F(NumberHint, WithoutFormatsNothingIsMarked) {
  form.setNumberFormats({});
  type("SF2122544101995");
  EXPECT_TRUE(hinted().empty());
}

// The dot lies in the gap before its label: on no label, and outside the
// hover frame and the focus ring, for every courier of the sample catalogue.
TEST_F(NumberHint, TheMarkStaysClearOfLabelsFrameAndRing) {
  const auto& labels = form.BG->labels().all();
  for (const auto& label : labels) {
    if (label.isHeading()) continue;
    const QRect rect = form.BG->pixelRect(label);
    const QRect mark = hintMark(rect, rect.height());
    SCOPED_TRACE(label.Caption.toStdString());
    EXPECT_FALSE(form.BG->pixelRect(label).adjusted(-5, -5, 5, 5).intersects(mark));
    EXPECT_TRUE(form.BG->rect().contains(mark));
    for (const auto& other : labels)
      EXPECT_FALSE(form.BG->pixelRect(other).intersects(mark)) << other.Caption.toStdString();
  }
}

TEST(HintMark, ASixPixelDotSevenPixelsBeforeTheFirstLine) {
  EXPECT_EQ(hintMark(QRect(30, 20, 60, 14), 14), QRect(17, 24, 6, 6));
  EXPECT_EQ(hintMark(QRect(30, 20, 60, 28), 14), QRect(17, 24, 6, 6)) << "two lines";
}

}  // namespace

// Catalogue parsing and placement, against the real label group with a fixed
// text extent: every character is 210 twips wide (240 in bold) and a line is
// 210 twips high, so positions can be worked out by hand.
#include "Module1.h"

#include "CourierSelection.h"
#include "Shell.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace Module1;

namespace {

constexpr float kLine = 210;

QSizeF fixedExtent(const QString& caption, bool bold) {
  return QSizeF(caption.size() * (bold ? 240.0 : 210.0), kLine);
}

class Host : public CatalogueHost {
 public:
  LabelGroup& LB() override { return labels; }
  float windowWidth() const override { return width; }

  CourierLabels labels{[] {
                         CourierEntry design;
                         design.Left = 360;
                         design.Top = 360;
                         design.Width = 105;
                         design.Height = 210;
                         design.Visible = true;
                         return design;
                       }(),
                       fixedExtent};
  float width = 9000;
};

class Catalogue : public ::testing::Test {
 protected:
  const CourierLabels& load(const QString& text, const QString& startupArgument = {}) {
    matches = placeCatalogue(text, host, startupArgument);
    return host.labels;
  }
  Host host;
  StartupMatches matches;
};

struct Place {
  float left, top, width;
};

void expectPlace(const CourierEntry& label, Place place) {
  SCOPED_TRACE(label.Caption.toStdString());
  EXPECT_FLOAT_EQ(label.Left, place.left);
  EXPECT_FLOAT_EQ(label.Top, place.top);
  EXPECT_FLOAT_EQ(label.Width, place.width);
}

// A row wraps when the previous label's right edge plus 1350 twips is
// strictly greater than the window width: the sixth label (at 7200, 900
// wide) reaches 9450 exactly.
TEST_F(Catalogue, ARowWrapsOnlyBeyondTheWindowWidth) {
  host.width = 9450;
  const auto& same = load("a=1,b=2,c=3,d=4,e=5,f=6,g=7");
  EXPECT_FLOAT_EQ(same[6].Left, 8550);
  EXPECT_FLOAT_EQ(same[6].Top, 300);

  Host narrower;
  narrower.width = 9449;
  placeCatalogue("a=1,b=2,c=3,d=4,e=5,f=6,g=7", narrower, {});
  EXPECT_FLOAT_EQ(narrower.labels[6].Left, 450);
  EXPECT_FLOAT_EQ(narrower.labels[6].Top, 810);
}

TEST_F(Catalogue, FirstBlockRowsWrapAtTheWindowWidth) {
  const auto& lb = load("a=1,b=2,c=3,d=4,e=5,f=6,g=7");
  ASSERT_EQ(lb.count(), 7);
  const Place expected[] = {{450, 300, 900},  {1800, 300, 900}, {3150, 300, 900}, {4500, 300, 900},
                            {5850, 300, 900}, {7200, 300, 900}, {450, 810, 900}};
  for (int i = 0; i < 7; ++i) expectPlace(lb[i], expected[i]);
  EXPECT_EQ(lb[6].Caption, "g");
  EXPECT_EQ(lb[6].Tag, "7");
  EXPECT_TRUE(lb[6].Visible);
}

TEST_F(Catalogue, LabelZeroIsBackAtItsPlaceAfterEveryItem) {
  const auto& lb = load("only=1");
  // Label 0 got its caption after the width: auto-size wins while it is alone.
  expectPlace(lb[0], {450, 300, 4 * 210});
  const auto& two = load("longname=1,b=2");
  expectPlace(two[0], {450, 300, 900});
}

TEST_F(Catalogue, IndexBlockColumnsAndHeadings) {
  const auto& lb = load("x=1%B,bs=百世快递,C,cd=城市,L,ly=联运");
  ASSERT_EQ(lb.count(), 7);
  const float bWidth = 240;
  expectPlace(lb[1], {450, 1500, bWidth});
  expectPlace(lb[2], {450 + bWidth + 375, 1500, 4 * 210});
  expectPlace(lb[3], {450, 1500 + kLine + 225, 240});
  expectPlace(lb[4], {450 + 240 + 375, 1935, 2 * 210});
  expectPlace(lb[5], {4650, 1500, 240});
  for (int heading : {1, 3, 5}) {
    EXPECT_TRUE(lb[heading].bold);
    EXPECT_EQ(lb[heading].ForeColor, kSystemHighlight);
    EXPECT_TRUE(lb[heading].isHeading());
  }
  EXPECT_EQ(lb[2].Caption, "百世快递");
  EXPECT_EQ(lb[2].Tag, "bs");
  EXPECT_FALSE(lb[2].bold);
}

TEST_F(Catalogue, SeparatorsEmptyItemsAndExtraFields) {
  const auto& lb = load("a=1,,b=2=ignored,%%=,");
  ASSERT_EQ(lb.count(), 3);
  EXPECT_EQ(lb[1].Caption, "b");
  EXPECT_EQ(lb[1].Tag, "2");
  // "=" alone: a courier with empty caption and code.
  EXPECT_EQ(lb[2].Caption, "");
  EXPECT_EQ(lb[2].Tag, "");
}

TEST_F(Catalogue, BlanksAndLineBreaksBelongToTheirFields) {
  const auto& lb = load("a=1%\r\nB, x = y \n");
  ASSERT_EQ(lb.count(), 3);
  EXPECT_EQ(lb[1].Caption, "\r\nB");
  EXPECT_FALSE(lb[1].Left == 450 && lb[1].Top == 1500);  // not the column heading
  EXPECT_EQ(lb[2].Tag, " x ");
  EXPECT_EQ(lb[2].Caption, " y \n");
}

TEST_F(Catalogue, OtherHeadingsContinueTheCurrentColumn) {
  const auto& lb = load("a=1%b,Q,B,b");
  expectPlace(lb[1], {0, 300 + kLine + 225, 240});  // before any "B" or "L": left 0
  EXPECT_FLOAT_EQ(lb[2].Left, 0);
  expectPlace(lb[3], {450, 1500, 240});
  expectPlace(lb[4], {450, 1935, 240});  // lower-case "b" is an ordinary heading
}

// The loader only reports the labels the argument names; every label it
// makes is transparent.
TEST_F(Catalogue, ReportsEveryLabelTheStartupArgumentNames) {
  const auto& lb = load("twin=1,other=2,twin=3", QStringLiteral("twin"));
  EXPECT_EQ(matches, StartupMatches({0, 2}));
  for (const CourierEntry& label : lb.all()) EXPECT_EQ(label.BackStyle, Transparent);

  load("twin=1", QStringLiteral("TWIN"));
  EXPECT_TRUE(matches.empty()) << "exact, case and all";
  load("a=1%B,L", QStringLiteral("L"));
  EXPECT_EQ(matches, StartupMatches({2})) << "a heading too";
  load("a=1,=", QString());
  EXPECT_EQ(matches, StartupMatches({1})) << "no argument names the empty caption";
}

TEST_F(Catalogue, FirstBlockItemWithoutCodeCannotBeChosen) {
  const auto& lb = load("plain,a=1");
  ASSERT_EQ(lb.count(), 2);
  EXPECT_EQ(lb[0].Caption, "plain");
  EXPECT_TRUE(lb[0].isHeading());
  EXPECT_FALSE(lb[0].bold);
  expectPlace(lb[1], {1800, 300, 900});
}

TEST_F(Catalogue, EmptyFirstBlockKeepsLabelZeroAtItsPlace) {
  const auto& courierFirst = load("%sf=顺丰,yt=圆通");
  expectPlace(courierFirst[0], {450, 300, 900});
  EXPECT_EQ(courierFirst[0].Tag, "sf");
  expectPlace(courierFirst[1], {450 + 900 + 375, 300, 2 * 210});
  EXPECT_FALSE(courierFirst[1].bold);

  Host other;
  placeCatalogue("%Q,qf=全峰", other, {});
  EXPECT_EQ(other.labels.count(), 2);
  expectPlace(other.labels[0], {450, 300, 900});
  // Label 0 is a bold heading here; a courier copied from it still looks like one.
  EXPECT_FALSE(other.labels[1].bold);
  EXPECT_EQ(other.labels[1].ForeColor, kSystemButtonText);
}

TEST_F(Catalogue, EmptyTextLeavesOnlyTheDesignLabel) {
  const auto& lb = load("");
  ASSERT_EQ(lb.count(), 1);
  EXPECT_EQ(lb[0].Caption, "");
  expectPlace(lb[0], {360, 360, 105});
}

TEST_F(Catalogue, StopsAtTheHighestLabelIndex) {
  QStringList items;
  for (int i = 0; i < kMaxLabelIndex + 5; ++i) items << QStringLiteral("c%1=%1").arg(i);
  const auto& lb = load(items.join(','));
  EXPECT_EQ(lb.count(), kMaxLabelIndex + 1);
  EXPECT_EQ(lb[kMaxLabelIndex].Caption, QStringLiteral("c%1").arg(kMaxLabelIndex));
}

// The selection among the labels of a small catalogue: a courier, heading
// "B", two couriers, heading "C".
class Selection : public ::testing::Test {
 protected:
  void SetUp() override { placeCatalogue("a=1%B,bs=百世,bt=北通,C", host, {}); }
  int opaque() const {
    int count = 0;
    for (const CourierEntry& label : host.labels.all()) count += label.BackStyle == Opaque;
    return count;
  }
  Host host;
  CourierSelection selection{host.labels};
  QSignalSpy changes{&selection, &CourierSelection::selectionChanged};
};

TEST_F(Selection, SelectingMovesTheLookAndSaysFromWhereToWhere) {
  EXPECT_EQ(selection.SelectedCourierIndex(), -1);
  selection.select(2);
  EXPECT_EQ(host.labels[2].BackStyle, Opaque);
  EXPECT_EQ(host.labels[2].BackColor, kSelectedBackColor);
  selection.select(3);
  EXPECT_EQ(selection.SelectedCourierIndex(), 3);
  EXPECT_EQ(host.labels[2].BackStyle, Transparent);
  EXPECT_EQ(opaque(), 1);
  selection.select(3);  // again: nothing to tell
  ASSERT_EQ(changes.size(), 2);
  EXPECT_EQ(changes[0], QVariantList({-1, 2}));
  EXPECT_EQ(changes[1], QVariantList({2, 3}));
}

// A catalogue that names the courier twice shows both chosen; the last is
// the selection, and the next choice clears only that one, as before.
TEST_F(Selection, StartupMatchesAllLookSelectedTheLastIsSelected) {
  selection.selectStartupMatches({0, 3});
  EXPECT_EQ(selection.SelectedCourierIndex(), 3);
  EXPECT_EQ(opaque(), 2);
  ASSERT_EQ(changes.size(), 1);
  EXPECT_EQ(changes[0], QVariantList({-1, 3}));
  selection.select(2);
  EXPECT_EQ(host.labels[0].BackStyle, Opaque);
  EXPECT_EQ(host.labels[3].BackStyle, Transparent);

  selection.selectStartupMatches({});
  EXPECT_EQ(selection.SelectedCourierIndex(), 2) << "no match selects nothing new";
}

TEST(DefaultCourier, TheFirstCourierFromLabelOneElseLabelZeroElseNone) {
  const struct {
    const char* catalogue;
    int16_t expected;
  } cases[] = {
      {"a=1,b=2", 1},
      {"a=1%B,bs=百世", 2},  // label 1 is a heading
      {"a=1%B,C,cs=城市", 3},
      {"a=1", 0},      // one courier
      {"a=1%B,C", 0},  // no courier after label 0
      {"%B,C", -1},    // headings only
      {"", -1},        // label 0 with neither caption nor code
  };
  for (const auto& c : cases) {
    Host host;
    placeCatalogue(QString::fromUtf8(c.catalogue), host, {});
    EXPECT_EQ(defaultCourier(host.labels), c.expected) << c.catalogue;
  }
}

TEST(CatalogueFile, MissingFileReportsOpensTheHomePageAndEnds) {
  ASSERT_FALSE(QFile::exists(ModAPI::AppPath() + "/MSVBVM60.ocx"));
  QStringList calls;
  ModAPI::ShellSeams& shell = ModAPI::Shell();
  const ModAPI::ShellSeams saved = shell;
  shell.messageBox = [&](const QString& title, const QString& text) {
    calls << "box:" + title + ":" + text;
  };
  shell.openAddressMinimized = [&](const QString& address) { calls << "open:" + address; };
  shell.endProgram = [&](int status) { calls << QStringLiteral("end:%1").arg(status); };
  qputenv("COURIER_QUERY_HOMEPAGE", "http://home.example/");

  Host host;
  EXPECT_FALSE(LoadCourierCatalogue(host, {}));
  shell = saved;
  qunsetenv("COURIER_QUERY_HOMEPAGE");

  EXPECT_EQ(calls, QStringList({"box:" + ModAPI::AppTitle() + ":" + kMissingCatalogueMessage,
                                "open:http://home.example/", "end:1"}));
  EXPECT_EQ(host.labels.count(), 1);
}

TEST(CatalogueFile, ADirectoryIsNotACatalogue) {
  const QString path = ModAPI::AppPath() + "/not-a-file.d";
  QDir().mkpath(path);
  EXPECT_FALSE(ModAPI::IsNormalFile(path));
  QDir().rmdir(path);
  EXPECT_TRUE(ModAPI::IsNormalFile(QCoreApplication::applicationFilePath()));
}

}  // namespace

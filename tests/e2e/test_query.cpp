// The tracking query end to end: the real window and its real hidden browser
// against pages served on loopback, offscreen.
#include "FormMain.h"
#include "Query.h"
#include "TestServer.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

constexpr int kBoundMs = 20000;

std::string page(const std::string& body) {
  return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>查询</title></head><body>" +
         body + "</body></html>";
}

class QueryEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server = new TestServer;
    server->Serve("/found/chaxun",
                  page("<p>快递</p><div id=\"queryResult2\">2026-12-05 14:32 上海 已签收<br>"
                       "2026-12-04 09:10 杭州 运输中</div>"));
    server->Serve("/unknown/chaxun", page("<p>没有查到记录</p>"));
    server->Serve("/empty/chaxun", page("<div id=\"queryResult2\"></div>"));
    server->Serve(
        "/two/chaxun",
        page("<div id=\"queryResult2\">first</div><div id=\"queryResult2\">second</div>"));
    server->Serve("/case/chaxun", page("<div id=\"QueryResult2\">any case</div>"));
    server->Serve("/first/chaxun",
                  "<html id=\"queryResult2\"><body>only the document</body></html>");
    server->Serve("/breaks/chaxun", page("<div id=\"queryResult2\">A<br>B</div>"));
    server->Serve("/frames/chaxun",
                  page("<iframe src=\"/frame-a\"></iframe><iframe src=\"/frame-b\"></iframe>"
                       "<div id=\"queryResult2\">top level</div>"));
    server->Serve("/frame-a", page("<div id=\"queryResult2\">frame a</div>"));
    server->Serve("/frame-b", page("<div id=\"queryResult2\">frame b</div>"));
    server->Hold("/slow/chaxun", page("<div id=\"queryResult2\">slow answer</div>"));
    server->Hold("/abandoned/chaxun", page("<div id=\"queryResult2\">slow answer</div>"));
    server->Hold("/late/chaxun", page("<div id=\"queryResult2\">late answer</div>"));
    std::string many;
    for (int i = 0; i < 40000; ++i) many += "<i></i>";
    server->Serve("/many/chaxun", page(many + "<div id=\"queryResult2\">after 40000</div>"));
    server->Start();
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }

  void SetUp() override {
    saved_ = ModAPI::Shell();
    ModAPI::Shell().messageBox = [this](const QString&, const QString& text) { messages << text; };
    ASSERT_TRUE(form.Form_Load(QString()));
    form.show();
    // The start-up page completes with nothing found: the red message.
    ASSERT_TRUE(waitForText(noResult()));
  }
  void TearDown() override {
    ModAPI::Shell() = saved_;
    qunsetenv("COURIER_QUERY_SERVICE");
  }

  QString noResult() { return Query::NoResultMessage(form.LBTitle->caption()); }

  // Queries `number` against the pages under `base`.
  void query(const std::string& base, const QString& number = QStringLiteral("YT100")) {
    qputenv("COURIER_QUERY_SERVICE", server->Url(base).toUtf8());
    form.SStext->setText(number);
    QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  }

  bool waitForText(const QString& text) {
    return QTest::qWaitFor([&] { return form.Text->text() == text; }, kBoundMs);
  }
  bool settled() {
    return QTest::qWaitFor([&] { return form.Text->text() != Query::kLoadingText; }, kBoundMs);
  }

  static TestServer* server;
  FormMain form;
  QStringList messages;

 private:
  ModAPI::ShellSeams saved_;
};

TestServer* QueryEndToEnd::server = nullptr;

// The browser engine starts once the window's first frame is on the screen;
// the load step's navigation waits for it and still completes.
TEST(BrowserStart, TheEngineWaitsForTheFirstFrame) {
  FormMain form;
  ASSERT_TRUE(form.Form_Load(QString()));
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.Web->browser().children().isEmpty()) << "an engine page before the frame";
  form.show();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return form.Text->text() == Query::NoResultMessage(form.LBTitle->caption()); },
      kBoundMs));
  EXPECT_FALSE(form.Web->browser().children().isEmpty());
  EXPECT_TRUE(form.Text->isHidden());
}

TEST_F(QueryEndToEnd, FoundResultIsShownInBlack) {
  query("/found");
  EXPECT_EQ(form.Text->text(), "正在加载。。。");
  EXPECT_EQ(form.Text->ForeColor, Query::kNoResultColor);  // the start-up outcome's colour
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(),
            "2026-12-05 14:32 上海 已签收\r\n\r\n\n2026-12-04 09:10 杭州 运输中");
  EXPECT_EQ(form.Text->ForeColor, Query::kResultColor);
  EXPECT_FALSE(form.Text->isHidden());

  query("/found");  // the next loading text keeps the black of the found result
  EXPECT_EQ(form.Text->ForeColor, Query::kResultColor);
  ASSERT_TRUE(settled());
}

TEST_F(QueryEndToEnd, NothingFoundGivesTheRedMessage) {
  for (const char* base : {"/unknown", "/empty", "/first"}) {
    query(base);
    ASSERT_TRUE(settled()) << base;
    EXPECT_EQ(form.Text->text(), noResult()) << base;
    EXPECT_EQ(form.Text->ForeColor, Query::kNoResultColor) << base;
  }
}

TEST_F(QueryEndToEnd, LastElementAndAnyLetterCase) {
  query("/two");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "second");
  query("/case");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "any case");
}

TEST_F(QueryEndToEnd, LineBreaksBecomeDoubledCarriageReturns) {
  query("/breaks");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "A\r\n\r\n\nB");
  EXPECT_EQ(form.Text->toPlainText(), "A\n\nB");  // CR LF shows as a line break
}

TEST_F(QueryEndToEnd, OnlyTheTopLevelDocumentCounts) {
  query("/frames");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "top level");
  EXPECT_EQ(server->Hits("/frame-a"), 1);
  EXPECT_EQ(server->Hits("/frame-b"), 1);
}

TEST_F(QueryEndToEnd, ServiceStoppedGivesTheRedMessage) {
  qputenv("COURIER_QUERY_SERVICE", TestServer::RefusedUrl().toUtf8());
  form.SStext->setText("YT100");
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), noResult());
}

TEST_F(QueryEndToEnd, SlowAnswerKeepsTheLoadingTextUntilItComes) {
  query("/slow");
  EXPECT_FALSE(QTest::qWaitFor([&] { return form.Text->text() != Query::kLoadingText; }, 500));
  server->Release("/slow/chaxun");
  ASSERT_TRUE(waitForText("slow answer"));
}

// Closing the result view does not stop the browser: the answer still comes
// into the hidden result area, and the next query shows the loading text.
TEST_F(QueryEndToEnd, AnAnswerAfterTheViewClosedStillFillsTheResultArea) {
  query("/late");
  QTest::mouseClick(form.Back, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(form.Text->isHidden());
  ASSERT_EQ(form.Text->text(), Query::kLoadingText);
  server->Release("/late/chaxun");
  ASSERT_TRUE(waitForText("late answer"));
  EXPECT_EQ(form.Text->ForeColor, Query::kResultColor);
  EXPECT_TRUE(form.Text->isHidden());
  EXPECT_TRUE(form.Back->isHidden());
  query("/found");
  EXPECT_EQ(form.Text->text(), Query::kLoadingText);
  ASSERT_TRUE(settled());
}

TEST_F(QueryEndToEnd, ASecondQueryWinsOverASlowFirst) {
  query("/abandoned");
  query("/found");
  ASSERT_TRUE(settled());
  EXPECT_TRUE(form.Text->text().startsWith("2026-12-05"));
  server->Release("/abandoned/chaxun");
  // The abandoned page reports nothing: once its answer had time to come,
  // the second result still stands.
  EXPECT_FALSE(QTest::qWaitFor([&] { return form.Text->text() == "slow answer"; }, 1000));
}

TEST_F(QueryEndToEnd, PagesBeyondTheSixteenBitLimitAreScannedWhole) {
  query("/many");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "after 40000");
}

TEST_F(QueryEndToEnd, NumberReachesTheServiceUnchanged) {
  query("/found", QStringLiteral(" AB&nu=1#2 "));
  ASSERT_TRUE(settled());
  const auto params = server->LastParams("/found/chaxun");
  ASSERT_EQ(params.count("nu"), 1u);
  EXPECT_EQ(params.find("nu")->second, " AB&nu=1#2 ");
  EXPECT_EQ(params.find("com")->second, form.LBTitle->Tag.toStdString());
  EXPECT_EQ(params.size(), 2u);
}

TEST_F(QueryEndToEnd, InvalidNumbersAreNotSent) {
  const int before = server->Hits("/found/chaxun");
  for (const QString& number : {QString(), QStringLiteral("１２３"), form.SStext->text()}) {
    query("/found", number);
  }
  EXPECT_EQ(messages.size(), 3);
  EXPECT_EQ(server->Hits("/found/chaxun"), before);
  EXPECT_TRUE(form.Text->isHidden());
}

}  // namespace

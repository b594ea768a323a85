// The tracking query end to end: the real window and its real hidden browser
// against pages served on loopback, offscreen.
#include "FormMain.h"
#include "Query.h"
#include "SignalWait.h"
#include "TestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
    server->Hold("/silent/chaxun", page("<div id=\"queryResult2\">too late</div>"));
    server->Fail("/error500/chaxun", 500, page("<div id=\"queryResult2\">error page</div>"));
    // Shows its result, then a script never ends.
    server->Serve("/hangs-later/chaxun",
                  page("<div id=\"queryResult2\">shown</div><script>addEventListener('load', () =>"
                       " setTimeout(() => { for (;;) {} }, 1000));</script>"));
    server->Hold("/late/chaxun", page("<div id=\"queryResult2\">late answer</div>"));
    server->Hold("/overtaken/chaxun", page("<div id=\"queryResult2\">overtaken</div>"));
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
    qunsetenv("COURIER_QUERY_TIMEOUT_MS");
  }

  QString noResult() { return Query::noResultMessage(form.LBTitle->caption()); }

  // Queries `number` against the pages under `base`.
  void query(const std::string& base, const QString& number = QStringLiteral("YT100")) {
    qputenv("COURIER_QUERY_SERVICE", server->Url(base).toUtf8());
    form.SStext->setText(number);
    QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  }

  // Both run the event loop until a completion of the browser's gives the text.
  bool waitForText(const QString& text) {
    return waitForCompletion([&] { return form.Text->text() == text; });
  }
  bool settled() {
    return waitForCompletion([&] { return form.Text->text() != Query::kLoadingText; });
  }
  bool waitForCompletion(const std::function<bool()>& done) {
    return WaitForSignal(&form.Web->browser(), &ModAPI::WebBrowser::DocumentComplete, done,
                         kBoundMs);
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
      [&] { return form.Text->text() == Query::noResultMessage(form.LBTitle->caption()); },
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

// The whole task without a mouse, every key through the window: another
// courier from the panel by its index letter, a number, Enter, the answer,
// Esc back to the picker.
TEST_F(QueryEndToEnd, TheWholeQueryByKeyboardAlone) {
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  qputenv("COURIER_QUERY_SERVICE", server->Url("/found").toUtf8());
  QWindow* window = form.windowHandle();
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_S, Qt::Key_Return, Qt::Key_Tab})
    QTest::keyClick(window, key);
  EXPECT_EQ(form.LBTitle->caption(), "速尔快递");
  for (const char c : std::string("SR100")) QTest::keyClick(window, c);
  QTest::keyClick(window, Qt::Key_Return);
  EXPECT_FALSE(form.Text->isHidden());
  ASSERT_TRUE(settled());
  EXPECT_TRUE(form.Text->text().startsWith("2026-12-05 14:32 上海 已签收"));
  const auto params = server->LastParams("/found/chaxun");
  EXPECT_EQ(params.find("com")->second, "suer");
  EXPECT_EQ(params.find("nu")->second, "SR100");
  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_TRUE(form.Text->isHidden());
  EXPECT_TRUE(form.Back->isHidden());
  EXPECT_TRUE(messages.isEmpty());
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

// Beside the red message, the status line says why nothing was found; the
// message itself stays exactly the same. A query under way and a found
// result have no cause.
TEST_F(QueryEndToEnd, TheStatusLineSaysWhyNothingWasFound) {
  qputenv("COURIER_QUERY_TIMEOUT_MS", "1500");
  const QString refused = TestServer::RefusedUrl();
  const struct {
    QString service;
    QString cause;
  } cases[] = {
      {server->Url("/unknown"), "页面中没有查询结果"},
      {server->Url("/error500"), "查询服务出错（HTTP 500）"},
      {refused, "无法连接查询服务 127.0.0.1:" + QString::number(QUrl(refused).port())},
      {server->Url("/silent"), "查询超时"},
      {"ht!tp://x",
       "查询服务地址“ht!tp://x”无效：不是 http 或 https 地址（环境变量 COURIER_QUERY_SERVICE）"},
  };
  for (const auto& [service, cause] : cases) {
    SCOPED_TRACE(cause.toStdString());
    qputenv("COURIER_QUERY_SERVICE", service.toUtf8());
    form.SStext->setText("YT100");
    QTest::mouseClick(form.SSCMD, Qt::LeftButton);
    EXPECT_EQ(form.queryStatus->text(), "");
    EXPECT_FALSE(form.queryStatus->isHidden());
    ASSERT_TRUE(settled());
    EXPECT_EQ(form.Text->text(), noResult());
    EXPECT_EQ(form.Text->ForeColor, Query::kNoResultColor);
    EXPECT_EQ(form.queryStatus->text(), cause);
    EXPECT_EQ(form.queryStatus->accessibleName(), cause);
    EXPECT_EQ(form.announcer->accessibleName(), noResult() + " " + cause) << "told unasked";

    query("/found");  // the next query works and clears the cause
    ASSERT_TRUE(settled());
    EXPECT_TRUE(form.Text->text().startsWith("2026-12-05"));
    EXPECT_EQ(form.queryStatus->text(), "");
  }
  QTest::mouseClick(form.Back, Qt::LeftButton);
  EXPECT_TRUE(form.queryStatus->isHidden());
}

// An address that cannot be used sends nothing anywhere; it abandons the
// load under way, whose answer then never shows, and each query again says
// what is wrong with it. The service's addresses come first from the desktop's
// settings file here, then from the variable.
TEST_F(QueryEndToEnd, AnUnusableServiceAddressIsNamedBesideTheRedMessage) {
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  ASSERT_TRUE(QDir(config.path()).mkdir("courier-query"));
  QFile file(config.filePath("courier-query/courier-query.conf"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Service=" + server->Url("/overtaken").toUtf8() + "\n");
  file.close();
  form.SStext->setText("YT100");
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return server->Hits("/overtaken/chaxun") == 1; }, kBoundMs));

  const int requests = server->Hits();
  for (const char* address : {"http://", "http://127.0.0.1:99999", "file:", "ftp://127.0.0.1"}) {
    SCOPED_TRACE(address);
    qputenv("COURIER_QUERY_SERVICE", address);
    QTest::mouseClick(form.SSCMD, Qt::LeftButton);
    EXPECT_EQ(form.Text->text(), Query::kLoadingText);
    ASSERT_TRUE(settled());
    EXPECT_EQ(form.Text->text(), noResult());
    EXPECT_TRUE(
        form.queryStatus->text().startsWith(QStringLiteral("查询服务地址“") + address + "”无效："))
        << form.queryStatus->text().toStdString();
  }
  server->Release("/overtaken/chaxun");
  EXPECT_FALSE(QTest::qWaitFor([&] { return form.Text->text() == "overtaken"; }, 1000));
  EXPECT_EQ(server->Hits(), requests);
  qunsetenv("XDG_CONFIG_HOME");
}

// A page that shows its result and then runs a script that never ends: the
// result is shown, and the next query still gets its own.
TEST_F(QueryEndToEnd, APageHangingAfterItsResultDoesNotHoldUpTheNextQuery) {
  query("/hangs-later");
  ASSERT_TRUE(settled());
  EXPECT_EQ(form.Text->text(), "shown");
  QTest::qWait(2000);  // the script is under way now

  query("/found");
  ASSERT_TRUE(settled());
  EXPECT_TRUE(form.Text->text().startsWith("2026-12-05"));
  EXPECT_EQ(form.queryStatus->text(), "");
}

}  // namespace

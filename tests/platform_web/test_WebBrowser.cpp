#include "SignalWait.h"
#include "TestServer.h"
#include "WebBrowser.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWebEnginePage>

#include <signal.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

using ModAPI::BrowserObject;
using ModAPI::HtmlElement;
using ModAPI::LoadStatus;
using ModAPI::WebBrowser;
using std::chrono::milliseconds;

void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace ModAPI {
void PrintTo(const LoadStatus& status, std::ostream* out) {
  *out << "{outcome " << status.outcome << ", HTTP " << status.httpStatus << '}';
}
}  // namespace ModAPI

namespace {

constexpr int kLoadBound = 20000;  // ms
// Short enough to wait for, long enough for every page here that does end.
constexpr milliseconds kShortLimit{1500};

struct Completion {
  BrowserObject pDisp;
  QString url;
  LoadStatus status;
  qint64 at;  // ms since the test started
};

std::string Page(const std::string& body) {
  return "<!DOCTYPE html><html><head><title>t</title></head><body>" + body + "</body></html>";
}

// <html>, <head>, <body>, then fillers, and a result element last of all.
std::string LargePage(int elementCount) {
  std::string page = "<!DOCTYPE html><html><head></head><body>";
  for (int i = 3; i < elementCount - 1; ++i) page += "<i></i>";
  return page + "<b id=\"queryResult2\">end</b></body></html>";
}

class WebBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.start();
    QObject::connect(&browser_, &WebBrowser::DocumentComplete,
                     [this](BrowserObject pDisp, const QString& url, const LoadStatus& status) {
                       completions_.append({pDisp, url, status, clock_.elapsed()});
                     });
    server_.Serve("/plain", Page("<p>plain</p>"));
    server_.Serve("/elements", Page(R"(<div id="first">one<br>two</div><p>no id</p>)"
                                    R"(<pre id="queryResult2">a
b</pre><span id="hidden" style="display:none">x</span><pre id="cr"></pre>)"
                                    R"(<script>document.getElementById('cr').textContent =)"
                                    R"( 'p\rq\ns';</script>)"));
    // Frame b gets its address before it enters the document: an empty frame
    // would first hold a document of its own, which may or may not report.
    server_.Serve("/frames", Page(R"(<iframe src="/frame-a"></iframe>)"
                                  R"(<script>const b = document.createElement('iframe');)"
                                  R"( b.src = location.href.replace('127.0.0.1', 'localhost')
                                  .replace('/frames', '/frame-b');)"
                                  R"( document.body.appendChild(b);</script>)"));
    const std::string ids = R"(<div id="outer">out<p id="QUERYRESULT2">upper</p>)"
                            R"(<p id="queryresult2">lower</p></div><p id="queryResult">near</p>)"
                            R"(<p id="%1'&quot;\%3">odd</p><p id="%1">plain odd</p>)";
    server_.Serve("/ids", Page(ids));
    // Read only as it is shown: the page hangs before the load can end.
    server_.Serve(
        "/ids-then-hangs",
        Page(ids + "<script>addEventListener('pageshow', () => { for (;;) {} });</script>"));
    server_.Serve("/frame-a", Page("<p id=\"queryResult2\">in a frame</p>"));
    server_.Serve("/frame-b", Page("<p>b</p>"));
    server_.Serve("/large", LargePage(40000));
    server_.Serve("/popup", Page(R"(<p id="opened"></p><script>)"
                                 R"(alert('a'); confirm('c'); prompt('p');)"
                                 R"(document.getElementById('opened').textContent =)"
                                 R"( String(window.open('/target') !== null);</script>)"));
    server_.Serve("/target", Page("<p>popup</p>"));
    server_.Hold("/slow", Page("<p id=\"queryResult2\">slow</p>"));
    server_.Hold("/slow-frame", Page("<p>slow frame</p>"));
    server_.Serve("/held-frame", Page("<iframe src=\"/slow-frame\"></iframe>"));
    server_.Fail("/error500", 500, "");
    server_.Fail("/missing", 404, Page("<p id=\"queryResult2\">not found page</p>"));
    server_.Serve("/moves-on",
                  Page(R"(<script>addEventListener('load', () =>)"
                       R"( setTimeout(() => location.href = '/elements'));</script>)"));
    server_.Attachment("/download", "bytes");
    server_.Redirect("/redirect", "/elements");
    server_.Redirect("/redirect-loop", "/redirect-loop");
    for (int hop = 0; hop < 24; ++hop)
      server_.Redirect("/chain/" + std::to_string(hop), "/chain/" + std::to_string(hop + 1));
    server_.Redirect("/chain/24", "/elements");
    ServeSameDocumentMoves();
    server_.Serve("/hangs-after-load",
                  Page(R"(<p id="queryResult2">read</p><script>addEventListener('load', () =>)"
                       R"( setTimeout(() => { for (;;) {} }, 0));</script>)"));
    server_.Serve("/deep", Page(R"(<p id="queryResult2">beside</p><script>)"
                                R"(let e = document.body; for (let i = 0; i < 8000; ++i))"
                                R"( e = e.appendChild(document.createElement('div'));)"
                                R"(e.id = 'bottom'; e.textContent = 'deep';</script>)"));
    for (const char* event : {"pagehide", "unload"})
      server_.Serve(std::string("/long-") + event,
                    Page(std::string("<p>leaving</p><script>addEventListener('") + event +
                         "', () => { const end = Date.now() + 15000;"
                         " while (Date.now() < end) {} });</script>"));
    ServeEndlessPages();
    server_.Start();
  }

  // Result pages that change their own address without leaving the document,
  // while they load or once they have.
  void ServeSameDocumentMoves() {
    const std::string result = R"(<p id="queryResult2">moved</p>)";
    const std::pair<const char*, const char*> moves[] = {
        {"/replace-while-loading", "history.replaceState(null, '', '/tidy?nu=1');"},
        {"/push-while-loading", "history.pushState({}, '', '/tidy#pushed');"},
        {"/hash-while-loading", "location.hash = 'moved';"},
        {"/replace-on-load",
         "addEventListener('load', () => history.replaceState(null, '', "
         "'/tidy'));"},
        {"/hash-on-load", "addEventListener('load', () => location.hash = 'x');"},
    };
    for (const auto& [path, script] : moves)
      server_.Serve(path, Page(result + "<script>" + script + "</script>"));
  }

  // Pages that never end loading, or never stop moving on, or keep the
  // renderer busy for ever.
  void ServeEndlessPages() {
    const std::string result = R"(<p id="queryResult2">never shown</p>)";
    server_.Drip("/drip", Page(result));
    server_.Hold("/silent", Page(result));
    server_.Serve("/loops-while-parsing", Page(result + "<script>for (;;) {}</script>"));
    server_.Serve("/refresh-loop", R"(<html><head><meta http-equiv="refresh" content="0">)"
                                   "</head><body>again</body></html>");
    server_.Serve("/meta-to-file",
                  R"(<html><head><meta http-equiv="refresh" content="0;url=file:///etc/hostname">)"
                  "</head><body>away</body></html>");
    server_.Serve("/script-to-file",
                  Page("<script>location.href = 'file:///etc/hostname';</script>"));
    server_.Redirect("/redirect-to-file", "file:///etc/hostname");
    server_.Serve("/popups",
                  Page("<script>setInterval(() => window.open('/target'), 5);</script>"));
    server_.Serve("/keeps-fetching",
                  Page("<script>setInterval(() => fetch('/ping').catch(() => {}), 20);</script>"));
    server_.Serve("/ping", "pong", "text/plain");
    server_.Serve("/alert-loop", Page("<script>for (;;) alert('again');</script>"));
    server_.Serve("/confirm-loop",
                  Page("<script>setInterval(() => confirm('stay?') || location.reload(), 5);"
                       "</script>"));
  }

  QList<Completion> TopCompletions() const { return Filter(true); }
  QList<Completion> FrameCompletions() const { return Filter(false); }

  // Waits until `count` top-level completions have arrived in all.
  bool WaitForTop(qsizetype count = 1) {
    return WaitForSignal(
        &browser_, &WebBrowser::DocumentComplete, [&] { return TopCompletions().size() >= count; },
        kLoadBound);
  }

  bool Load(const std::string& path) {
    browser_.Navigate(server_.Url(path));
    return WaitForTop(TopCompletions().size() + 1);
  }

  const HtmlElement* FindById(const QString& id) const {
    for (const HtmlElement& element : browser_.All())
      if (element.id == id) return &element;
    return nullptr;
  }

  QWebEnginePage* page() { return browser_.findChild<QWebEnginePage*>(); }

  // As a crash or the out-of-memory killer would. Never kill(0, ...): that
  // is the whole process group.
  void KillRenderer() {
    ASSERT_NE(page(), nullptr);
    const qint64 pid = page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, SIGKILL), 0);
  }

  WebBrowser browser_;
  TestServer server_;
  QElapsedTimer clock_;
  QList<Completion> completions_;

 private:
  QList<Completion> Filter(bool top) const {
    QList<Completion> result;
    for (const Completion& completion : completions_)
      if ((completion.pDisp == browser_.TopLevelObject()) == top) result.append(completion);
    return result;
  }
};

TEST_F(WebBrowserTest, CollectsEveryElementInDocumentOrderWithCrLfText) {
  ASSERT_TRUE(Load("/elements"));

  QStringList ids;
  for (const HtmlElement& element : browser_.All()) ids.append(element.id);
  ASSERT_EQ(ids,
            QStringList({"", "", "", "", "first", "", "", "queryResult2", "hidden", "cr", ""}));
  EXPECT_EQ(FindById("first")->innerText, "one\r\ntwo");
  EXPECT_EQ(FindById("queryResult2")->innerText, "a\r\nb");
  EXPECT_EQ(FindById("hidden")->innerText, "x");
  EXPECT_EQ(FindById("cr")->innerText, "p\rq\r\ns");
  for (const HtmlElement& element : browser_.All())
    EXPECT_TRUE(!element.id.isEmpty() || element.innerText.isEmpty());
  EXPECT_EQ(TopCompletions().last().url, server_.Url("/elements"));
}

// Only the named id's elements, whatever their case, have their text read;
// the others keep their place and id. This holds for the collection taken as
// the page is shown (alone when the page then hangs) and for the one read by
// a script call (another fragment).
TEST_F(WebBrowserTest, ReadsTheTextOfTheNamedElementsOnly) {
  const auto texts = [this] {
    QStringList read;
    for (const HtmlElement& element : browser_.All())
      if (!element.id.isEmpty()) read.append(element.id + '=' + element.innerText);
    return read;
  };
  browser_.setTextReadFor("queryResult2");
  for (const char* address : {"/ids", "/ids#below"}) {
    SCOPED_TRACE(address);
    ASSERT_TRUE(Load(address));
    EXPECT_EQ(texts(), QStringList({"outer=", "QUERYRESULT2=upper", "queryresult2=lower",
                                    "queryResult=", "%1'\"\\%3=", "%1="}));
    EXPECT_EQ(browser_.All().size(), 10);  // html, head, title, body and the six
  }

  // An id that would read as script or as a placeholder is taken as it is.
  browser_.setTextReadFor("%1'\"\\%3");
  ASSERT_TRUE(Load("/ids-then-hangs"));
  EXPECT_EQ(texts(), QStringList({"outer=", "QUERYRESULT2=", "queryresult2=", "queryResult=",
                                  "%1'\"\\%3=odd", "%1="}));

  browser_.setTextReadFor({});
  ASSERT_TRUE(Load("/ids"));
  EXPECT_EQ(texts().at(0), "outer=out\r\n\r\nupper\r\n\r\nlower");
  EXPECT_EQ(texts().at(5), "%1=plain odd");
}

TEST_F(WebBrowserTest, FramesReportWithTheirOwnIdentityBeforeTheTopLevel) {
  ASSERT_TRUE(Load("/frames"));

  const QList<Completion> frames = FrameCompletions();
  ASSERT_EQ(frames.size(), 2);
  EXPECT_NE(frames[0].pDisp, frames[1].pDisp);
  QStringList urls = {frames[0].url, frames[1].url};
  urls.sort();
  EXPECT_TRUE(urls[0].endsWith("/frame-a")) << urls[0].toStdString();
  EXPECT_TRUE(urls[1].contains("localhost") && urls[1].endsWith("/frame-b"))
      << urls[1].toStdString();
  ASSERT_EQ(TopCompletions().size(), 1);
  EXPECT_EQ(completions_.last().pDisp, browser_.TopLevelObject());
  EXPECT_EQ(FindById("queryResult2"), nullptr);  // frame content is not the top document's
}

TEST_F(WebBrowserTest, LargeDocumentsKeepEveryElement) {
  ASSERT_TRUE(Load("/large"));
  ASSERT_EQ(browser_.All().size(), 40000);
  EXPECT_EQ(browser_.All().last().id, "queryResult2");
  EXPECT_EQ(browser_.All().last().innerText, "end");
}

// Nesting that deep takes the renderer down (each try, within a second). The
// load then ends as a page that could not be read, never as one without a
// result, and does not wait out its time; the next load works.
TEST_F(WebBrowserTest, AVeryDeepSubtreeFailsAsAPageThatCouldNotBeRead) {
  ASSERT_TRUE(Load("/deep"));
  const LoadStatus status = TopCompletions().last().status;
  if (status == LoadStatus{LoadStatus::Loaded}) {
    ASSERT_NE(FindById("queryResult2"), nullptr);
    EXPECT_EQ(FindById("queryResult2")->innerText, "beside");
  } else {
    EXPECT_EQ(status, LoadStatus{LoadStatus::RendererGone});
  }
  EXPECT_LT(TopCompletions().last().at, kLoadBound / 2);
  ASSERT_TRUE(Load("/elements"));
  EXPECT_NE(FindById("queryResult2"), nullptr);
}

TEST_F(WebBrowserTest, BlankPageCompletesWithAnEmptyDocument) {
  browser_.Navigate("about:blank");
  ASSERT_TRUE(WaitForTop());
  ASSERT_EQ(browser_.All().size(), 3);  // html, head, body
  EXPECT_EQ(TopCompletions().last().url, "about:blank");
}

TEST_F(WebBrowserTest, PopupsAndDialogsNeitherOpenNorBlock) {
  ASSERT_TRUE(Load("/popup"));
  ASSERT_NE(FindById("opened"), nullptr);
  EXPECT_EQ(FindById("opened")->innerText, "false");
  EXPECT_EQ(server_.Hits("/target"), 0);
}

TEST_F(WebBrowserTest, AnAbandonedLoadReportsNothing) {
  browser_.Navigate(server_.Url("/slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow") == 1; }, kLoadBound));
  ASSERT_TRUE(Load("/plain"));
  server_.Release();
  ASSERT_TRUE(Load("/elements"));

  const QList<Completion> tops = TopCompletions();
  ASSERT_EQ(tops.size(), 2);
  EXPECT_EQ(tops[0].url, server_.Url("/plain"));
  EXPECT_EQ(tops[1].url, server_.Url("/elements"));
  EXPECT_EQ(FindById("queryResult2")->innerText, "a\r\nb");
}

// The page left behind still has a frame loading while the next one is on its
// way; the frame's completion belongs to the old page.
TEST_F(WebBrowserTest, FramesOfAnAbandonedPageReportNothing) {
  browser_.Navigate(server_.Url("/held-frame"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow-frame") == 1; }, kLoadBound));
  browser_.Navigate(server_.Url("/slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow") == 1; }, kLoadBound));
  server_.Release();
  ASSERT_TRUE(WaitForTop());
  ASSERT_TRUE(Load("/plain"));

  EXPECT_TRUE(FrameCompletions().isEmpty());
  const QList<Completion> tops = TopCompletions();
  ASSERT_EQ(tops.size(), 2);
  EXPECT_EQ(tops[0].url, server_.Url("/slow"));
}

TEST_F(WebBrowserTest, APageMovingOnByItselfCompletesAgain) {
  ASSERT_TRUE(Load("/moves-on"));
  ASSERT_TRUE(WaitForTop(2));
  EXPECT_EQ(TopCompletions()[0].url, server_.Url("/moves-on"));
  EXPECT_EQ(TopCompletions()[1].url, server_.Url("/elements"));
  EXPECT_NE(FindById("queryResult2"), nullptr);
}

// The engine's renderer can die (out of memory, a crash) in the middle of a
// load that then never ends. The load is made once more in a fresh renderer;
// a second death ends it as a failure of its own, never as a page without
// a result.
TEST_F(WebBrowserTest, ALoadWhoseRendererDiesIsMadeOnceMoreThenFails) {
  browser_.Navigate(server_.Url("/held-frame"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow-frame") == 1; }, kLoadBound));
  KillRenderer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow-frame") == 2; }, kLoadBound));
  EXPECT_TRUE(TopCompletions().isEmpty());
  KillRenderer();

  ASSERT_TRUE(WaitForTop());
  EXPECT_TRUE(browser_.All().isEmpty());
  EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::RendererGone});
  ASSERT_TRUE(Load("/elements"));
  EXPECT_EQ(TopCompletions().size(), 2);
}

TEST_F(WebBrowserTest, ALoadWhoseRendererDiesOnceStillBringsItsPage) {
  browser_.Navigate(server_.Url("/slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow") == 1; }, kLoadBound));
  KillRenderer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow") == 2; }, kLoadBound));
  server_.Release();

  ASSERT_TRUE(WaitForTop());
  EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
  ASSERT_NE(FindById("queryResult2"), nullptr);
  EXPECT_EQ(FindById("queryResult2")->innerText, "slow");
}

// After a time-out the engine still counts the stopped load as under way:
// when the renderer dies it reports that load's end and drops the next one,
// still waiting for its server, without a word. The next load is made again
// and completes all the same, long before its time runs out.
TEST_F(WebBrowserTest, ALoadAfterATimeOutCompletesWhenTheRendererDies) {
  browser_.setTimeLimit(kShortLimit);
  ASSERT_TRUE(Load("/drip"));
  ASSERT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::TimedOut});

  browser_.setTimeLimit(milliseconds(kLoadBound / 2));
  browser_.Navigate(server_.Url("/slow"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.Hits("/slow") == 1; }, kLoadBound));
  KillRenderer();
  server_.Release();

  ASSERT_TRUE(WaitForTop(2));
  EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
  ASSERT_TRUE(Load("/elements"));
  EXPECT_NE(FindById("queryResult2"), nullptr);
  EXPECT_EQ(TopCompletions().size(), 3);
}

// Every address gives exactly one top-level completion, which says how the
// load ended, and a load that brings no document of its own (refused, HTTP
// error, download, an address the engine would not load) holds nothing of the
// page shown before.
TEST_F(WebBrowserTest, EveryAddressCompletesOnceSayingHow) {
  const LoadStatus loaded{LoadStatus::Loaded}, noDocument{LoadStatus::NoDocument},
      unreachable{LoadStatus::Unreachable};
  const struct {
    QString address;
    bool hasResult;
    LoadStatus status;
  } cases[] = {
      {TestServer::RefusedUrl(), false, unreachable},
      {"http://127.0.0.1:1/chaxun", false, unreachable},  // a port the engine refuses
      {server_.Url("/redirect-to-file"), false, unreachable},
      {server_.Url("/error500"), false, {LoadStatus::HttpError, 500}},
      {server_.Url("/missing"), false, {LoadStatus::HttpError, 404}},  // its page is no result
      {server_.Url("/download"), false, noDocument},
      {server_.Url("/redirect-loop"), false, {LoadStatus::TooManyRedirects}},
      {server_.Url("/chain/0"), false, {LoadStatus::TooManyRedirects}},
      {server_.Url("/chain/6"), true, loaded},  // 19 hops are allowed
      {"no-scheme", false, noDocument},
      {"javascript:1", false, noDocument},
      {"file:///etc/hostname", false, noDocument},
      {server_.Url("/redirect"), true, loaded},
      {server_.Url("/elements#below"), true, loaded},  // same document, another fragment
      {server_.Url("/elements?nu= 12 &x=y"), true, loaded},
  };
  ASSERT_TRUE(Load("/elements"));
  for (const auto& [address, hasResult, status] : cases) {
    SCOPED_TRACE(address.toStdString());
    const qsizetype before = TopCompletions().size();

    browser_.Navigate(address);
    ASSERT_TRUE(WaitForTop(before + 1));
    EXPECT_EQ(TopCompletions().last().status, status);
    EXPECT_EQ(FindById("queryResult2") != nullptr, hasResult);
    // Loading the result page again also shows no second completion came.
    ASSERT_TRUE(Load("/elements"));
    EXPECT_EQ(TopCompletions().size(), before + 2);
  }
}

// A same-document move is no new load: the document's own completion counts
// and holds the result, well within the time limit.
TEST_F(WebBrowserTest, APageThatChangesItsOwnAddressStillCompletes) {
  browser_.setTimeLimit(milliseconds(kLoadBound / 2));
  for (const char* path : {"/replace-while-loading", "/push-while-loading", "/hash-while-loading",
                           "/replace-on-load", "/hash-on-load"}) {
    SCOPED_TRACE(path);
    const qsizetype before = TopCompletions().size();
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
    ASSERT_NE(FindById("queryResult2"), nullptr);
    EXPECT_EQ(FindById("queryResult2")->innerText, "moved");
    QTest::qWait(200);  // a second completion for the move would come meanwhile
    EXPECT_EQ(TopCompletions().size(), before + 1);
  }
}

TEST_F(WebBrowserTest, CompletionNeverComesFromInsideNavigate) {
  bool insideNavigate = false;
  int completedInside = 0;
  QObject::connect(&browser_, &WebBrowser::DocumentComplete, [&] {
    if (insideNavigate) ++completedInside;
  });
  const QString addresses[] = {"about:blank", TestServer::RefusedUrl(), QString(),
                               server_.Url("/elements"), server_.Url("/elements#below")};
  for (const QString& address : addresses) {
    const qsizetype before = TopCompletions().size();
    insideNavigate = true;
    browser_.Navigate(address);
    insideNavigate = false;
    EXPECT_TRUE(WaitForTop(before + 1)) << address.toStdString();
  }
  EXPECT_EQ(completedInside, 0);
}

// Loads that never end: a page that arrives a byte a second, a server that
// takes the request and never answers, a script that never ends while the
// page is parsed. Each is stopped at the time limit and completes empty as
// timed out; the next load works (for the script, in a fresh renderer).
TEST_F(WebBrowserTest, LoadsThatNeverEndTimeOutAndTheNextLoadWorks) {
  for (const char* path : {"/drip", "/silent", "/loops-while-parsing"}) {
    SCOPED_TRACE(path);
    browser_.setTimeLimit(kShortLimit);
    ASSERT_TRUE(Load(path));
    EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::TimedOut});
    EXPECT_TRUE(browser_.All().isEmpty());

    browser_.setTimeLimit(WebBrowser::kDefaultTimeLimit);
    ASSERT_TRUE(Load("/elements"));
    EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
    EXPECT_NE(FindById("queryResult2"), nullptr);
  }
}

// A script that never ends after its page has loaded leaves a renderer that
// takes no new document; the next load gets a new renderer instead of
// waiting out its time.
TEST_F(WebBrowserTest, ARendererStuckInAScriptIsReplacedForTheNextLoad) {
  ASSERT_TRUE(Load("/plain"));
  const qint64 stuck = page()->renderProcessPid();
  page()->runJavaScript(QStringLiteral("for (;;) {}"));

  ASSERT_TRUE(Load("/elements"));
  EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
  EXPECT_NE(FindById("queryResult2"), nullptr);
  EXPECT_NE(page()->renderProcessPid(), stuck);
}

// The page's own timer, queued from its load handler, hangs the renderer at
// once; the result is read before it, every time. (Each next load gets a
// fresh renderer, as after any script that never ends.)
TEST_F(WebBrowserTest, APageThatHangsRightAfterLoadingIsReadEveryTime) {
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(Load("/hangs-after-load"));
    EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
    ASSERT_NE(FindById("queryResult2"), nullptr);
    EXPECT_EQ(FindById("queryResult2")->innerText, "read");
  }
}

// The page being left runs its exit handlers in the renderer the next
// document is to load in, and they may run far longer than the next load's
// time; that renderer is replaced and the next load still completes.
TEST_F(WebBrowserTest, ALongExitHandlerDoesNotCostTheNextLoad) {
  for (const char* path : {"/long-pagehide", "/long-unload"}) {
    SCOPED_TRACE(path);
    browser_.setTimeLimit(WebBrowser::kDefaultTimeLimit);
    ASSERT_TRUE(Load(path));
    browser_.setTimeLimit(milliseconds(8000));
    ASSERT_TRUE(Load("/elements"));
    EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
    ASSERT_NE(FindById("queryResult2"), nullptr);
    EXPECT_EQ(FindById("queryResult2")->innerText, "a\r\nb");
  }
}

// A renderer that is only slow to answer, as on a busy machine, keeps its
// place: the next load waits for it rather than start over.
TEST_F(WebBrowserTest, ARendererBusyForAMomentIsKept) {
  ASSERT_TRUE(Load("/plain"));
  const qint64 busy = page()->renderProcessPid();
  page()->runJavaScript(
      QStringLiteral("const end = Date.now() + 1500; while (Date.now() < end) {}"));

  ASSERT_TRUE(Load("/elements"));
  EXPECT_EQ(TopCompletions().last().status, LoadStatus{LoadStatus::Loaded});
  EXPECT_NE(FindById("queryResult2"), nullptr);
  EXPECT_EQ(page()->renderProcessPid(), busy);
}

// Pages that move on by themselves or keep the browser busy: each has
// completed by the end of the time limit, and from then on it neither loads
// anything nor completes again.
TEST_F(WebBrowserTest, PagesThatMoveOnByThemselvesSettleWithinTheTimeLimit) {
  browser_.setTimeLimit(kShortLimit);
  // The time-out's timer may fire late on a busy machine; a page that kept
  // going would complete again or fetch again long after this.
  const int slackMs = 2000;
  const int settleMs = static_cast<int>(kShortLimit.count()) + slackMs + 500;
  for (const char* path : {"/refresh-loop", "/meta-to-file", "/script-to-file", "/redirect-to-file",
                           "/popups", "/keeps-fetching", "/alert-loop", "/confirm-loop"}) {
    SCOPED_TRACE(path);
    const qsizetype before = TopCompletions().size();
    const qint64 start = clock_.elapsed();
    browser_.Navigate(server_.Url(path));
    QTest::qWait(settleMs);
    const int hits = server_.Hits();
    const qsizetype completed = completions_.size();
    QTest::qWait(1000);

    ASSERT_GT(TopCompletions().size(), before);
    EXPECT_LE(TopCompletions().last().at - start, kShortLimit.count() + slackMs);
    EXPECT_EQ(FindById("queryResult2"), nullptr);
    EXPECT_EQ(server_.Hits(), hits) << "still loading";
    EXPECT_EQ(completions_.size(), completed) << "still completing";
    EXPECT_EQ(server_.Hits("/target"), 0);
  }
}

}  // namespace

// Lookups from the command line: the built program with --lookup, through its
// real hidden browser, against the reference tracking service run as its own
// process, a loopback server whose page never finishes, and a port where
// nothing listens. The program runs with no display and no platform chosen
// for it.
#include "ReferenceService.h"
#include "TestServer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kRunBoundMs = 120000;
const QString kFound = QStringLiteral("SF2122544101995");
const QString kFoundToo = QStringLiteral("SF8641151637005");
const QString kUnknown = QStringLiteral("SF0000000000000");
const QString kNoResult = QStringLiteral("查询不到结果，请您确认输入的是 顺丰速运 订单号！");

// What the loopback pages of the parallel lookups share with their tests:
// the numbers whose pages may come, and the requests of the reverse-order
// pages in at once. Every wait is bounded, and all end when the suite does.
struct Pages {
  static constexpr auto kBound = std::chrono::seconds(30);
  static constexpr int kReversed = 4;  // requests the reverse-order pages answer together

  std::mutex mutex;
  std::condition_variable changed;
  std::set<std::string> released;  // numbers whose held pages may come
  int arrived = 0, answered = 0;   // reverse-order requests
  bool allArrivedAtOnce = false;
  bool closing = false;

  // Holds the request for `number` until the test releases it.
  void hold(const std::string& number) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, kBound, [&] { return closing || released.contains(number); });
  }
  void release(const std::string& number) {
    const std::lock_guard lock(mutex);
    released.insert(number);
    changed.notify_all();
  }
  // Waits until kReversed requests are in, then lets the last one in
  // answer first, then the one before it, and so on.
  void answerInReverse() {
    std::unique_lock lock(mutex);
    const int place = arrived++;
    changed.notify_all();
    if (changed.wait_for(lock, kBound, [&] { return closing || arrived == kReversed; }))
      allArrivedAtOnce |= arrived == kReversed;
    changed.wait_for(lock, kBound, [&] { return closing || answered == kReversed - 1 - place; });
    ++answered;
    changed.notify_all();
  }
  void close() {
    const std::lock_guard lock(mutex);
    closing = true;
    changed.notify_all();
  }
};

// A result page whose result names the number asked for.
void answerWithNumber(const httplib::Request& request, httplib::Response& response) {
  response.set_content("<html><body><p id=\"queryResult2\">已签收 " +
                           request.get_param_value("nu") + "</p></body></html>",
                       "text/html; charset=utf-8");
}

struct Result {
  int exitCode = -1;
  QString out;
  QString err;
};

class Lookups : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service = new ReferenceService;
    server = new TestServer;
    // A number "never" gets a page that never comes; any other the result.
    server->Handle(
        "/mixed/chaxun", [](const httplib::Request& request, httplib::Response& response) {
          if (request.get_param_value("nu") == "never") server->WaitForRelease(request.path);
          response.set_content("<html><body><p id=\"queryResult2\">已签收</p></body></html>",
                               "text/html; charset=utf-8");
        });
    // What a terminal would act on, in a result: clear the screen, set the
    // title, an 8-bit CSI, and a right-to-left override with its end.
    server->Serve("/controls/chaxun",
                  "<html><body><p id=\"queryResult2\">\x1b[2J清屏 \x1b]0;标题\x07 "
                  "\xc2\x9b"
                  "31m红字 \xe2\x80\xae倒序\xe2\x80\xac</p></body></html>");
    // A number "SF-held…" gets its page once its test releases it; a number
    // "busy" a page whose script never ends; any other its result at once.
    server->Handle(
        "/faults/chaxun", [](const httplib::Request& request, httplib::Response& response) {
          const std::string number = request.get_param_value("nu");
          if (number.starts_with("SF-held")) pages.hold(number);
          if (number == "busy")
            return response.set_content("<html><body><script>for (;;) {}</script>", "text/html");
          answerWithNumber(request, response);
        });
    server->Handle("/reverse/chaxun",
                   [](const httplib::Request& request, httplib::Response& response) {
                     pages.answerInReverse();
                     answerWithNumber(request, response);
                   });
    server->Start();
  }
  static void TearDownTestSuite() {
    pages.close();
    delete server;
    delete service;
  }

  void SetUp() override { ASSERT_FALSE(service->base().isEmpty()) << "no reference service"; }

  // Runs the program with `arguments` and `input` on its standard input,
  // the service at `base`, without a display.
  Result lookUp(const QStringList& arguments, const QByteArray& input = {},
                const QString& base = service->base(),
                const QString& program = COURIER_QUERY_BINARY) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    env.insert("COURIER_QUERY_SERVICE", base);
    env.insert("COURIER_QUERY_STATE_FILE", stateFile);
    for (const auto& [name, value] : extraEnv) env.insert(name, value);
    for (const QString& name : removedEnv) env.remove(name);
    QProcess process;
    process.setProcessEnvironment(env);
    if (setUpProcess) setUpProcess(process);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(kRunBoundMs);
    Result run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
    EXPECT_TRUE(ended && process.exitStatus() == QProcess::NormalExit) << run.err.toStdString();
    return run;
  }

  static QList<QJsonObject> jsonLines(const QString& out) {
    QList<QJsonObject> objects;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts))
      objects += QJsonDocument::fromJson(line.toUtf8()).object();
    return objects;
  }

  static ReferenceService* service;
  static TestServer* server;
  static Pages pages;
  QTemporaryDir dir;
  const QString stateFile = dir.filePath("state.json");
  std::vector<std::pair<QString, QString>> extraEnv;
  QStringList removedEnv;
  std::function<void(QProcess&)> setUpProcess;  // before the program starts
};

// `count` numbers that the /mixed pages answer at once, each with a result.
QStringList numbers(int count) {
  QStringList numbers;
  for (int i = 1; i <= count; ++i) numbers += QStringLiteral("SF%1").arg(i);
  return numbers;
}

ReferenceService* Lookups::service = nullptr;
TestServer* Lookups::server = nullptr;
Pages Lookups::pages;

TEST_F(Lookups, ReadableBlocksWithTheWindowsTexts) {
  const Result run = lookUp({"--lookup", "顺丰速运", kFound, kUnknown, "ＳＦ１２３"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.startsWith(
      "顺丰速运 SF2122544101995：已查到\n"
      "  2026-12-02 11:57  浙江省 杭州市西湖区  已签收，签收人：家人\n"
      "\n"
      "  2026-12-02 08:39  浙江省 杭州市西湖区  派送中，快递员：陈师傅 184****0887\n"))
      << run.out.toStdString();
  EXPECT_TRUE(
      run.out.endsWith("  2026-11-28 18:14  福建省 厦门市思明区  已揽收，揽收员：王师傅\n"
                       "\n"
                       "顺丰速运 SF0000000000000：页面中没有查询结果\n"
                       "  " +
                       kNoResult +
                       "\n"
                       "\n"
                       "顺丰速运 ＳＦ１２３：单号无效\n"
                       "  请输入正确的 顺丰速运 订单号！\n"
                       "\n"))
      << run.out.toStdString();
  // No window was made: it would have written its state.
  EXPECT_FALSE(QFile::exists(stateFile));
}

TEST_F(Lookups, JsonLinesByCourierCode) {
  const Result run = lookUp({"--lookup", "--json", "shunfeng", kUnknown, "", kFound});
  EXPECT_EQ(run.exitCode, 1);
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
  EXPECT_EQ(run.out.count('\n'), 3);
  for (const QJsonObject& line : lines) {
    EXPECT_EQ(line["courier"].toString(), "顺丰速运");
    EXPECT_EQ(line["code"].toString(), "shunfeng");
  }
  EXPECT_EQ(lines[0]["number"].toString(), kUnknown);
  EXPECT_EQ(lines[0]["status"].toString(), "no-result");
  EXPECT_EQ(lines[0]["text"].toString(), kNoResult);
  EXPECT_EQ(lines[0]["cause"].toString(), "页面中没有查询结果");
  EXPECT_EQ(lines[1]["number"].toString(), "");
  EXPECT_EQ(lines[1]["status"].toString(), "invalid-number");
  EXPECT_EQ(lines[2]["status"].toString(), "found");
  EXPECT_TRUE(lines[2]["text"].toString().startsWith(
      "2026-12-02 11:57  浙江省 杭州市西湖区  已签收，签收人：家人\n\n2026-12-02 08:39"));
  EXPECT_EQ(lines[2]["cause"].toString(), "");
}

// Numbers from standard input take the place of "-" among the others; CR LF
// line ends are line ends.
TEST_F(Lookups, AllFoundFromStandardInputExitsWithZero) {
  const Result run = lookUp({"--lookup", "--json", "顺丰速运", kFound, "-", kFound},
                            kFoundToo.toUtf8() + "\r\n" + kFound.toUtf8() + "\r\n");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
  const QStringList numbers = {kFound, kFoundToo, kFound, kFound};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i]["number"].toString(), numbers[i]);
    EXPECT_EQ(lines[i]["status"].toString(), "found");
  }
}

// Whatever the lines hold, each is answered: bytes that are not UTF-8 fail
// the number check; a NUL and a number far too long for the service go out
// and come back as the service's refusal.
TEST_F(Lookups, ArbitraryBytesOnStandardInputAreAnswered) {
  const QByteArray withNul = QByteArray("SF") + '\0' + "1";
  const QByteArray input = "SF\xFF\xFE\n" + withNul + "\n" + QByteArray(10000, 'A') + "\n";
  const Result run = lookUp({"--lookup", "--json", "顺丰速运", "-"}, input);
  EXPECT_EQ(run.exitCode, 1);
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
  EXPECT_EQ(lines[0]["status"].toString(), "invalid-number");
  EXPECT_EQ(lines[1]["number"].toString(), QString::fromUtf8(withNul));
  EXPECT_EQ(lines[1]["status"].toString(), "no-result");
  EXPECT_EQ(lines[1]["cause"].toString(), "查询服务出错（HTTP 400）");
  EXPECT_EQ(lines[2]["number"].toString().size(), 10000);
  EXPECT_EQ(lines[2]["status"].toString(), "no-result");
}

// Refused connections come back at once on every page: each number is still
// answered once, in order.
TEST_F(Lookups, ServiceDownIsUnreachable) {
  const QString refused = TestServer::RefusedUrl().chopped(QStringLiteral("/chaxun").size());
  ASSERT_TRUE(refused.startsWith("http://"));
  const Result run =
      lookUp(QStringList{"--lookup", "--json", "顺丰速运"} + numbers(9), {}, refused);
  EXPECT_EQ(run.exitCode, 1);
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 9) << run.out.toStdString();
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(lines[i]["number"].toString(), numbers(9)[i]);
    EXPECT_EQ(lines[i]["status"].toString(), "unreachable");
    EXPECT_EQ(lines[i]["text"].toString(), kNoResult);
    EXPECT_EQ(lines[i]["cause"].toString(), "无法连接查询服务 " + refused.mid(strlen("http://")));
  }
}

// No number could really be looked up: the run stops before the first, with
// the address, where it came from and what to do on standard error, and
// status 2; standard output stays empty.
TEST_F(Lookups, AnUnusableServiceAddressLooksNothingUp) {
  for (const QString address :
       {"ht!tp://x", "http://", "http://127.0.0.1:99999", "file:", "ftp://127.0.0.1"}) {
    SCOPED_TRACE(address.toStdString());
    const Result run = lookUp({"--lookup", "--json", "顺丰速运", kFound, "-"}, "SF1\n", address);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.startsWith("courier-query：查询服务地址“" + address + "”无效："))
        << run.err.toStdString();
    EXPECT_TRUE(
        run.err.endsWith("（环境变量 COURIER_QUERY_SERVICE）。一个单号也没有查询；"
                         "请改正查询服务的地址（写法见 courier-query --help）\n"))
        << run.err.toStdString();
  }
}

// Without the variable the service comes from the desktop's settings files:
// the user's first, then the system's folders in order; the variable wins
// over them all.
TEST_F(Lookups, TheSettingsFilesNameTheService) {
  const auto writeSettings = [&](const QString& folder, const QString& address) {
    const QString file = dir.filePath(folder + "/courier-query/courier-query.conf");
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write("# the shop's tracking service\nService=" + address.toUtf8() + "\n");
    return file;
  };
  extraEnv = {{"XDG_CONFIG_HOME", dir.filePath("user")},
              {"XDG_CONFIG_DIRS", dir.filePath("site") + ":" + dir.filePath("vendor")}};
  removedEnv = {"COURIER_QUERY_SERVICE"};
  const auto statusWith = [&](const QString& why) {
    SCOPED_TRACE(why.toStdString());
    const Result run = lookUp({"--lookup", "--json", "顺丰速运", kFound});
    const QList<QJsonObject> lines = jsonLines(run.out);
    return lines.size() == 1 ? lines[0]["status"].toString() + " " + lines[0]["cause"].toString()
                             : run.err;
  };
  writeSettings("vendor", "http://127.0.0.1:1");
  EXPECT_TRUE(statusWith("the last system folder")
                  .startsWith("unreachable 无法连接查询服务 "
                              "127.0.0.1:1"));
  writeSettings("site", service->base());
  EXPECT_EQ(statusWith("the first system folder over the last"), "found ");
  const QString user = writeSettings("user", "http://");
  EXPECT_EQ(statusWith("the user's folder over the system's"),
            "courier-query：查询服务地址“http://”无效：缺少主机名（设置文件 " + user +
                "）。一个单号也没有查询；请改正查询服务的地址（写法见 courier-query --help）\n");
  removedEnv.clear();
  EXPECT_EQ(statusWith("the variable over every file"), "found ");
}

// A lookup that finds its number says nothing on standard error; the
// debugging variable brings the toolkit's and the engine's diagnostics back.
TEST_F(Lookups, StandardErrorIsEmptyUnlessDiagnosticsAreAskedFor) {
  removedEnv = {"COURIER_QUERY_DEBUG"};
  Result run = lookUp({"--lookup", "顺丰速运", kFound});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  extraEnv = {{"COURIER_QUERY_DEBUG", "1"}};
  removedEnv.clear();
  run = lookUp({"--lookup", "顺丰速运", kFound});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.err.contains("qt.webenginecontext")) << run.err.toStdString();
}

// As root, the engine would end the run at its start with a line in English
// and status 1, which would read as "some numbers not found". The program
// refuses first; with the sandbox switched off by either of the engine's
// ways, the lookup runs.
TEST_F(Lookups, AsRootWithTheEnginesSandboxOnNothingIsLookedUp) {
  if (getuid() != 0) GTEST_SKIP() << "needs root";
  removedEnv = {"QTWEBENGINE_DISABLE_SANDBOX"};
  extraEnv = {{"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}};
  Result run = lookUp({"--lookup", "顺丰速运", kFound});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(run.err.startsWith("courier-query：不能以 root 身份运行："));
  EXPECT_TRUE(run.err.contains("QTWEBENGINE_DISABLE_SANDBOX=1"));
  EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();

  extraEnv = {{"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox"}};
  run = lookUp({"--lookup", "顺丰速运", kFound});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(run.err, "");
}

// The page that never finishes times out, and the lookups go on on the same
// page.
TEST_F(Lookups, APageThatNeverFinishesTimesOutAndTheNextNumberIsAnswered) {
  extraEnv = {{"COURIER_QUERY_TIMEOUT_MS", "3000"}};
  const Result run = lookUp({"--lookup", "--json", "--jobs", "1", "顺丰速运", "never", "SF1"}, {},
                            server->Url("/mixed"));
  server->Release();
  EXPECT_EQ(run.exitCode, 1);
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 2) << run.out.toStdString() << run.err.toStdString();
  EXPECT_EQ(lines[0]["status"].toString(), "timeout");
  EXPECT_EQ(lines[0]["cause"].toString(), "查询超时");
  EXPECT_EQ(lines[1]["status"].toString(), "found");
  EXPECT_EQ(lines[1]["text"].toString(), "已签收");
}

// Pages in flight whose answers come last first: each number keeps its own
// answer, and the answers come out in input order.
TEST_F(Lookups, PagesInFlightKeepTheirOwnAnswers) {
  const QStringList four = numbers(Pages::kReversed);
  const Result run = lookUp(QStringList{"--lookup", "--json", "--jobs", "4", "顺丰速运"} + four, {},
                            server->Url("/reverse"));
  EXPECT_TRUE(pages.allArrivedAtOnce);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), four.size()) << run.out.toStdString();
  for (int i = 0; i < four.size(); ++i) {
    EXPECT_EQ(lines[i]["number"].toString(), four[i]);
    EXPECT_EQ(lines[i]["text"].toString(), "已签收 " + four[i]);
  }
}

// A page that never finishes and one whose script never ends (its renderer
// replaced) each time out on their own; the numbers beside them are
// answered, each once and in order.
TEST_F(Lookups, AFaultKeepsToItsNumber) {
  extraEnv = {{"COURIER_QUERY_TIMEOUT_MS", "3000"}};
  const QStringList input = {"SF1", "SF-held-1", "SF2", "busy", "SF3", "SF4", "SF5"};
  const int before = server->Hits("/faults/chaxun");
  const Result run = lookUp(QStringList{"--lookup", "--json", "--jobs", "3", "顺丰速运"} + input,
                            {}, server->Url("/faults"));
  pages.release("SF-held-1");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(server->Hits("/faults/chaxun") - before, input.size());
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), input.size()) << run.out.toStdString() << run.err.toStdString();
  for (int i = 0; i < input.size(); ++i) {
    SCOPED_TRACE(input[i].toStdString());
    EXPECT_EQ(lines[i]["number"].toString(), input[i]);
    const bool fault = input[i] == "SF-held-1" || input[i] == "busy";
    EXPECT_EQ(lines[i]["status"].toString(), fault ? "timeout" : "found");
    if (!fault) {
      EXPECT_EQ(lines[i]["text"].toString(), "已签收 " + input[i]);
    }
  }
}

// An answer comes out as soon as every number before it has its own: the
// first is on the pipe, alone, while the second still waits for its page.
TEST_F(Lookups, EachAnswerComesOutOnceTheNumbersBeforeItHaveTheirs) {
  extraEnv = {{"COURIER_QUERY_TIMEOUT_MS", "10000"}};
  bool firstAloneWhileHeld = false;
  setUpProcess = [&](QProcess& process) {
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] {
      if (!process.canReadLine()) return;
      firstAloneWhileHeld |=
          process.peek(1 << 16).count('\n') == 1 && process.state() == QProcess::Running;
      pages.release("SF-held-2");
    });
  };
  const Result run = lookUp({"--lookup", "--json", "--jobs", "2", "顺丰速运", "SF1", "SF-held-2"},
                            {}, server->Url("/faults"));
  EXPECT_TRUE(firstAloneWhileHeld);
  EXPECT_EQ(run.exitCode, 0) << run.out.toStdString();
}

// the first is all that went out), says why on standard error, and ends
// with 2 so that a script knows answers are missing; the last answer lost
// has no numbers after it to speak of.
TEST_F(Lookups, AFailedWriteStopsTheRunWithItsCause) {
  setUpProcess = [](QProcess& process) { process.setStandardOutputFile("/dev/full"); };
  const int before = server->Hits("/mixed/chaxun");
  Result run = lookUp(QStringList{"--lookup", "--json", "--jobs", "1", "顺丰速运"} + numbers(3), {},
                      server->Url("/mixed"));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "courier-query：无法写出结果（磁盘空间已满），其余的单号不再查询\n");
  EXPECT_EQ(server->Hits("/mixed/chaxun") - before, 1);

  run = lookUp({"--lookup", "顺丰速运", "ＳＦ１"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "courier-query：无法写出结果（磁盘空间已满）\n");

  run = lookUp({"--help"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "courier-query：无法写出到标准输出（磁盘空间已满）\n");
}

// `| head -1`: once the reader has gone, nothing more is looked up, and the
// run ends quietly with the status of a program that SIGPIPE ended.
TEST_F(Lookups, AReaderThatClosesThePipeEndsTheRunQuietly) {
  int pipeEnds[2];
  ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
  const auto [readEnd, writeEnd] = pipeEnds;
  setUpProcess = [writeEnd](QProcess& process) {
    process.setChildProcessModifier([writeEnd] { dup2(writeEnd, STDOUT_FILENO); });
    // The reader sees the end of the pipe should the program end early.
    QObject::connect(&process, &QProcess::started, [writeEnd] { close(writeEnd); });
  };
  QByteArray firstLine;
  std::thread head([readEnd, &firstLine] {
    char c;
    while (!firstLine.endsWith('\n') && read(readEnd, &c, 1) == 1) firstLine += c;
    close(readEnd);
  });
  const int before = server->Hits("/mixed/chaxun");
  const Result run = lookUp(QStringList{"--lookup", "--json", "顺丰速运"} + numbers(20), {},
                            server->Url("/mixed"));
  head.join();
  EXPECT_EQ(run.exitCode, 141);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(jsonLines(QString::fromUtf8(firstLine)).value(0)["status"].toString(), "found")
      << firstLine.toStdString();
  EXPECT_LT(server->Hits("/mixed/chaxun") - before, 20);
}

// Standard output closed or open only for reading is found before anything
// else: the first file the program opened would otherwise get descriptor 1.
TEST_F(Lookups, AStandardOutputThatCannotBeWrittenLooksNothingUp) {
  const struct {
    const char* what;
    std::function<void()> inChild;
  } cases[] = {
      {"closed", [] { close(STDOUT_FILENO); }},
      {"read-only", [] { dup2(open("/dev/null", O_RDONLY), STDOUT_FILENO); }},
  };
  for (const auto& [what, inChild] : cases) {
    SCOPED_TRACE(what);
    setUpProcess = [&inChild](QProcess& process) { process.setChildProcessModifier(inChild); };
    const int before = server->Hits("/mixed/chaxun");
    const Result run = lookUp({"--lookup", "顺丰速运", "SF1"}, {}, server->Url("/mixed"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "courier-query：无法写出结果（标准输出已关闭或不可写入），一个单号也没有查询\n");
    EXPECT_EQ(server->Hits("/mixed/chaxun") - before, 0);
  }
}

// The readable output shows what a terminal would act on as escapes, in
// the result and in a number read from standard input; --json carries the
// text exactly, with the same characters escaped the JSON way.
TEST_F(Lookups, ControlCharactersReachNoTerminal) {
  const QByteArray number = "SF\x1b[2J1\x07\n";
  const auto expectNoneRaw = [](const QString& out) {
    for (const char16_t raw : {u'\x1b', u'\x07', u'\x9b', u'\u202e', u'\u202c'})
      EXPECT_FALSE(out.contains(QChar(raw))) << int(raw) << " in " << out.toStdString();
  };
  const Result text = lookUp({"--lookup", "顺丰速运", "-"}, number, server->Url("/controls"));
  EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
  expectNoneRaw(text.out);
  EXPECT_EQ(text.out,
            "顺丰速运 SF\\x1b[2J1\\x07：已查到\n"
            "  \\x1b[2J清屏 \\x1b]0;标题\\x07 \\x9b31m红字 \\u202e倒序\\u202c\n"
            "\n");

  const Result json =
      lookUp({"--lookup", "--json", "顺丰速运", "-"}, number, server->Url("/controls"));
  expectNoneRaw(json.out);
  const QList<QJsonObject> lines = jsonLines(json.out);
  ASSERT_EQ(lines.size(), 1) << json.out.toStdString();
  EXPECT_EQ(lines[0]["number"].toString(), QString::fromUtf8(number.chopped(1)));
  EXPECT_EQ(lines[0]["text"].toString(), QString::fromUtf8("\x1b[2J清屏 \x1b]0;标题\x07 \xc2\x9b"
                                                           "31m红字 \xe2\x80\xae倒序\xe2\x80\xac"));
}

TEST_F(Lookups, UsageErrorsExitWithTwoAndTheUsageOnStandardError) {
  const struct {
    QStringList arguments;
    QByteArray input;
    QString error;
  } cases[] = {
      {{"--lookup", "不存在的快递", kFound},
       {},
       "courier-query：目录中没有快递公司“不存在的快递”\n"},
      {{"--lookup", "坏\x1b[2J\u202e", kFound},
       {},
       "courier-query：目录中没有快递公司“坏\\x1b[2J\\u202e”\n"},
      {{"--lookup", "顺丰速运"}, {}, "courier-query：没有要查询的单号\n"},
      {{"--lookup", "顺丰速运", "-"}, {}, "courier-query：没有要查询的单号\n"},
      {{"--lookup"}, {}, "courier-query：缺少快递公司\n"},
      {{"--lookup", "顺丰速运", "--bad", kFound}, {}, "courier-query：未知的选项 --bad\n"},
  };
  for (const auto& [arguments, input, error] : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const Result run = lookUp(arguments, input);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.contains(error + "用法：\n")) << run.err.toStdString();
  }
}

TEST_F(Lookups, MissingCatalogueIsAUsageError) {
  const QString program = dir.filePath("courier-query");
  ASSERT_TRUE(QFile::copy(COURIER_QUERY_BINARY, program));
  const Result run = lookUp({"--lookup", "顺丰速运", kFound}, {}, service->base(), program);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(
      run.err.contains("courier-query：MSVBVM60.ocx 文件丢失！无法启动，请重新下载！\n"
                       "用法：\n"))
      << run.err.toStdString();
}

// A line of 10 MB read from standard input would make an address longer
// than the engine loads: it is refused at once as an invalid number, however
// long the time limit, and the next number is still looked up.
TEST_F(Lookups, ANumberTooLongForAnAddressIsRefusedAtOnce) {
  extraEnv = {{"COURIER_QUERY_TIMEOUT_MS", "600000"}};
  const QByteArray huge(10 * 1024 * 1024, '7');
  const Result run =
      lookUp({"--lookup", "--json", "顺丰速运", "-"}, huge + "\n" + kFound.toUtf8() + "\n");
  EXPECT_EQ(run.exitCode, 1);
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
  EXPECT_EQ(lines[0]["status"].toString(), "invalid-number");
  EXPECT_EQ(lines[1]["status"].toString(), "found");
}

// `auto` looks each number up with the courier whose format it matches in
// the shipped formats file, several couriers in one run.
TEST_F(Lookups, AutoLooksEachNumberUpWithItsOwnCourier) {
  const Result run =
      lookUp({"--lookup", "--json", "auto", kFound, "-"}, "YT1919210351806\nEJ974711152CN\n");
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QList<QJsonObject> lines = jsonLines(run.out);
  ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
  const QStringList couriers = {"顺丰速运", "圆通快递", "EMS"};
  const QStringList codes = {"shunfeng", "yuantong", "ems"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i]["courier"].toString(), couriers[i]);
    EXPECT_EQ(lines[i]["code"].toString(), codes[i]);
    EXPECT_EQ(lines[i]["status"].toString(), "found");
  }
}

// A number without its one courier is found before anything is looked up:
// the run is a usage error that names it, with nothing on standard output.
// The copied program reads the formats file the test puts beside it.
TEST_F(Lookups, AutoWithoutOneCourierPerNumberIsAUsageError) {
  const QString program = dir.filePath("courier-query");
  const QString builtFolder = QFileInfo(COURIER_QUERY_BINARY).absolutePath();
  ASSERT_TRUE(QFile::copy(COURIER_QUERY_BINARY, program));
  ASSERT_TRUE(QFile::copy(builtFolder + "/MSVBVM60.ocx", dir.filePath("MSVBVM60.ocx")));
  const auto writeFormats = [&](const QByteArray& text) {
    QFile file(dir.filePath("number-formats.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  };
  const auto expectUsageError = [&](const QString& program, const QString& error) {
    const Result run = lookUp({"--lookup", "auto", kFound, "-"}, "EJ974711152CN\n12345\n",
                              service->base(), program);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.contains(error)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("用法：\n")) << run.err.toStdString();
  };
  {
    SCOPED_TRACE("the shipped formats: no courier for one number");
    expectUsageError(COURIER_QUERY_BINARY,
                     "courier-query：无法按单号格式确定快递公司，请在 --lookup 后写出快递公司：\n"
                     "  单号“12345”与哪家快递公司的单号格式都不相符\n"
                     "用法：");
  }
  {
    SCOPED_TRACE("two couriers for one number");
    writeFormats(
        "shunfeng SF\\d{13}\n"
        "ems E[A-Z]\\d{9}[A-Z]{2} s10\n"
        "youzhengguonei [CE][A-Z]\\d{9}[A-Z]{2} s10\n");
    expectUsageError(program,
                     "  单号“EJ974711152CN”与多家快递公司的单号格式相符：EMS（ems）、"
                     "邮政包裹（youzhengguonei）\n"
                     "  单号“12345”与哪家快递公司的单号格式都不相符\n");
  }
  {
    SCOPED_TRACE("no formats file");
    ASSERT_TRUE(QFile::remove(dir.filePath("number-formats.txt")));
    expectUsageError(program, "number-formats.txt 不存在，无法按单号格式确定快递公司\n");
  }
}

TEST_F(Lookups, HelpAndVersionPrintAndExit) {
  const Result help = lookUp({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.startsWith("用法：\n"));
  EXPECT_TRUE(help.out.contains("--lookup"));
  EXPECT_TRUE(help.out.contains("退出状态"));
  for (const char* named : {"COURIER_QUERY_SERVICE", "courier-query/courier-query.conf",
                            "Service=", "/etc/xdg", "COURIER_QUERY_DEBUG"})
    EXPECT_TRUE(help.out.contains(named)) << named;
  EXPECT_EQ(help.err, "");

  const Result version = lookUp({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "courier-query " COURIER_QUERY_VERSION "\n");
}

}  // namespace

// The built courier-query-service executable: its commands, settings and
// options, serving on loopback, stopping on SIGTERM, and events that survive
// the end of the process. The database is SQLite, or PostgreSQL when the
// suite runs against it (see TestDatabase.h).
#include "ServiceProcess.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <regex>
#include <thread>

#include <sys/stat.h>

namespace {

constexpr int kWaitMs = 30000;
constexpr const char* kToken = "pr0gram-t0ken-0f-a-sh0p";

struct Run {
  int exitCode = -1;
  std::string out;
  std::string err;
};

Run runToEnd(const QStringList& arguments) {
  QProcess process;
  process.start(SERVICE_BINARY, arguments);
  EXPECT_TRUE(process.waitForFinished(kWaitMs)) << arguments.join(' ').toStdString();
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

std::string writeFile(const QString& path, const std::string& text, mode_t mode = 0644) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
  chmod(path.toUtf8().constData(), mode);
  return path.toStdString();
}

httplib::Client clientOf(const ServiceProcess& service) {
  httplib::Client http("127.0.0.1", service.port());
  http.set_url_encode(false);
  return http;
}

httplib::Result postEvent(const ServiceProcess& service, const std::string& body) {
  return clientOf(service).Post("/api/events", {{"Authorization", std::string("Bearer ") + kToken}},
                                body, "application/json");
}

bool hasResult(const ServiceProcess& service, const std::string& target) {
  const auto result = clientOf(service).Get(target);
  return result && result->status == 200 &&
         result->body.find("id=\"queryResult2\"") != std::string::npos;
}

class ServiceProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    tokenFile =
        writeFile(QString::fromStdString(folder() + "/tokens"), std::string(kToken) + "\n", 0600);
  }

  std::string folder() const { return database.folder().toStdString(); }
  QString databaseArgument() const { return QString::fromStdString(database.address()); }

  // The service on a free port with the test's database and token file.
  std::unique_ptr<ServiceProcess> start(std::vector<std::string> extra = {}) {
    auto service = startOrFail(std::move(extra));
    EXPECT_GT(service->port(), 0) << service->log();
    return service;
  }
  std::unique_ptr<ServiceProcess> startOrFail(std::vector<std::string> extra = {}) {
    std::vector<std::string> arguments = {
        "--config",   "/dev/null",        "--port",       "0",
        "--database", database.address(), "--token-file", tokenFile};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return std::make_unique<ServiceProcess>(SERVICE_BINARY, arguments);
  }

  TestDatabase database;
  std::string tokenFile;
};

TEST_F(ServiceProgram, ServesImportedEventsAndStopsOnSigterm) {
  const auto data =
      writeFile(database.folder() + "/data.csv", "jd,JD 7&8,2026-12-01 08:00,北京市,已揽收\n");
  const auto imported = runToEnd({"import", QString::fromStdString(data), "--config", "/dev/null",
                                  "--database", databaseArgument()});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_EQ(imported.out, data + ": 1 event added, 0 already stored\n");

  auto service = start();
  ASSERT_GT(service->port(), 0);
  const auto result = clientOf(*service).Get("/chaxun?com=jd&nu=JD%207%268");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_NE(result->body.find("id=\"queryResult2\">2026-12-01 08:00  北京市  已揽收<"),
            std::string::npos);
  EXPECT_TRUE(service->waitForLog("GET /chaxun?com=jd&nu=JD%207%268 200\n"));

  EXPECT_EQ(service->stop(SIGTERM), 0);
  const auto log = service->log();
  EXPECT_TRUE(std::regex_search(log, std::regex(R"(\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d GET )"
                                                R"(/chaxun\?com=jd&nu=JD%207%268 200\n)")))
      << log;
  EXPECT_NE(log.find("1 token from " + tokenFile + " may send events"), std::string::npos) << log;
  EXPECT_NE(log.find("courier-query-service: stopped by signal 15\n"), std::string::npos) << log;
}

// Each of the requests that come at once is answered, and none sooner than
// the delay after it was sent.
TEST_F(ServiceProgram, ADelayHoldsEveryAnswer) {
  constexpr auto kDelay = std::chrono::milliseconds(400);
  auto service = start({"--delay-ms", std::to_string(kDelay.count())});
  ASSERT_GT(service->port(), 0);
  std::vector<std::thread> clients;
  std::vector<std::chrono::steady_clock::duration> took(4);
  for (auto& time : took) {
    clients.emplace_back([&service, &time] {
      const auto sent = std::chrono::steady_clock::now();
      EXPECT_EQ(clientOf(*service).Get("/healthz")->status, 200);
      time = std::chrono::steady_clock::now() - sent;
    });
  }
  for (auto& client : clients) client.join();
  for (const auto& time : took) EXPECT_GE(time, kDelay);
}

TEST_F(ServiceProgram, SeedsOnlyAFreshDatabase) {
  auto service = start({"--seed", SERVICE_SAMPLE_DATA});
  EXPECT_NE(service->log().find("events from " SERVICE_SAMPLE_DATA), std::string::npos);
  EXPECT_TRUE(hasResult(*service, "/chaxun?com=yuantong&nu=AB%26123"));
  const auto posted = postEvent(
      *service,
      R"({"com":"yuantong","nu":"AB&123","time":"2026-12-31 23:59","place":"北京市","status":"已退回"})");
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->status, 201);
  EXPECT_EQ(service->stop(), 0);

  service = start({"--seed", SERVICE_SAMPLE_DATA});
  EXPECT_EQ(service->log().find("imported"), std::string::npos) << service->log();
  EXPECT_NE(clientOf(*service).Get("/chaxun?com=yuantong&nu=AB%26123")->body.find("已退回"),
            std::string::npos);
}

// Each answer 201 is followed at once by the end of the process, with no
// chance to finish anything; a new process on the same database finds every
// event that was answered so.
TEST_F(ServiceProgram, AnsweredEventsSurviveAKillRightAfterTheAnswer) {
  for (int round = 0; round < 5; ++round) {
    auto service = start();
    ASSERT_GT(service->port(), 0);
    const std::string number = "K" + std::to_string(round);
    const auto posted = postEvent(*service, R"({"com":"jd","nu":")" + number +
                                                R"(","time":"2026-12-01 08:00","place":"北京市",)"
                                                R"("status":"已揽收","id":"k"})");
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->status, 201);
    EXPECT_EQ(service->stop(SIGKILL), 128 + SIGKILL);
  }
  auto service = start();
  for (int round = 0; round < 5; ++round) {
    EXPECT_TRUE(hasResult(*service, "/chaxun?com=jd&nu=K" + std::to_string(round))) << round;
  }
}

TEST_F(ServiceProgram, ReadsItsSettingsFileAndImportUsesItsDatabase) {
  const QString config = database.folder() + "/service.conf";
  // The file names the database and the tokens relative to its own folder;
  // with SQLite, the database lies there too.
  const std::string databaseSetting =
      TestDatabase::postgresql() ? database.address() : "events.sqlite";
  writeFile(config, "# the test's service\nListen=127.0.0.1:0\nDatabase=" + databaseSetting +
                        "\nTokenFile=tokens\nThreads=2\n");
  const auto data =
      writeFile(database.folder() + "/data.tsv", "jd\tJD1\t2026-12-01 08:00\t北京市\t已揽收\n");
  const auto imported = runToEnd({"import", QString::fromStdString(data), "--config", config});
  EXPECT_EQ(imported.exitCode, 0) << imported.err;

  ServiceProcess service(SERVICE_BINARY, {"--config", config.toStdString()});
  ASSERT_GT(service.port(), 0) << service.log();
  EXPECT_TRUE(hasResult(service, "/chaxun?com=jd&nu=JD1"));
  const auto posted = postEvent(
      service,
      R"({"com":"jd","nu":"JD1","time":"2026-12-01 09:00","place":"北京市","status":"运输中"})");
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->status, 201);
  if (!TestDatabase::postgresql()) {
    EXPECT_NE(service.log().find("SQLite database " + folder() + "/events.sqlite"),
              std::string::npos)
        << service.log();
  }
}

TEST_F(ServiceProgram, ImportOfAFaultyFileNamesTheLineAndImportsNothing) {
  const auto bad =
      writeFile(database.folder() + "/bad.tsv",
                "# fine\nems\tE1\t2026-12-01 08:00\t北京市\t已揽收\nems\tE1\t2026-12-01\n");
  const auto run = runToEnd({"import", QString::fromStdString(bad), "--config", "/dev/null",
                             "--database", databaseArgument()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "courier-query-service: " + bad +
                         ":3: expected 5 fields separated by tabs (code, number, time, place, "
                         "status), found 3; nothing was imported\n");
  auto service = start();
  EXPECT_FALSE(hasResult(*service, "/chaxun?com=ems&nu=E1"));
}

TEST_F(ServiceProgram, RefusesATokenFileOthersMayRead) {
  chmod(tokenFile.c_str(), 0644);
  auto service = startOrFail();
  EXPECT_EQ(service->port(), 0);
  EXPECT_EQ(service->stop(), 1);
  EXPECT_NE(service->log().find(tokenFile + ": its group or others may read or change it"),
            std::string::npos)
      << service->log();
}

TEST(ServiceCommandLine, FailsClearlyOnBadOptionsSettingsAndBusyPort) {
  QTemporaryDir dir;
  const QString database = dir.filePath("events.sqlite");
  const QString badConfig = dir.filePath("bad.conf");
  writeFile(badConfig, "Listen=127.0.0.1:8765\nPort=1\n");
  httplib::Server occupant;
  const int busyPort = occupant.bind_to_any_port("127.0.0.1");
  ASSERT_GT(busyPort, 0);

  const struct {
    QStringList arguments;
    int exitCode;
    std::string message;
  } cases[] = {
      {{"--bogus"}, 2, "unknown option \"--bogus\""},
      {{"--port"}, 2, "--port needs a value"},
      {{"--port", "http"}, 2, "bad port \"http\""},
      {{"--port", "65536"}, 2, "bad port \"65536\""},
      {{"import"}, 2, "import needs the FILE to import"},
      {{"--config", dir.filePath("missing.conf")}, 1, "missing.conf: cannot read the file"},
      {{"--config", badConfig}, 1, "bad.conf:2: unknown key \"Port\""},
      {{"--config", "/dev/null", "--database", dir.filePath("no/such/folder.sqlite")},
       1,
       "cannot open the SQLite database " + dir.filePath("no/such/folder.sqlite").toStdString()},
      {{"--config", "/dev/null", "--database", ":memory:"}, 1, "name a file"},
      {{"--config", "/dev/null", "--database", "postgresql://h/d?nosuchkey=1"},
       1,
       "bad PostgreSQL address"},
      {{"--config", "/dev/null", "--database", database, "--token-file", dir.filePath("none")},
       1,
       "none: cannot read the file"},
      {{"--config", "/dev/null", "--database", database, "--seed", dir.filePath("none.tsv")},
       1,
       "none.tsv: cannot read the file"},
      {{"--config", "/dev/null", "--database", database, "--port", QString::number(busyPort)},
       1,
       "cannot listen on http://127.0.0.1:" + std::to_string(busyPort)},
  };
  for (const auto& c : cases) {
    const auto run = runToEnd(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    if (c.exitCode == 2) {
      EXPECT_NE(run.err.find("usage: courier-query-service"), std::string::npos) << c.message;
    }
  }
  const auto help = runToEnd({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--token-file FILE"), std::string::npos);
  EXPECT_NE(help.out.find("import FILE"), std::string::npos);
}

}  // namespace

// The built tracking-service executable: options, data file faults, serving
// on loopback and stopping on SIGTERM.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fstream>
#include <regex>

namespace {

constexpr int kWaitMs = 30000;

struct Run {
  int exitCode = -1;
  std::string out;
  std::string err;
};

Run runToEnd(const QStringList& arguments) {
  QProcess process;
  process.start(TRACKING_SERVICE_BINARY, arguments);
  EXPECT_TRUE(process.waitForFinished(kWaitMs)) << arguments.join(' ').toStdString();
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

// Starts the service and waits for its start-up line; returns the port it
// listens on, or 0 when it ended or said nothing in time.
int startService(QProcess& process, const QStringList& arguments, std::string& err) {
  process.setReadChannel(QProcess::StandardError);
  process.start(TRACKING_SERVICE_BINARY, arguments);
  const QRegularExpression listening("listening on http://127\\.0\\.0\\.1:(\\d+)");
  while (process.waitForReadyRead(kWaitMs)) {
    err += process.readAllStandardError().toStdString();
    const auto match = listening.match(QString::fromStdString(err));
    if (match.hasMatch()) return match.captured(1).toInt();
  }
  return 0;
}

void writeFile(const QString& path, const std::string& text) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
}

TEST(TrackingServiceProgram, ServesDataFileOnChosenPortAndStopsOnSigterm) {
  QTemporaryDir dir;
  const QString data = dir.filePath("data.tsv");
  writeFile(data, "jd\tJD 7&8\t2026-12-01 08:00\t北京市\t已揽收\n");
  QProcess process;
  std::string err;
  const int port = startService(process, {"--port", "0", "--data", data}, err);
  ASSERT_GT(port, 0) << err;

  httplib::Client http("127.0.0.1", port);
  http.set_url_encode(false);
  const auto result = http.Get("/chaxun?com=jd&nu=JD%207%268");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 200);
  EXPECT_NE(result->body.find("id=\"queryResult2\">2026-12-01 08:00  北京市  已揽收<"),
            std::string::npos);

  process.terminate();
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  err += process.readAllStandardError().toStdString();
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0) << err;
  EXPECT_TRUE(std::regex_search(err, std::regex(R"(\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d GET )"
                                                R"(/chaxun\?com=jd&nu=JD%207%268 200\n)")))
      << err;
}

TEST(TrackingServiceProgram, ReadsSampleDataBesideItselfByDefault) {
  QProcess process;
  std::string err;
  const int port = startService(process, {"--port", "0"}, err);
  ASSERT_GT(port, 0) << err;
  httplib::Client http("127.0.0.1", port);
  http.set_url_encode(false);
  const auto result = http.Get("/chaxun?com=yuantong&nu=AB%26123");
  ASSERT_TRUE(result);
  EXPECT_NE(result->body.find("id=\"queryResult2\""), std::string::npos);
  process.terminate();
  ASSERT_TRUE(process.waitForFinished(kWaitMs));
  EXPECT_EQ(process.exitCode(), 0);
}

TEST(TrackingServiceProgram, FailsClearlyOnBadOptionsDataAndBusyPort) {
  QTemporaryDir dir;
  const QString bad = dir.filePath("bad.tsv");
  writeFile(bad, "# fine\nems\tE1\t2026-12-01 08:00\t北京市\t已揽收\nems\tE1\t2026-12-01\n");
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
      {{"--data", dir.filePath("missing.tsv")}, 1, "missing.tsv: cannot read the file"},
      {{"--data", bad}, 1, "bad.tsv:3: expected 5 tab-separated fields"},
      {{"--port", QString::number(busyPort), "--data", TRACKING_SERVICE_SAMPLE_DATA},
       1,
       "cannot listen on http://127.0.0.1:" + std::to_string(busyPort)},
  };
  for (const auto& c : cases) {
    const auto run = runToEnd(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  const auto help = runToEnd({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--data FILE"), std::string::npos);
}

}  // namespace

// The tracking service at scale: 100,000 shipments of 10 events each. The
// import of all 1,000,000 events, then GET /chaxun for random shipments with
// 1, 8 and 64 concurrent kept-alive clients (wrk), against the service on
// SQLite, on PostgreSQL and against the in-memory table of before
// (bench-memory-service) as the baseline, all in one run, each service
// warmed up first; then once more while events arrive over POST /api/events
// at 1,000 a second. Besides wrk's figures, each run reports the service's
// own processor time per request and the machine's load average.
//
// PostgreSQL is measured when libpq's environment names a server, as inside
//   pg_virtualenv build/bench/bench_service
// COURIER_QUERY_BENCH_SECONDS sets the length of each wrk run (default 10).
#include "ServiceProcess.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <optional>

#include <unistd.h>

namespace {

constexpr int kShipments = 100000;
constexpr int kEventsPerShipment = 10;
constexpr int kThreads = 64;
// Events over HTTP: a request of kEventsPerPost events every kPostPeriodMs.
constexpr int kEventsPerPost = 10;
constexpr int kPostPeriodMs = 10;
const char* const kCodes[] = {"shunfeng", "yuantong", "zhongtong", "shentong", "yunda", "ems",
                              "jd",       "debang",   "tiantian",  "huitong",  "zjs",   "youzheng"};
constexpr int kCodeCount = int(std::size(kCodes));
constexpr const char* kToken = "bench-t0ken-of-the-service";

const char* const kPlaces[] = {"广东省 深圳市南山区", "深圳转运中心",          "武汉转运中心",
                               "上海转运中心",        "上海市 浦东新区营业部", "北京市 朝阳区"};
const char* const kStatuses[] = {
    "已揽收，揽收员：王师傅",      "已发出，下一站 武汉转运中心", "已到达",
    "已发出，下一站 上海转运中心", "派送中，快递员：陈师傅",      "已签收，签收人：本人"};

std::string numberOf(int shipment) {
  char number[16];
  std::snprintf(number, sizeof number, "CQ%010d", shipment);
  return number;
}

struct Run {
  QTemporaryDir folder;
  std::string data;                                                 // the TSV file of all events
  std::map<std::string, std::unique_ptr<ServiceProcess>> services;  // by backend
  std::map<int, double> baseline;  // the in-memory table's requests per second, by clients
  bool postgresql = false;
};
Run* run = nullptr;

std::string path(const char* name) {
  return run->folder.filePath(name).toStdString();
}

void writeData() {
  std::ofstream out(run->data, std::ios::binary);
  for (int s = 0; s < kShipments; ++s) {
    const std::string prefix = std::string(kCodes[s % kCodeCount]) + '\t' + numberOf(s) + '\t';
    for (int e = 0; e < kEventsPerShipment; ++e) {
      char time[20];
      std::snprintf(time, sizeof time, "2026-%02d-%02d %02d:%02d", 1 + s % 12, 1 + e, e * 2,
                    s % 60);
      out << prefix << time << '\t' << kPlaces[e % 6] << '\t' << kStatuses[e % 6] << e << '\n';
    }
  }
}

// wrk's script: each request asks for a random shipment of the data.
void writeScript() {
  std::ofstream out(path("random.lua"));
  out << "local codes = {";
  for (const char* code : kCodes) out << '"' << code << "\",";
  out << "}\nmath.randomseed(7)\n"
         "request = function()\n"
         "  local i = math.random(0, "
      << kShipments - 1
      << ")\n"
         "  return wrk.format(\"GET\", string.format(\"/chaxun?com=%s&nu=CQ%010d\", "
         "codes[i % #codes + 1], i))\n"
         "end\n";
}

// The processor time the process `pid` has used so far, in microseconds.
double processorMicroseconds(pid_t pid) {
  QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return 0;
  // The fields after the command's name, which ends in the last ')'.
  const QByteArray stat = file.readAll();
  const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
  const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();  // utime, stime
  return ticks * 1e6 / double(sysconf(_SC_CLK_TCK));
}

double loadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

// Runs `program` to its end in the event loop; its standard output, or
// nothing when it failed.
std::optional<QByteArray> runProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
  process.start(program, arguments);
  loop.exec();
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return std::nullopt;
  return process.readAllStandardOutput();
}

std::string databaseOf(const std::string& backend) {
  return backend == "sqlite" ? path("events.sqlite") : "postgresql://";
}

void BM_Import(benchmark::State& state, const std::string& backend) {
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    const auto done = runProgram(
        SERVICE_BINARY, {"import", QString::fromStdString(run->data), "--config", "/dev/null",
                         "--database", QString::fromStdString(databaseOf(backend))});
    if (!done) return state.SkipWithError("the import failed");
    state.SetIterationTime(timer.nsecsElapsed() / 1e9);
  }
  state.counters["events"] = kShipments * kEventsPerShipment;
  state.counters["load1"] = loadAverage();
}

bool startServices() {
  std::ofstream(path("tokens")) << kToken << '\n';
  QFile::setPermissions(QString::fromStdString(path("tokens")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  run->services["memory"] = std::make_unique<ServiceProcess>(
      MEMORY_SERVICE_BINARY, std::vector<std::string>{run->data, std::to_string(kThreads)});
  for (const std::string backend : {"sqlite", "postgresql"}) {
    if (backend == "postgresql" && !run->postgresql) continue;
    run->services[backend] = std::make_unique<ServiceProcess>(
        SERVICE_BINARY,
        std::vector<std::string>{"--config", "/dev/null", "--port", "0", "--database",
                                 databaseOf(backend), "--token-file", path("tokens"), "--threads",
                                 std::to_string(kThreads)});
  }
  for (const auto& [backend, service] : run->services) {
    if (service->port() == 0) {
      std::fprintf(stderr, "the %s service did not start: %s\n", backend.c_str(),
                   service->log().c_str());
      return false;
    }
  }
  return true;
}

struct WrkFigures {
  double requests = 0;
  double requestsPerSecond = 0;
  double p50Ms = 0;
  double p99Ms = 0;
  double errors = 0;
};

double milliseconds(const QString& value, const QString& unit) {
  const double number = value.toDouble();
  return unit == "us" ? number / 1000 : unit == "s" ? number * 1000 : number;
}

std::optional<WrkFigures> runWrk(const ServiceProcess& service, int clients, int seconds) {
  const auto output = runProgram(
      QStringLiteral("wrk"),
      {"-t", QString::number(std::min(clients, 2)), "-c", QString::number(clients), "-d",
       QString::number(seconds) + "s", "--latency", "-s",
       QString::fromStdString(path("random.lua")), QString::fromStdString(service.base())});
  if (!output) return std::nullopt;
  const QString text = QString::fromUtf8(*output);
  WrkFigures figures;
  const auto rate = QRegularExpression(R"(Requests/sec:\s+([\d.]+))").match(text);
  const auto p50 = QRegularExpression(R"(\n\s+50%\s+([\d.]+)(us|ms|s)\n)").match(text);
  const auto p99 = QRegularExpression(R"(\n\s+99%\s+([\d.]+)(us|ms|s)\n)").match(text);
  if (!rate.hasMatch() || !p50.hasMatch() || !p99.hasMatch()) return std::nullopt;
  figures.requestsPerSecond = rate.captured(1).toDouble();
  figures.requests = QRegularExpression(R"((\d+) requests in)").match(text).captured(1).toDouble();
  figures.p50Ms = milliseconds(p50.captured(1), p50.captured(2));
  figures.p99Ms = milliseconds(p99.captured(1), p99.captured(2));
  const auto errors = QRegularExpression(R"(Non-2xx or 3xx responses:\s+(\d+))").match(text);
  if (errors.hasMatch()) figures.errors = errors.captured(1).toDouble();
  const auto socketErrors = QRegularExpression(R"(Socket errors:.*timeout (\d+))").match(text);
  if (socketErrors.hasMatch()) figures.errors += socketErrors.captured(1).toDouble();
  return figures;
}

int wrkSeconds() {
  const int seconds = qEnvironmentVariableIntValue("COURIER_QUERY_BENCH_SECONDS");
  return seconds > 0 ? seconds : 10;
}

// Sends kEventsPerPost new events every kPostPeriodMs from the event loop
// while it runs, and keeps the latency of each answer.
class Poster : public QObject {
 public:
  explicit Poster(const ServiceProcess& service)
      : address_(QString::fromStdString(service.base()) + "/api/events") {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Poster::post);
    timer_.start(kPostPeriodMs);
    clock_.start();
  }

  double eventsPerSecond() const { return stored_ * kEventsPerPost / (clock_.elapsed() / 1000.0); }
  double failures() const { return failures_; }
  double percentileMs(double fraction) {
    if (latenciesMs_.empty()) return -1;
    std::sort(latenciesMs_.begin(), latenciesMs_.end());
    return latenciesMs_[std::size_t(fraction * double(latenciesMs_.size() - 1))];
  }

 private:
  void post() {
    QByteArray body = "[";
    for (int i = 0; i < kEventsPerPost; ++i, ++next_) {
      const int shipment = int((next_ * 7919) % kShipments);
      body += (i ? "," : "") +
              QStringLiteral(R"({"com":"%1","nu":"%2","time":"2026-12-31 %3:%4",)"
                             R"("place":"上海市 浦东新区","status":"派送中 %5","id":"p%5"})")
                  .arg(kCodes[shipment % kCodeCount])
                  .arg(QString::fromStdString(numberOf(shipment)))
                  .arg(next_ / 60 % 24, 2, 10, QChar('0'))
                  .arg(next_ % 60, 2, 10, QChar('0'))
                  .arg(next_)
                  .toUtf8();
    }
    body += "]";
    QNetworkRequest request{QUrl(address_)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    request.setRawHeader("Authorization", QByteArray("Bearer ") + kToken);
    QElapsedTimer sent;
    sent.start();
    QNetworkReply* reply = network_.post(request, body);
    connect(reply, &QNetworkReply::finished, this, [this, reply, sent] {
      const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
      if (status == 201) {
        ++stored_;
        latenciesMs_.push_back(sent.nsecsElapsed() / 1e6);
      } else {
        ++failures_;
      }
      reply->deleteLater();
    });
  }

  QString address_;
  QNetworkAccessManager network_;
  QTimer timer_;
  QElapsedTimer clock_;
  long long next_ = 0;
  long long stored_ = 0;
  long long failures_ = 0;
  std::vector<double> latenciesMs_;
};

// Starts the services on the databases the imports filled, and warms each up
// with a run of 64 clients that is not measured: every request thread's
// database connection has read before, as in a service that has run a while.
bool startAndWarmUpServices() {
  if (!startServices()) return false;
  for (const auto& [backend, service] : run->services) {
    if (!runWrk(*service, 64, wrkSeconds())) return false;
  }
  return true;
}

void BM_Query(benchmark::State& state, const std::string& backend, int clients, bool posting) {
  if (run->services.empty() && !startAndWarmUpServices()) {
    return state.SkipWithError("no services");
  }
  const auto found = run->services.find(backend);
  if (found == run->services.end()) return state.SkipWithError("no such service in this run");
  std::optional<WrkFigures> figures;
  std::unique_ptr<Poster> poster;
  const double loadBefore = loadAverage();
  double processor = 0;
  for (auto _ : state) {
    if (posting) poster = std::make_unique<Poster>(*found->second);
    const double before = processorMicroseconds(found->second->pid());
    figures = runWrk(*found->second, clients, wrkSeconds());
    processor = processorMicroseconds(found->second->pid()) - before;
    if (!figures) return state.SkipWithError("wrk failed");
    state.SetIterationTime(wrkSeconds());
  }
  // The service's own processor time per request (PostgreSQL's server
  // processes not counted): what the load of the machine changes least.
  state.counters["cpu_us_per_request"] = processor / std::max(1.0, figures->requests);
  state.counters["rps"] = figures->requestsPerSecond;
  state.counters["p50_ms"] = figures->p50Ms;
  state.counters["p99_ms"] = figures->p99Ms;
  state.counters["errors"] = figures->errors;
  if (backend == "memory" && !posting) run->baseline[clients] = figures->requestsPerSecond;
  if (run->baseline.contains(clients)) {
    state.counters["vs_memory"] = figures->requestsPerSecond / run->baseline[clients];
  }
  if (poster) {
    state.counters["posted_per_s"] = poster->eventsPerSecond();
    state.counters["post_p50_ms"] = poster->percentileMs(0.5);
    state.counters["post_p99_ms"] = poster->percentileMs(0.99);
    state.counters["post_failures"] = poster->failures();
  }
  state.counters["load1"] = (loadBefore + loadAverage()) / 2;
}

void registerBenchmarks() {
  std::vector<std::string> backends = {"sqlite"};
  if (run->postgresql) backends.push_back("postgresql");
  for (const auto& backend : backends) {
    benchmark::RegisterBenchmark(("BM_Import/" + backend).c_str(), BM_Import, backend)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
  }
  // By client count first, so that each backend's figures are measured right
  // after the baseline's, under much the same load of the machine.
  const auto query = [](const std::string& prefix, const std::string& backend, int clients,
                        bool posting) {
    const std::string name = prefix + "/" + backend + "/" + std::to_string(clients);
    benchmark::RegisterBenchmark(name.c_str(), BM_Query, backend, clients, posting)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
  };
  for (int clients : {1, 8, 64}) {
    query("BM_Query", "memory", clients, false);
    for (const auto& backend : backends) query("BM_Query", backend, clients, false);
  }
  for (int clients : {1, 8, 64}) {
    for (const auto& backend : backends) query("BM_QueryWhilePosting", backend, clients, true);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Run state;
  run = &state;
  state.data = path("events.tsv");
  state.postgresql = qEnvironmentVariableIsSet("PGHOST");
  if (!state.postgresql) std::fprintf(stderr, "no PostgreSQL server named by PGHOST: skipped\n");
  writeData();
  writeScript();
  registerBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

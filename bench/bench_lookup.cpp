// Lookups from the command line: the program run with --lookup and N numbers
// on its standard input against the reference tracking service (its own
// process), beside curl fetching the same N addresses in one process, which
// keeps its connection alive, and beside bare-page, which loads them one
// after another in a bare engine page and reads each result: what a document
// load in the engine costs at least. Each is timed from its start to its end,
// with one number and with a hundred: the difference is the cost of 99
// further lookups once the program (or curl) has started.
#include "Query.h"
#include "ReferenceService.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

const QString kCode = QStringLiteral("yuantong");
constexpr int kMany = 100;
constexpr int kRunBoundMs = 300000;

ReferenceService* service = nullptr;
// The seconds of every run, by name and number count.
std::map<std::pair<std::string, int>, std::vector<double>> times;

// The courier's numbers in the service's sample data, then made-up numbers
// of the same shape (the service answers those with its no-record page),
// `count` in all, each once.
QStringList Numbers(int count) {
  QStringList numbers;
  QFile data(QStringLiteral(COURIER_QUERY_SHIPMENTS));
  if (data.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : data.readAll().split('\n')) {
      const QList<QByteArray> fields = line.split('\t');
      const QString number = fields.size() > 1 ? QString::fromUtf8(fields[1]) : QString();
      if (fields[0] == kCode.toUtf8() && !numbers.contains(number)) numbers += number;
    }
  }
  for (int n = 0; numbers.size() < count; ++n)
    numbers += QStringLiteral("YT90000000%1").arg(n, 5, 10, QLatin1Char('0'));
  return numbers.mid(0, count);
}

// Runs `program` to its end, with the service's address in its environment,
// `input` on its standard input and its output kept; seconds from its start to its end, or -1 when
// it did not end with one of `exitCodes` or wrote fewer than `lines` lines. The wait is an event
// loop that the process's end quits.
double TimedRun(const QString& program, const QStringList& arguments, const QByteArray& input,
                std::initializer_list<int> exitCodes, int lines) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("COURIER_QUERY_SERVICE"), service->base());
  process.setProcessEnvironment(env);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(kRunBoundMs, &loop, &QEventLoop::quit);
  QElapsedTimer timer;
  timer.start();
  process.start(program, arguments);
  process.write(input);
  process.closeWriteChannel();
  loop.exec();
  const double seconds = timer.nsecsElapsed() / 1e9;
  const bool ended =
      process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit &&
      std::find(exitCodes.begin(), exitCodes.end(), process.exitCode()) != exitCodes.end();
  return ended && process.readAllStandardOutput().count('\n') >= lines ? seconds : -1;
}

void Report(benchmark::State& state, const std::string& name, double seconds) {
  if (seconds < 0) return state.SkipWithError("the run failed");
  state.SetIterationTime(seconds);
  times[{name, int(state.range(0))}].push_back(seconds);
}

// One number and many, each run timed as a whole.
void OneAndMany(benchmark::internal::Benchmark* runs) {
  runs->Arg(1)->Arg(kMany)->UseManualTime()->Unit(benchmark::kMillisecond);
}

void BM_Lookup(benchmark::State& state) {
  const int count = int(state.range(0));
  const QByteArray input = Numbers(count).join(QLatin1Char('\n')).toUtf8() + '\n';
  const QStringList arguments = {"--lookup", "--json", kCode, "-"};
  for (auto _ : state)
    Report(state, "lookup",
           TimedRun(QStringLiteral(COURIER_QUERY_BINARY), arguments, input, {0, 1}, count));
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Lookup)->Apply(OneAndMany)->Iterations(3);

// The query addresses of those numbers.
QStringList Addresses(int count) {
  QStringList addresses;
  for (const QString& number : Numbers(count))
    addresses += Query::queryAddress(service->base(), kCode, number);
  return addresses;
}

void BM_Curl(benchmark::State& state) {
  const int count = int(state.range(0));
  const QStringList arguments =
      QStringList{"--silent", "--show-error", "--fail"} + Addresses(count);
  for (auto _ : state) Report(state, "curl", TimedRun("curl", arguments, {}, {0}, 0));
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Curl)->Apply(OneAndMany)->Iterations(10);

void BM_BarePage(benchmark::State& state) {
  const int count = int(state.range(0));
  const QByteArray input = Addresses(count).join(QLatin1Char('\n')).toUtf8() + '\n';
  for (auto _ : state)
    Report(state, "bare page", TimedRun(QStringLiteral(BARE_PAGE_BINARY), {}, input, {0}, count));
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_BarePage)->Apply(OneAndMany)->Iterations(3);

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// Per lookup once started: the time a hundred take beyond the time one takes.
double FurtherLookup(const std::string& name) {
  return (Median(times[{name, kMany}]) - Median(times[{name, 1}])) / (kMany - 1);
}

// Only after a run of all six (a filter may leave some out).
void PrintSummary() {
  if (times.size() < 6) return;
  const double lookup = FurtherLookup("lookup"), bare = FurtherLookup("bare page"),
               curl = FurtherLookup("curl");
  std::printf("\n%d numbers: %.1f lookups/s, bare page %.1f loads/s, curl %.1f fetches/s\n", kMany,
              kMany / Median(times[{"lookup", kMany}]), kMany / Median(times[{"bare page", kMany}]),
              kMany / Median(times[{"curl", kMany}]));
  std::printf("each further number: lookup %.2f ms, bare page %.2f ms, curl %.2f ms\n",
              lookup * 1e3, bare * 1e3, curl * 1e3);
  std::printf("lookup %.1fx curl, bare page %.1fx curl, lookup %.2fx bare page\n", lookup / curl,
              bare / curl, lookup / bare);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  ReferenceService running;
  service = &running;
  if (running.base().isEmpty()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  PrintSummary();
  return 0;
}

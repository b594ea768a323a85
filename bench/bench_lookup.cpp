// Lookups from the command line: the program run with --lookup and N numbers
// on its standard input against the reference tracking service (its own
// process), beside curl fetching the same N addresses in one process, which
// keeps its connection alive, and beside bare-page, which loads them one
// after another in a bare engine page and reads each result: what a document
// load in the engine costs at least. Each is timed from its start to its end,
// with one number and with a hundred: the difference is the cost of 99
// further lookups once the program (or curl) has started.
//
// Then a hundred numbers with --jobs 1, 4 and 8, against the service as it
// is and against one that answers each request 200 ms late (--delay-ms), as
// a far service would, beside curl with the same parallelism (xargs -P, each
// curl keeping its connection alive for its share of the addresses), with
// the memory of the program and of its engine's processes at their peak,
// sampled in the runs against the far service only, where sampling takes
// no time from the lookups (the machine waits for the service).
#include "ProcessMemory.h"
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
#include <string>
#include <tuple>
#include <vector>

namespace {

const QString kCode = QStringLiteral("yuantong");
constexpr int kMany = 100;
constexpr int kRunBoundMs = 300000;

constexpr int kFarDelayMs = 200;
constexpr int kMemorySampleMs = 50;

ReferenceService* service = nullptr;
ReferenceService* farService = nullptr;  // answers kFarDelayMs late
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

// Runs `program` to its end, with `base` as the service's address in its
// environment, `input` on its standard input and its output kept; seconds
// from its start to its end, or -1 when it did not end with one of
// `exitCodes` or wrote fewer than `lines` lines. The wait is an event loop
// that the process's end quits. With `peak`, a timer in that loop keeps the
// largest resident memory of the process and its engine's processes.
double TimedRun(const QString& program, const QStringList& arguments, const QByteArray& input,
                std::initializer_list<int> exitCodes, int lines,
                const QString& base = service->base(), ProcessMemory::Memory* peak = nullptr) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("COURIER_QUERY_SERVICE"), base);
  process.setProcessEnvironment(env);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(kRunBoundMs, &loop, &QEventLoop::quit);
  QTimer sampler;
  if (peak) {
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      const ProcessMemory::Memory now = ProcessMemory::measure(process.processId());
      if (now.program + now.engine > peak->program + peak->engine) *peak = now;
    });
    sampler.start(kMemorySampleMs);
  }
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

QByteArray NumberLines(int count) {
  return Numbers(count).join(QLatin1Char('\n')).toUtf8() + '\n';
}

// One number after another, as the window looks them up.
void BM_Lookup(benchmark::State& state) {
  const int count = int(state.range(0));
  const QByteArray input = NumberLines(count);
  const QStringList arguments = {"--lookup", "--json", "--jobs", "1", kCode, "-"};
  for (auto _ : state)
    Report(state, "lookup",
           TimedRun(QStringLiteral(COURIER_QUERY_BINARY), arguments, input, {0, 1}, count));
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Lookup)->Apply(OneAndMany)->Iterations(3);

// The query addresses of those numbers at the service at `base`.
QStringList Addresses(int count, const QString& base = service->base()) {
  QStringList addresses;
  for (const QString& number : Numbers(count))
    addresses += Query::queryAddress(base, kCode, number);
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

// The batch runs: seconds by what ran, the service's delay and the
// parallelism; peak memory of the program's runs against the far service.
enum class Client { Lookup, Curl };
using Batch = std::tuple<Client, int, int>;
std::map<Batch, std::vector<double>> batchTimes;
std::map<int, ProcessMemory::Memory> batchMemory;  // against the far service, by jobs

const QString& BaseFor(int delayMs) {
  return (delayMs == 0 ? service : farService)->base();
}

void ReportBatch(benchmark::State& state, Client client, double seconds) {
  if (seconds < 0) return state.SkipWithError("the run failed");
  state.SetIterationTime(seconds);
  batchTimes[{client, int(state.range(0)), int(state.range(1))}].push_back(seconds);
}

// A hundred numbers with --jobs N against the service at the delay.
void BM_LookupJobs(benchmark::State& state) {
  const int delayMs = int(state.range(0)), jobs = int(state.range(1));
  const QStringList arguments = {"--lookup", "--json", "--jobs", QString::number(jobs), kCode, "-"};
  ProcessMemory::Memory peak;
  for (auto _ : state)
    ReportBatch(state, Client::Lookup,
                TimedRun(QStringLiteral(COURIER_QUERY_BINARY), arguments, NumberLines(kMany),
                         {0, 1}, kMany, BaseFor(delayMs), delayMs > 0 ? &peak : nullptr));
  state.SetItemsProcessed(state.iterations() * kMany);
  if (delayMs == 0) return;
  batchMemory[jobs] = peak;
  state.counters["program_MiB"] = peak.program / (1 << 20);
  state.counters["engine_MiB"] = peak.engine / (1 << 20);
  state.counters["engine_processes"] = peak.engineProcesses;
  state.counters["pss_MiB"] = peak.proportional / (1 << 20);
  state.counters["private_MiB"] = peak.own / (1 << 20);
}

// The same addresses fetched by N curl processes at once, each with its
// share of them on one kept-alive connection.
void BM_CurlJobs(benchmark::State& state) {
  const int delayMs = int(state.range(0)), jobs = int(state.range(1));
  const QStringList arguments = {"-P",           QString::number(jobs),
                                 "-n",           QString::number((kMany + jobs - 1) / jobs),
                                 "curl",         "--silent",
                                 "--show-error", "--fail"};
  const QByteArray input = Addresses(kMany, BaseFor(delayMs)).join(QLatin1Char('\n')).toUtf8();
  for (auto _ : state)
    ReportBatch(state, Client::Curl,
                TimedRun(QStringLiteral("xargs"), arguments, input, {0}, 0, BaseFor(delayMs)));
  state.SetItemsProcessed(state.iterations() * kMany);
}

void DelaysAndJobs(benchmark::internal::Benchmark* runs) {
  runs->ArgNames({"delay_ms", "jobs"})
      ->ArgsProduct({{0, kFarDelayMs}, {1, 4, 8}})
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
}
BENCHMARK(BM_LookupJobs)->Apply(DelaysAndJobs);
BENCHMARK(BM_CurlJobs)->Apply(DelaysAndJobs);

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// Per lookup once started: the time a hundred take beyond the time one takes.
double FurtherLookup(const std::string& name) {
  return (Median(times[{name, kMany}]) - Median(times[{name, 1}])) / (kMany - 1);
}

// Numbers a second of a batch run, by its median time.
double BatchRate(Client client, int delayMs, int jobs) {
  return kMany / Median(batchTimes[{client, delayMs, jobs}]);
}

// Only after a run of all twelve batch runs.
void PrintBatchSummary() {
  if (batchTimes.size() < 12) return;
  std::printf("\n%d numbers a second (lookup, curl with the same parallelism, their ratio):\n",
              kMany);
  for (const int delayMs : {0, kFarDelayMs}) {
    for (const int jobs : {1, 4, 8}) {
      const double lookup = BatchRate(Client::Lookup, delayMs, jobs),
                   curl = BatchRate(Client::Curl, delayMs, jobs);
      std::printf("  delay %3d ms, %d at once: lookup %6.1f/s, curl %6.1f/s, curl %.2fx lookup\n",
                  delayMs, jobs, lookup, curl, curl / lookup);
    }
  }
  std::printf("jobs 8 %.2fx jobs 1 at %d ms; jobs 4 %.2fx jobs 1 at 0 ms\n",
              BatchRate(Client::Lookup, kFarDelayMs, 8) / BatchRate(Client::Lookup, kFarDelayMs, 1),
              kFarDelayMs, BatchRate(Client::Lookup, 0, 4) / BatchRate(Client::Lookup, 0, 1));
  for (const int jobs : {1, 4, 8}) {
    const ProcessMemory::Memory& m = batchMemory[jobs];
    std::printf(
        "peak memory, %d at once: resident %.0f MiB (program %.0f, engine %.0f in %d processes), "
        "proportional %.0f MiB, private %.0f MiB\n",
        jobs, (m.program + m.engine) / (1 << 20), m.program / (1 << 20), m.engine / (1 << 20),
        m.engineProcesses, m.proportional / (1 << 20), m.own / (1 << 20));
  }
  const ProcessMemory::Memory &one = batchMemory[1], &eight = batchMemory[8];
  const auto perPage = [](double from, double to) { return (to - from) / 7 / (1 << 20); };
  std::printf("each further page: resident %.1f MiB, proportional %.1f MiB, private %.1f MiB\n",
              perPage(one.program + one.engine, eight.program + eight.engine),
              perPage(one.proportional, eight.proportional), perPage(one.own, eight.own));
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
  ReferenceService far({"--delay-ms", std::to_string(kFarDelayMs)});
  service = &running;
  farService = &far;
  if (running.base().isEmpty() || far.base().isEmpty()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  PrintSummary();
  PrintBatchSummary();
  return 0;
}

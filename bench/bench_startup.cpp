// Start-up of the whole program: from starting its process to its first
// frame on the screen, against a bare Qt Widgets window program (bench/
// bare_window.cpp) started and timed the same way, alternately in one run.
// Both run on the platform the benchmark runs on: under xvfb-run they draw
// on the X server; without a display they run offscreen. A third program, the
// bare window drawing the same Chinese text (`bare-window --text`), shows
// what of the difference any program showing that text pays.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace {

constexpr int kBoundMs = 20000;

// Starts `program` and returns the seconds until it reported its first frame
// (-1 when it did not within the bound); then ends it.
double secondsToFirstFrame(const QString& program, const QStringList& arguments = {}) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("COURIER_QUERY_REPORT_FIRST_FRAME"), QStringLiteral("1"));
  process.setProcessEnvironment(environment);
  QEventLoop loop;
  QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
    if (process.canReadLine()) loop.quit();
  });
  QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(kBoundMs, &loop, &QEventLoop::quit);
  QElapsedTimer timer;
  timer.start();
  process.start(program, arguments);
  loop.exec();
  const double seconds = timer.nsecsElapsed() / 1e9;
  const bool reported = process.readLine().trimmed() == "first frame";
  process.kill();
  process.waitForFinished();
  return reported ? seconds : -1;
}

void BM_StartUpToFirstFrame(benchmark::State& state) {
  const QString bareWindow = QStringLiteral(BARE_WINDOW_BINARY);
  const QStringList withText = {QStringLiteral("--text"), QStringLiteral(CATALOGUE_FILE)};
  double program = 0, bare = 0, bareWithText = 0;
  for (auto _ : state) {
    const double bareSeconds = secondsToFirstFrame(bareWindow);
    const double withTextSeconds = secondsToFirstFrame(bareWindow, withText);
    const double seconds = secondsToFirstFrame(QStringLiteral(COURIER_QUERY_BINARY));
    if (seconds < 0 || bareSeconds < 0 || withTextSeconds < 0)
      return state.SkipWithError("no first frame");
    state.SetIterationTime(seconds);
    program += seconds;
    bare += bareSeconds;
    bareWithText += withTextSeconds;
  }
  state.counters["bare_window_ms"] =
      benchmark::Counter(bare * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = program / bare;
  state.counters["bare_text_ms"] =
      benchmark::Counter(bareWithText * 1000, benchmark::Counter::kAvgIterations);
  state.counters["ratio_text"] = program / bareWithText;
}
BENCHMARK(BM_StartUpToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

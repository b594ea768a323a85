// A soak: 1,000 queries through one window with the real hidden browser
// against the reference tracking service (its own process), with the
// resident memory of the program and of the browser engine's processes at
// queries 10, 500 and 1,000. Query 10 is the baseline: by then the engine
// has warmed up, and from then on a query should leave nothing behind.
#include "FormMain.h"
#include "ProcessMemory.h"
#include "Query.h"
#include "ReferenceService.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <map>

namespace {

const QString kCourier = QStringLiteral("顺丰速运");
const QString kNumber = QStringLiteral("SF2122544101995");
constexpr int kBoundMs = 20000;

using ProcessMemory::Memory;

Memory measure() {
  return ProcessMemory::measure(QCoreApplication::applicationPid());
}

// Runs the event loop until the browser completes a top-level document; the
// window's own handler, connected first, has run by then.
bool waitForCompletion(FormMain& form) {
  ModAPI::WebBrowser& browser = form.Web->browser();
  QEventLoop loop;
  QTimer::singleShot(kBoundMs, &loop, [&] { loop.exit(1); });
  QObject::connect(&browser, &ModAPI::WebBrowser::DocumentComplete, &loop,
                   [&](ModAPI::BrowserObject pDisp) {
                     if (pDisp == browser.TopLevelObject()) loop.exit(0);
                   });
  return loop.exec() == 0;
}

bool query(FormMain& form) {
  form.SStext->setText(kNumber);
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  return waitForCompletion(form) && form.Text->ForeColor == Query::kResultColor;
}

double growthPercent(double from, double to) {
  return from > 0 ? (to - from) / from * 100 : 0;
}

void BM_Soak(benchmark::State& state) {
  const int queries = static_cast<int>(state.range(0));
  const int checkpoints[] = {10, queries / 2, queries};
  for (auto _ : state) {
    FormMain form;
    form.Form_Load(kCourier);
    form.show();
    if (!waitForCompletion(form)) return state.SkipWithError("the window did not start");
    std::map<int, Memory> at;
    int failed = 0;
    QElapsedTimer timer;
    double seconds = 0;
    for (int i = 1; i <= queries; ++i) {
      timer.start();
      failed += !query(form);
      seconds += timer.nsecsElapsed() / 1e9;
      if (std::find(std::begin(checkpoints), std::end(checkpoints), i) != std::end(checkpoints))
        at[i] = measure();
    }
    state.SetIterationTime(seconds);
    for (const int i : checkpoints) {
      state.counters["program_MiB_" + std::to_string(i)] = at[i].program / (1 << 20);
      state.counters["engine_MiB_" + std::to_string(i)] = at[i].engine / (1 << 20);
    }
    const Memory &first = at[checkpoints[0]], &last = at[queries];
    state.counters["program_growth_%"] = growthPercent(first.program, last.program);
    state.counters["engine_growth_%"] = growthPercent(first.engine, last.engine);
    state.counters["engine_processes"] = last.engineProcesses;
    state.counters["ms_per_query"] = seconds * 1000 / queries;
    state.counters["failed"] = failed;
  }
}
BENCHMARK(BM_Soak)->Arg(1000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  ReferenceService service;
  if (service.base().isEmpty()) return 1;
  qputenv("COURIER_QUERY_SERVICE", service.base().toUtf8());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

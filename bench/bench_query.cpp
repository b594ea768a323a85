// Query latency from the click on 查询 to the result text in the window,
// with the real hidden browser against the reference tracking service on
// loopback, run as its own process: the first query of a freshly started
// window and a warm query, against fetching the same address with curl (a
// process per fetch, as a user would) and with an in-process HTTP client, in
// the same run.
#include "FormMain.h"
#include "Query.h"
#include "ReferenceService.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <httplib.h>

namespace {

const QString kCourier = QStringLiteral("顺丰速运");
const QString kNumber = QStringLiteral("SF2122544101995");

ReferenceService* service = nullptr;

// Runs the event loop until `done` holds after a document completed, or
// until `boundMs` passed. The wait is the event loop itself: each of the
// engine's posted tasks runs as soon as it is due.
template <typename Done>
bool waitForCompletion(FormMain& form, Done done, int boundMs = 20000) {
  QEventLoop loop;
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  // Connected after the window's own handler, so it runs after the result
  // area has been written.
  QObject::connect(&form.Web->browser(), &ModAPI::WebBrowser::DocumentComplete, &loop, [&] {
    if (done()) loop.quit();
  });
  bound.start(boundMs);
  if (!done()) loop.exec();
  return done();
}

// Clicks 查询 and returns the seconds until the result replaced the loading text.
double timedQuery(FormMain& form) {
  form.SStext->setText(kNumber);
  QElapsedTimer timer;
  timer.start();
  QTest::mouseClick(form.SSCMD, Qt::LeftButton);
  const bool done =
      waitForCompletion(form, [&] { return form.Text->text() != Query::kLoadingText; });
  const double seconds = timer.nsecsElapsed() / 1e9;
  return done && form.Text->ForeColor == Query::kResultColor ? seconds : -1;
}

std::unique_ptr<FormMain> startedWindow() {
  auto form = std::make_unique<FormMain>();
  form->Form_Load(kCourier);
  form->show();
  // The start-up page completes first; wait for it so it is not timed.
  const bool started = waitForCompletion(*form, [&] { return !form->Text->text().isEmpty(); });
  return started ? std::move(form) : nullptr;
}

void report(benchmark::State& state, double seconds) {
  if (seconds < 0) return state.SkipWithError("no result");
  state.SetIterationTime(seconds);
}

void BM_FirstQueryAfterStart(benchmark::State& state) {
  for (auto _ : state) {
    auto form = startedWindow();
    report(state, form ? timedQuery(*form) : -1);
  }
}
BENCHMARK(BM_FirstQueryAfterStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WarmQuery(benchmark::State& state) {
  auto form = startedWindow();
  if (!form || timedQuery(*form) < 0) return state.SkipWithError("no result");
  for (auto _ : state) report(state, timedQuery(*form));
}
BENCHMARK(BM_WarmQuery)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

QString address() {
  return Query::queryAddress(service->base(), QStringLiteral("shunfeng"), kNumber);
}

void BM_CurlBaseline(benchmark::State& state) {
  for (auto _ : state) {
    QProcess curl;
    curl.start(QStringLiteral("curl"), {QStringLiteral("-sf"), QStringLiteral("-o"),
                                        QStringLiteral("/dev/null"), address()});
    if (!curl.waitForFinished() || curl.exitCode() != 0) return state.SkipWithError("curl failed");
  }
}
BENCHMARK(BM_CurlBaseline)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_HttpClientBaseline(benchmark::State& state) {
  const std::string path = address().mid(service->base().size()).toStdString();
  for (auto _ : state) {
    httplib::Client client(service->base().toStdString());
    const auto answer = client.Get(path);
    if (!answer || answer->status != 200) return state.SkipWithError("request failed");
  }
}
BENCHMARK(BM_HttpClientBaseline)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ReferenceService running;
  if (running.base().isEmpty()) return 1;
  service = &running;
  qputenv("COURIER_QUERY_SERVICE", running.base().toUtf8());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

// Catalogue load and layout for 100, 1,000 and 10,000 items on the real
// panel with the real fonts, against splitting the same text into fields
// (the least any loader must do); and start-up of the real window to its
// first painted frame, against an empty window of the same size.
#include "CourierPanel.h"
#include "Design.h"
#include "FormMain.h"
#include "Module1.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include <malloc.h>

namespace {

QString makeCatalogue(int items) {
  QStringList first, index{QStringLiteral("B")};
  for (int i = 0; i < 12 && i < items; ++i) first << QStringLiteral("快递%1=code%1").arg(i);
  for (int i = 12; i < items; ++i) index << QStringLiteral("c%1=物流%1").arg(i);
  return first.join(',') + '%' + index.join(',');
}

class PanelHost : public Module1::CatalogueHost {
 public:
  PanelHost()
      : panel(nullptr, Module1::CourierEntry{}, ModAPI::DesignFont("宋体", 10.5), QCursor()) {}
  Module1::LabelGroup& LB() override { return panel.labels(); }
  float windowWidth() const override { return 9000; }
  CourierPanel panel;
};

size_t heapInUse() {
  return mallinfo2().uordblks;
}

void BM_CatalogueLoadAndLayout(benchmark::State& state) {
  const QString text = makeCatalogue(static_cast<int>(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    const size_t before = heapInUse();
    PanelHost host;
    Module1::placeCatalogue(text, host, QString());
    bytes = heapInUse() - before;
    benchmark::DoNotOptimize(host.panel.labels().count());
  }
  state.counters["heap_bytes"] = static_cast<double>(bytes);
  state.counters["bytes_per_label"] = static_cast<double>(bytes) / state.range(0);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CatalogueLoadAndLayout)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

void BM_SplitOnlyBaseline(benchmark::State& state) {
  const QString text = makeCatalogue(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    qsizetype fields = 0;
    for (const QString& section : text.split('%'))
      for (const QString& item : section.split(',')) fields += item.split('=').size();
    benchmark::DoNotOptimize(fields);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplitOnlyBaseline)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Until the first paint event of the window has run.
template <typename MakeWindow>
void timeToFirstPaint(benchmark::State& state, MakeWindow make) {
  for (auto _ : state) {
    auto window = make();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return state.SkipWithError("not exposed");
    window->repaint();
  }
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
  timeToFirstPaint(state, [] {
    auto form = std::make_unique<FormMain>();
    form->Form_Load(QString());
    return form;
  });
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_EmptyWindowBaseline(benchmark::State& state) {
  timeToFirstPaint(state, [] {
    auto window = std::make_unique<QWidget>();
    window->resize(600, 500);
    return window;
  });
}
BENCHMARK(BM_EmptyWindowBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ModAPI::InstallFontSubstitutes();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

// The skin's drawing at 600 x 500 (the main window) and 1920 x 1080: one
// PaintFrame (nine-slice frame, glyphs, icon, caption, background, two full
// copies) and one fade step with all four buttons fading, each reported as
// a multiple of one full-surface BitBlt of the same size measured in the
// same run ("x_blit"). Runs beside the program, whose "Skin/QQ2010" it uses.
#include "Gdi.h"
#include "Timer.h"
#include "VBDirectUI.h"
#include "Window.h"
#include "mDC.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <map>

namespace {

using Clock = std::chrono::steady_clock;

// Seconds for one BitBlt of a whole width x height surface: the fastest of
// a few batches on warm surfaces.
double BlitSeconds(int width, int height) {
  static std::map<std::pair<int, int>, double> measured;
  double& seconds = measured[{width, height}];
  if (seconds > 0) return seconds;
  const ModAPI::HDC from = mDC::CreateSurface(width, height);
  const ModAPI::HDC to = mDC::CreateSurface(width, height);
  const auto blit = [&] { ModAPI::BitBlt(to, 0, 0, width, height, from, 0, 0, ModAPI::SRCCOPY); };
  blit();
  constexpr int kBatches = 5;
  constexpr int kRounds = 100;
  for (int batch = 0; batch < kBatches; ++batch) {
    const auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) blit();
    const double each = std::chrono::duration<double>(Clock::now() - start).count() / kRounds;
    if (seconds == 0 || each < seconds) seconds = each;
  }
  mDC::ReleaseSurface(from);
  mDC::ReleaseSurface(to);
  return seconds;
}

// Times each run of `step` and reports the mean as a multiple of one blit.
template <typename Step>
void MeasureAgainstBlit(benchmark::State& state, Step step) {
  const double blit = BlitSeconds(int(state.range(0)), int(state.range(1)));
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    step();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["x_blit"] = total / double(state.iterations()) / blit;
}

// A shown window of the size skinned with "QQ2010", and a painter of its
// own over the skin's description, geometry and window.
struct Skinned {
  Skinned(int width, int height) {
    window.setWindowTitle(QStringLiteral("Quonvex快递单号查询软件_Quonvex"));
    window.resize(width, height);
    window.show();
    ui.Skin(QStringLiteral("QQ2010"), ModAPI::WindowHandle(&window));
    painter.makeSurfaces();
  }
  QWidget window;
  VBDirectUI ui;
  FramePainter painter{ui.description(), ui.geometry(), ui.host()};
};

void BM_FullSurfaceBitBlt(benchmark::State& state) {
  const int width = int(state.range(0));
  const int height = int(state.range(1));
  const ModAPI::HDC from = mDC::CreateSurface(width, height);
  const ModAPI::HDC to = mDC::CreateSurface(width, height);
  MeasureAgainstBlit(state,
                     [&] { ModAPI::BitBlt(to, 0, 0, width, height, from, 0, 0, ModAPI::SRCCOPY); });
  mDC::ReleaseSurface(from);
  mDC::ReleaseSurface(to);
}

void BM_PaintFrame(benchmark::State& state) {
  Skinned skinned(int(state.range(0)), int(state.range(1)));
  MeasureAgainstBlit(state, [&] { skinned.painter.PaintFrame(); });
}

void BM_FadeStep(benchmark::State& state) {
  Skinned skinned(int(state.range(0)), int(state.range(1)));
  FadeAnimation fade;  // on no window: no timer
  MeasureAgainstBlit(state, [&] {
    for (const CaptionButtonId id : kCaptionButtons) {
      fade.start(id, FadeAnimation::kPressFade, ButtonState::ButtonPressed);
    }
    skinned.painter.fadeStep(fade);
  });
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({600, 500})->Args({1920, 1080})->UseManualTime()->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_FullSurfaceBitBlt)->Apply(Sizes);
BENCHMARK(BM_PaintFrame)->Apply(Sizes);
BENCHMARK(BM_FadeStep)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ModAPI::SetManualClock(true);  // the fade steps are driven here, not by the timer
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

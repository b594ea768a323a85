// What finding the service costs each query: the variable alone (the
// baseline, as before the settings files), then the desktop's settings
// files absent, the user's file, and only the last system folder's file
// (every file before it looked for in vain), all in one run on real files.
#include "ServiceAddress.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Folders {
  QTemporaryDir dir;
  Folders() {
    qputenv("HOME", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("user")));
    qputenv("XDG_CONFIG_DIRS",
            QFile::encodeName(dir.filePath("site") + ":" + dir.filePath("vendor")));
    qunsetenv("COURIER_QUERY_SERVICE");
  }
  void write(const QString& folder) {
    const QString file = dir.filePath(folder + "/courier-query/courier-query.conf");
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write("# the shop's tracking service\nService=http://192.168.1.20:8765\n");
  }
};

// Each case keeps its folders for the whole of its run.
void Run(benchmark::State& state) {
  if (!ServiceAddress::find().problem.isEmpty()) state.SkipWithError("no usable service");
  for (auto _ : state) benchmark::DoNotOptimize(ServiceAddress::find());
}

void BM_TheVariable(benchmark::State& state) {
  Folders folders;
  folders.write("user");
  qputenv("COURIER_QUERY_SERVICE", "http://192.168.1.20:8765");
  Run(state);
}

void BM_NoSettingsFile(benchmark::State& state) {
  const Folders folders;
  Run(state);
}

void BM_TheUsersFile(benchmark::State& state) {
  Folders folders;
  folders.write("user");
  Run(state);
}

void BM_TheLastSystemFolder(benchmark::State& state) {
  Folders folders;
  folders.write("vendor");
  Run(state);
}

BENCHMARK(BM_TheVariable);
BENCHMARK(BM_NoSettingsFile);
BENCHMARK(BM_TheUsersFile);
BENCHMARK(BM_TheLastSystemFolder);

}  // namespace

BENCHMARK_MAIN();

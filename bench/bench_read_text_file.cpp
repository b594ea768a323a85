// ReadTextFile against two baselines on the same files: reading the bytes with
// no decoding, and decoding them with one iconv call. Files of 1 MiB and 64 MiB
// in GBK, UTF-8 and UTF-16 LE are written to a temporary folder at start-up
// and removed at exit.
#include "CodePage.h"
#include "mTextUTF.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdlib>
#include <map>

namespace {

enum Sample { kGbk, kUtf8, kUtf16LE };
constexpr const char* kSampleNames[] = {"GBK", "UTF-8", "UTF-16LE"};
constexpr const char* kIconvNames[] = {"CP936", "UTF-8", "UTF-16LE"};

// A catalogue-like block of text: courier names and codes with headings.
const QString& sampleBlock() {
  static const QString block = QString::fromUtf8(
      "A\r\n安能物流,annengwuliu\r\n安信达快递,anxindakuaisong\r\nB\r\n百世快递,huitongkuaidi\r\n"
      "邦送物流,bangsongwuliu\r\nY\r\n圆通快递,yuantong\r\n韵达快递,yunda\r\n");
  return block;
}

// The file's bytes: its mark, whole blocks, then blanks up to exactly `size`
// bytes, so no character is cut and detection sees what it would in use.
QByteArray sampleFile(Sample sample, qint64 size) {
  QByteArray mark, block, blank;
  switch (sample) {
    case kGbk:
      block = ModAPI::ToCodePage(ModAPI::CP_GBK, sampleBlock());
      blank = " ";
      break;
    case kUtf8:
      block = sampleBlock().toUtf8();
      blank = " ";
      break;
    case kUtf16LE:
      mark = "\xFF\xFE";
      block = QByteArray(reinterpret_cast<const char*>(sampleBlock().utf16()),
                         sampleBlock().size() * 2);
      blank = QByteArray(" \0", 2);
      break;
  }
  QByteArray bytes = mark + block.repeated((size - mark.size()) / block.size());
  while (bytes.size() < size) bytes += blank;
  bytes.truncate(size);
  return bytes;
}

struct Files {
  QTemporaryDir dir;
  std::map<std::pair<int, qint64>, QString> paths;  // (sample, size) -> file

  QString path(Sample sample, qint64 size) {
    auto& path = paths[{sample, size}];
    if (path.isEmpty()) {
      const QByteArray bytes = sampleFile(sample, size);
      path = dir.filePath(QStringLiteral("%1-%2").arg(kSampleNames[sample]).arg(size));
      QFile file(path);
      if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    }
    return path;
  }
};

Files& files() {
  static Files instance;
  return instance;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  return file.readAll();
}

void BM_ReadTextFile(benchmark::State& state) {
  const auto sample = Sample(state.range(0));
  const QString path = files().path(sample, state.range(1));
  for (auto _ : state) {
    int32_t encoding = mTextUTF::kDetect;
    benchmark::DoNotOptimize(mTextUTF::ReadTextFile(path, encoding));
  }
  state.SetBytesProcessed(state.iterations() * state.range(1));
  state.SetLabel(kSampleNames[sample]);
}

void BM_PlainRead(benchmark::State& state) {
  const auto sample = Sample(state.range(0));
  const QString path = files().path(sample, state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(readAll(path));
  state.SetBytesProcessed(state.iterations() * state.range(1));
  state.SetLabel(kSampleNames[sample]);
}

// Decoding only, from bytes already in memory, in one iconv call.
void BM_IconvOnce(benchmark::State& state) {
  const auto sample = Sample(state.range(0));
  const QByteArray bytes = readAll(files().path(sample, state.range(1)));
  QByteArray units(bytes.size() * 2 + 16, Qt::Uninitialized);
  for (auto _ : state) {
    iconv_t cd = iconv_open("UTF-16LE", kIconvNames[sample]);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* out = units.data();
    size_t outLeft = size_t(units.size());
    iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * state.range(1));
  state.SetLabel(kSampleNames[sample]);
}

constexpr Sample kSamples[] = {kGbk, kUtf8, kUtf16LE};
constexpr qint64 kSizes[] = {qint64(1) << 20, qint64(64) << 20};

void sizes(benchmark::internal::Benchmark* bench) {
  for (Sample sample : kSamples)
    for (qint64 size : kSizes) bench->Args({sample, size});
  bench->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ReadTextFile)->Apply(sizes);
BENCHMARK(BM_PlainRead)->Apply(sizes);
BENCHMARK(BM_IconvOnce)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (Sample sample : kSamples)
    for (qint64 size : kSizes) files().path(sample, size);  // write every file before timing
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

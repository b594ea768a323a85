// The couriers' number formats. Up to the first line break the input is the
// typed number; the rest is the formats file's bytes.
#include "FuzzSupport.h"
#include "NumberFormats.h"

#include <QByteArrayView>

#include <algorithm>

using namespace NumberFormats;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView input(data, qsizetype(size));
  const qsizetype lineEnd = input.indexOf('\n');
  const QString number = lineEnd < 0 ? QString() : QString::fromUtf8(input.first(lineEnd));
  const Loaded loaded = parse(input.sliced(lineEnd + 1).toByteArray());

  FUZZ_CHECK(loaded.problem.isEmpty() || loaded.table.isEmpty());
  const QStringList codes = loaded.table.codesMatching(number);
  FUZZ_CHECK(QStringList(codes).removeDuplicates() == 0);
  for (const QString& code : codes) {
    FUZZ_CHECK(std::any_of(loaded.table.formats().begin(), loaded.table.formats().end(),
                           [&](const Format& format) { return format.code == code; }));
  }
  if (normalized(number).size() > kMaxNumberLength) FUZZ_CHECK(codes.isEmpty());
  return 0;
}

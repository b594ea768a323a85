// Text-file decoding. The first byte picks what the caller asks for:
// detection, one of the seven encodings, or an unknown code; the rest is the
// file.
#include "FuzzSupport.h"
#include "mTextUTF.h"

#include <QByteArrayView>

using namespace mTextUTF;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t requested = int32_t(data[0] % 9) - 1;  // -1 .. 7, where 7 is unknown
  const QByteArrayView bytes(data + 1, qsizetype(size - 1));
  const QString path = FuzzSupport::WriteScratchFile("text", data + 1, size - 1);

  int32_t encoding = requested;
  const QString text = ReadTextFile(path, encoding);
  if (requested == kDetect) {
    FUZZ_CHECK(encoding >= kAnsi && encoding <= kUtf32BE);
  } else {
    FUZZ_CHECK(encoding == requested);
  }
  if (requested == 7 || encoding == kUtf32LE || encoding == kUtf32BE) FUZZ_CHECK(text.isEmpty());
  // No encoding makes more units than there are bytes.
  FUZZ_CHECK(text.size() <= bytes.size());

  int32_t detected = kDetect;
  DetectUtf8Text(bytes, detected);
  FUZZ_CHECK(detected == kAnsi || detected == kUtf8);
  return 0;
}

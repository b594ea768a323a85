#include "mTextUTF.h"

#include "CodePage.h"
#include "File.h"

#include <QByteArray>
#include <QtEndian>

#include <bit>
#include <cstring>
#include <new>

namespace mTextUTF {
namespace {

// The file is decoded as one block; its size must fit a signed 32-bit count.
constexpr int64_t kMaxFileSize = INT32_MAX;

bool isKnownEncoding(int32_t encoding) {
  return encoding >= kDetect && encoding <= kUtf32BE;
}

// Reads up to `count` bytes at the read position; a failed read counts as
// nothing read.
QByteArray readBytes(ModAPI::InputFile& file, int64_t count) {
  QByteArray bytes(count, Qt::Uninitialized);
  const int64_t got = file.read(bytes.data(), count);
  bytes.resize(got > 0 ? got : 0);
  return bytes;
}

// The first four bytes, first byte lowest; bytes beyond the end stay zero.
uint32_t readFirstFourBytes(ModAPI::InputFile& file) {
  const QByteArray bytes = readBytes(file, 4);
  uint32_t value = 0;
  for (qsizetype i = 0; i < bytes.size(); ++i)
    value |= uint32_t(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return value;
}

// UTF-16 payload read straight into the string's units.
QString readUtf16(ModAPI::InputFile& file, int64_t payload, bool bigEndian) {
  QString text((payload + 1) / 2, Qt::Uninitialized);
  auto* bytes = reinterpret_cast<char*>(text.data());
  const int64_t got = file.read(bytes, payload);
  if (got <= 0) return {};
  if (bigEndian) {
    text.resize(got / 2);  // an odd last byte is dropped
    qFromBigEndian<char16_t>(text.constData(), text.size(), text.data());
  } else {
    if (got % 2) bytes[got] = 0;  // an odd last byte is a unit with high byte 0
    text.resize((got + 1) / 2);
    qFromLittleEndian<char16_t>(text.constData(), text.size(), text.data());
  }
  return text;
}

QString decodeCodePage(const QByteArray& bytes, int32_t encoding) {
  return ModAPI::FromCodePage(encoding == kAnsi ? AnsiCodePage : ModAPI::CP_UTF8, bytes);
}

QString decodePayload(ModAPI::InputFile& file, int64_t payload, int32_t encoding) {
  switch (encoding) {
    case kAnsi:
    case kUtf8WithMark:
    case kUtf8:
      return decodeCodePage(readBytes(file, payload), encoding);
    case kUtf16LE:
      return readUtf16(file, payload, false);
    case kUtf16BE:
      return readUtf16(file, payload, true);
    default:  // UTF-32 is not decoded
      return {};
  }
}

QString readOpenFile(ModAPI::InputFile& file, int32_t& encoding) {
  const int64_t size = file.size();
  if (size < 0 || size > kMaxFileSize) return {};

  int32_t detected = kAnsi;
  int markLength = DetectTextBom(readFirstFourBytes(file), detected);
  if (detected == kAnsi && encoding == kDetect) {
    // No mark: the whole file is both what the UTF-8 test looks at and the
    // payload, so it is read once. A forced encoding skips the test, as without
    // a mark it decodes from offset 0 whatever the bytes look like.
    if (!file.seek(0)) return {};
    const QByteArray bytes = readBytes(file, size);
    DetectUtf8Text(bytes, encoding);
    return decodeCodePage(bytes, encoding);
  }

  if (encoding == kDetect)
    encoding = detected;
  else if (encoding != detected)
    markLength = 0;  // the mark bytes are text in the forced encoding

  if (!file.seek(markLength)) return {};
  return decodePayload(file, size - markLength, encoding);
}

// True when the `count` bytes from `from` exist and all are continuation bytes (10xxxxxx).
bool continuationBytesFollow(const unsigned char* data, qsizetype from, int count, qsizetype size) {
  if (count > size - from) return false;
  for (qsizetype i = from; i < from + count; ++i)
    if ((data[i] & 0xC0) != 0x80) return false;
  return true;
}

// The index of the first byte of 0x80 or more at or after `from`, or `size`.
// Eight bytes at a time while the bytes are ASCII.
qsizetype skipAscii(const unsigned char* data, qsizetype from, qsizetype size) {
  qsizetype i = from;
  for (; size - i >= 8; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    if (word & 0x8080808080808080ull) break;
  }
  while (i < size && data[i] < 0x80) ++i;
  return i;
}

}  // namespace

QString ReadTextFile(const QString& path, int32_t& encoding) {
  if (!isKnownEncoding(encoding)) return {};
  ModAPI::InputFile file(path);
  if (!file.isOpen()) return {};
  try {
    return readOpenFile(file, encoding);
  } catch (const std::bad_alloc&) {
    return {};  // no memory for the file's bytes or its text
  }
}

int DetectTextBom(uint32_t firstFourBytes, int32_t& encoding) {
  struct Mark {
    uint32_t bytes;
    uint32_t mask;
    int32_t encoding;
    int length;
  };
  // In test order: the UTF-32 marks begin with the UTF-16 ones.
  static constexpr Mark kMarks[] = {
      {0x0000FEFF, 0xFFFFFFFF, kUtf32LE, 4},      {0xFFFE0000, 0xFFFFFFFF, kUtf32BE, 4},
      {0x0000FEFF, 0x0000FFFF, kUtf16LE, 2},      {0x0000FFFE, 0x0000FFFF, kUtf16BE, 2},
      {0x00BFBBEF, 0x00FFFFFF, kUtf8WithMark, 3},
  };
  for (const Mark& mark : kMarks) {
    if ((firstFourBytes & mark.mask) == mark.bytes) {
      encoding = mark.encoding;
      return mark.length;
    }
  }
  encoding = kAnsi;
  return 0;
}

void DetectUtf8Text(QByteArrayView bytes, int32_t& encoding) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const qsizetype size = bytes.size();
  bool sawHighByte = false;
  for (qsizetype i = skipAscii(data, 0, size); i < size;) {
    sawHighByte = true;
    // A lead byte with k leading 1-bits expects k - 1 continuation bytes; a
    // continuation byte where a lead is due has k = 1.
    const int continuation = std::countl_one(data[i]) - 1;
    if (continuation == 0 || !continuationBytesFollow(data, i + 1, continuation, size)) {
      encoding = kAnsi;
      return;
    }
    i = skipAscii(data, i + 1 + continuation, size);
  }
  encoding = sawHighByte ? kUtf8 : kAnsi;  // pure ASCII counts as ANSI
}

}  // namespace mTextUTF

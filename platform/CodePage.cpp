// The converters. UTF-8 is decoded here, by the well-formed byte sequences of
// the Unicode standard; everything else runs over glibc iconv. Each iconv call
// opens one conversion descriptor and runs it over the whole input in as few
// iconv calls as the input allows: iconv stops only at a byte sequence it
// cannot convert, where the replacement is written by hand and the conversion
// goes on after the offending input.
//
// Replacement rules:
// - decoding UTF-8: every maximal ill-formed subpart (the longest start of a
//   well-formed sequence that breaks off, or else one byte) becomes one U+FFFD,
//   as Windows and the browsers do.
// - decoding GBK: every byte that does not start a valid sequence, and every
//   byte of an incomplete sequence at the end, becomes one U+FFFD; decoding
//   resumes at the next byte, so a valid character after a bad lead byte
//   survives.
// - encoding: every character the code page lacks, and every lone surrogate,
//   becomes one '?' (for UTF-8 too: only lone surrogates can fail there).
#include "CodePage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string>

namespace ModAPI {
namespace {

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// glibc's names for the code pages this program uses; null for any other.
const char* iconvName(unsigned codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_GBK:
      return "CP936";
    case CP_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

// One iconv descriptor, closed when the converter goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from)
      : cd_(to && from ? iconv_open(to, from) : reinterpret_cast<iconv_t>(-1)) {}
  ~Converter() {
    if (isValid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool isValid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t handle() const { return cd_; }

 private:
  iconv_t cd_;
};

// Where the converted bytes go. A sizing run points `next` at a scratch buffer
// and empties it whenever it fills (`flush`); a converting run has the caller's
// buffer, and running out of it is a failure.
struct Output {
  char* next;
  size_t left;
  size_t total;     // bytes produced so far, including those flushed
  size_t replaced;  // input sequences replaced
  char* scratch;
  size_t scratchSize;

  // Makes room when the output is full; false when it cannot.
  bool flush() {
    if (!scratch) return false;
    next = scratch;
    left = scratchSize;
    return true;
  }
  bool putReplacement(const char* bytes, size_t count) {
    if (left < count && !(flush() && left >= count)) return false;
    std::memcpy(next, bytes, count);
    next += count;
    left -= count;
    total += count;
    ++replaced;
    return true;
  }
};

// What replaces an input sequence that cannot be converted, and how many input
// bytes that sequence spans (given the remaining input).
struct Replacement {
  const char* bytes;
  size_t size;
  size_t (*skip)(const char* in, size_t inLeft);
};

// Runs the descriptor over all of `in`; false when the output runs out.
bool convertAll(iconv_t cd, const char* in, size_t inLeft, Output& out, const Replacement& bad) {
  char* inNext = const_cast<char*>(in);  // iconv's signature; it never writes the input
  while (inLeft > 0) {
    char* const before = out.next;
    const size_t result = iconv(cd, &inNext, &inLeft, &out.next, &out.left);
    out.total += static_cast<size_t>(out.next - before);
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      if (!out.flush()) return false;
      continue;
    }
    // EILSEQ or EINVAL: an invalid or incomplete sequence at inNext.
    if (!out.putReplacement(bad.bytes, bad.size)) return false;
    const size_t skipped = bad.skip(inNext, inLeft);
    inNext += skipped;
    inLeft -= skipped;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // clear any shift state
  }
  return true;
}

struct Result {
  long long produced;  // bytes produced or needed; -1 on failure
  bool replaced;       // some input was replaced
};

// Converts, or measures when `out` is null. Fails when the conversion cannot be
// made or the output is too small.
Result runConversion(const char* to, const char* from, const char* in, size_t inSize, char* out,
                     size_t outSize, const Replacement& bad) {
  Converter converter(to, from);
  if (!converter.isValid()) return {-1, false};
  char scratch[16384];
  Output output = out ? Output{out, outSize, 0, 0, nullptr, 0}
                      : Output{scratch, sizeof scratch, 0, 0, scratch, sizeof scratch};
  if (!convertAll(converter.handle(), in, inSize, output, bad)) return {-1, false};
  return {static_cast<long long>(output.total), output.replaced > 0};
}

size_t skipOneByte(const char*, size_t) {
  return 1;
}

// One UTF-16 character: a surrogate pair counts as one, so a character outside
// the basic plane that the code page lacks gives a single '?'.
size_t skipOneCharacter(const char* in, size_t inLeft) {
  if (inLeft < 2) return inLeft;
  char16_t first;
  std::memcpy(&first, in, 2);
  if (first < 0xD800 || first > 0xDBFF || inLeft < 4) return 2;
  char16_t second;
  std::memcpy(&second, in + 2, 2);
  return second >= 0xDC00 && second <= 0xDFFF ? 4 : 2;
}

constexpr char16_t kReplacementCharacter = u'\uFFFD';

// Where decoded units go: counted only while `next` is null, stored otherwise;
// storing fails once `left` is used up.
struct UnitSink {
  char16_t* next;
  size_t left;
  size_t total = 0;

  bool put(char16_t unit) {
    ++total;
    if (!next) return true;
    if (left == 0) return false;
    *next++ = unit;
    --left;
    return true;
  }
};

// The sequence that starts at `in` (Unicode Table 3-7): its length and whether
// it is well-formed. An ill-formed one is its maximal subpart: the longest
// start of some well-formed sequence, or else the one byte.
struct Utf8Sequence {
  size_t length;
  bool wellFormed;
};

Utf8Sequence nextUtf8Sequence(const unsigned char* in, size_t left) {
  const unsigned char lead = in[0];
  if (lead < 0x80) return {1, true};
  size_t trail;
  unsigned char low = 0x80;   // the range of the byte after the lead; later
  unsigned char high = 0xBF;  // bytes always take 80..BF
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return {1, false};  // 80..C1 and F5..FF start no sequence
  }
  for (size_t length = 1; length <= trail; ++length) {
    if (length == left || in[length] < low || in[length] > high) return {length, false};
    low = 0x80;
    high = 0xBF;
  }
  return {trail + 1, true};
}

char32_t codePointOf(const unsigned char* in, size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t codePoint = in[0] & kLeadBits[length];
  for (size_t i = 1; i < length; ++i) codePoint = codePoint << 6 | (in[i] & 0x3F);
  return codePoint;
}

bool putCodePoint(UnitSink& sink, char32_t codePoint) {
  if (codePoint < 0x10000) return sink.put(char16_t(codePoint));
  codePoint -= 0x10000;
  return sink.put(char16_t(0xD800 + (codePoint >> 10))) &&
         sink.put(char16_t(0xDC00 + (codePoint & 0x3FF)));
}

// Units produced (or needed, with no output); -1 when the output runs out.
long long decodeUtf8(const char* bytes, size_t count, char16_t* units, size_t unitCount) {
  const auto* in = reinterpret_cast<const unsigned char*>(bytes);
  UnitSink sink{units, unitCount};
  for (size_t at = 0; at < count;) {
    const Utf8Sequence sequence = nextUtf8Sequence(in + at, count - at);
    const bool stored = sequence.wellFormed
                            ? putCodePoint(sink, codePointOf(in + at, sequence.length))
                            : sink.put(kReplacementCharacter);
    if (!stored) return -1;
    at += sequence.length;
  }
  return static_cast<long long>(sink.total);
}

// A source count of -1 stands for the text up to and including its NUL, as on
// Windows; any other negative count stays an error (-1 is returned for both
// an error and a text too long for an int).
template <typename Char>
int sourceCount(const Char* text, int count) {
  if (count != -1) return count;
  const size_t length = std::char_traits<Char>::length(text);
  return length < static_cast<size_t>(INT_MAX) ? static_cast<int>(length) + 1 : -1;
}

// The Windows reading of a count pair: a negative count is an error, a zero
// output count (or no output buffer) asks for the needed length.
bool isQuery(const void* out, int outCount) {
  return out == nullptr || outCount == 0;
}

int toResult(long long produced, size_t unitSize) {
  if (produced < 0 || produced / static_cast<long long>(unitSize) > INT_MAX) return 0;
  return static_cast<int>(produced / static_cast<long long>(unitSize));
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned /*flags*/, const char* bytes, int byteCount,
                        char16_t* units, int unitCount) {
  if (!bytes) return 0;
  byteCount = sourceCount(bytes, byteCount);
  if (byteCount <= 0 || unitCount < 0) return 0;
  const bool query = isQuery(units, unitCount);
  if (codePage == CP_UTF8) {
    return toResult(decodeUtf8(bytes, static_cast<size_t>(byteCount), query ? nullptr : units,
                               static_cast<size_t>(unitCount)),
                    1);
  }
  const Replacement bad{reinterpret_cast<const char*>(&kReplacementCharacter), 2, skipOneByte};
  const Result result =
      runConversion(kUtf16, iconvName(codePage), bytes, static_cast<size_t>(byteCount),
                    query ? nullptr : reinterpret_cast<char*>(units),
                    static_cast<size_t>(unitCount) * sizeof(char16_t), bad);
  return toResult(result.produced, sizeof(char16_t));
}

int WideCharToMultiByte(unsigned codePage, unsigned /*flags*/, const char16_t* units, int unitCount,
                        char* bytes, int byteCount, bool* usedDefaultChar) {
  if (usedDefaultChar) *usedDefaultChar = false;
  if (!units) return 0;
  unitCount = sourceCount(units, unitCount);
  if (unitCount <= 0 || byteCount < 0) return 0;
  static constexpr char kDefaultChar = '?';
  const Replacement bad{&kDefaultChar, 1, skipOneCharacter};
  const Result result = runConversion(
      iconvName(codePage), kUtf16, reinterpret_cast<const char*>(units),
      static_cast<size_t>(unitCount) * sizeof(char16_t),
      isQuery(bytes, byteCount) ? nullptr : bytes, static_cast<size_t>(byteCount), bad);
  if (usedDefaultChar) *usedDefaultChar = result.produced >= 0 && result.replaced;
  return toResult(result.produced, 1);
}

QString FromCodePage(unsigned codePage, const QByteArray& bytes) {
  if (bytes.size() > INT_MAX) return {};
  // One pass instead of query and convert: in GBK and UTF-8 no byte yields
  // more than one unit (a 4-byte UTF-8 sequence gives two, a bad byte one
  // U+FFFD), so as many units as bytes always suffice.
  const int size = static_cast<int>(bytes.size());
  QString text(size, Qt::Uninitialized);
  const int written = MultiByteToWideChar(codePage, 0, bytes.constData(), size,
                                          reinterpret_cast<char16_t*>(text.data()), size);
  text.resize(written);
  text.squeeze();
  return text;
}

QByteArray ToCodePage(unsigned codePage, const QString& text, bool* usedDefaultChar) {
  if (text.size() > INT_MAX) return {};
  const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
  const int size = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(codePage, 0, units, size, nullptr, 0, usedDefaultChar);
  if (needed <= 0) return {};
  QByteArray bytes(needed, Qt::Uninitialized);
  const int written =
      WideCharToMultiByte(codePage, 0, units, size, bytes.data(), needed, usedDefaultChar);
  bytes.resize(written);
  return bytes;
}

}  // namespace ModAPI

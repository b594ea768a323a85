// Code page conversion both ways, GBK (936) and UTF-8 (65001). The first
// byte picks the code page and the direction; the rest is the text, bytes to
// decode or UTF-16 units to encode.
#include "CodePage.h"
#include "FuzzSupport.h"

#include <cstring>
#include <string>
#include <vector>

using namespace ModAPI;

namespace {

// The units as they are (QString::fromUtf16 would take a leading FFFE or FEFF
// for a byte-order mark).
QString Text(const std::u16string& units) {
  return QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
}

void Decode(unsigned codePage, const std::string& bytes) {
  const int count = int(bytes.size());
  const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
  FUZZ_CHECK(needed >= 0 && needed <= count);
  std::u16string units(size_t(needed), u'\0');
  FUZZ_CHECK(MultiByteToWideChar(codePage, 0, bytes.data(), count, units.data(), needed) == needed);
  if (needed > 1) {  // an output count of 0 asks for the length
    FUZZ_CHECK(MultiByteToWideChar(codePage, 0, bytes.data(), count, units.data(), needed - 1) ==
               0);
  }
  // -1: up to and including the first NUL, which the string always has.
  const int throughNul =
      int(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
  FUZZ_CHECK(MultiByteToWideChar(codePage, 0, bytes.c_str(), -1, nullptr, 0) ==
             MultiByteToWideChar(codePage, 0, bytes.c_str(), throughNul + 1, nullptr, 0));
  // Text decoded without replacements encodes back to the same bytes.
  if (units.find(u'\uFFFD') == std::u16string::npos && codePage == CP_UTF8) {
    const QByteArray back = ToCodePage(codePage, Text(units));
    FUZZ_CHECK(back == QByteArray(bytes.data(), count));
  }
}

void Encode(unsigned codePage, const std::u16string& units) {
  const int count = int(units.size());
  bool replaced = false;
  const int needed = WideCharToMultiByte(codePage, 0, units.data(), count, nullptr, 0, &replaced);
  FUZZ_CHECK(needed >= 0 && needed <= 4 * count);
  std::string bytes(size_t(needed), '\0');
  bool replacedToo = false;
  FUZZ_CHECK(WideCharToMultiByte(codePage, 0, units.data(), count, bytes.data(), needed,
                                 &replacedToo) == needed);
  FUZZ_CHECK(replaced == replacedToo);
  // What encoded without a replacement decodes back to the same text.
  if (!replaced && needed > 0) {
    FUZZ_CHECK(FromCodePage(codePage, QByteArray(bytes.data(), needed)) == Text(units));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const unsigned codePage = data[0] & 1 ? CP_UTF8 : CP_GBK;
  const bool decode = !(data[0] & 2);
  const auto* text = reinterpret_cast<const char*>(data + 1);
  if (decode) {
    Decode(codePage, std::string(text, size - 1));
  } else {
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), text, units.size() * 2);
    Encode(codePage, units);
  }
  return 0;
}

// The profile functions over a fuzzed file: every section and key the file
// names is read at several buffer sizes, as text and as a number; then a key
// is written and must read back.
#include "FuzzSupport.h"
#include "Profile.h"

#include <QByteArray>
#include <QByteArrayList>

#include <array>
#include <cstring>

using namespace ModAPI;

namespace {

std::array<char, 512> buffer;

// What the call copied; checks that it ends in NUL within the buffer.
QByteArray Read(const char* section, const char* key, unsigned size, const char* file) {
  buffer.fill('#');
  const unsigned n = GetPrivateProfileStringA(section, key, "fallback", buffer.data(), size, file);
  FUZZ_CHECK(size == 0 ? n == 0 : n < size && buffer[n] == '\0');
  return QByteArray(buffer.data(), n);
}

// The names of a list the call returned: each ended by NUL.
QByteArrayList Names(const QByteArray& list) {
  QByteArrayList names = list.split('\0');
  names.removeLast();
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray file = FuzzSupport::WriteScratchFile("test.ini", data, size).toLocal8Bit();
  const char* path = file.constData();
  // Each read parses the whole file again: a few names are enough.
  for (const QByteArray& section : Names(Read(nullptr, nullptr, buffer.size(), path)).mid(0, 8)) {
    for (const QByteArray& key : Names(Read(section, nullptr, buffer.size(), path)).mid(0, 8)) {
      const QByteArray whole = Read(section, key, buffer.size(), path);
      for (unsigned size : {0u, 1u, 2u, 3u, 100u}) {
        const QByteArray cut = Read(section, key, size, path);
        FUZZ_CHECK(whole.startsWith(cut));
      }
      GetPrivateProfileIntA(section, key, 7, path);
    }
  }
  FUZZ_CHECK(WritePrivateProfileStringA("FuzzSection", "FuzzKey", "written", path) != 0);
  FUZZ_CHECK(Read("fuzzsection", "FUZZKEY", 64, path) == "written");
  FUZZ_CHECK(GetPrivateProfileIntA("FuzzSection", "FuzzKey", 7, path) == 0);
  FUZZ_CHECK(WritePrivateProfileStringA("FuzzSection", "FuzzKey", nullptr, path) != 0);
  FUZZ_CHECK(WritePrivateProfileStringA("FuzzSection", nullptr, nullptr, path) != 0);
  return 0;
}

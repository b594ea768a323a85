#include "FuzzSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, condition);
  std::abort();
}

QString WriteScratchFile(const QString& name, const uint8_t* data, size_t size) {
  static QTemporaryDir folder;
  const QString path = folder.filePath(name);
  QFile file(path);
  FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  FUZZ_CHECK(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size));
  return path;
}

}  // namespace FuzzSupport

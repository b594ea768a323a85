#include "Shell.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <cstdlib>

namespace ModAPI {

QString AppPath() {
  return QCoreApplication::applicationDirPath();
}

bool IsNormalFile(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

bool IsReadableFile(const QString& path) {
  QFile file(path);
  return IsNormalFile(path) && file.open(QIODevice::ReadOnly);
}

ShellSeams DefaultShell() {
  ShellSeams seams;
  seams.messageBox = [](const QString& title, const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
  };
  seams.openAddressMinimized = [](const QString& address) {
    // The desktop's opener for web addresses; it returns at once.
    QProcess::startDetached(QStringLiteral("xdg-open"), {address});
  };
  seams.endProgram = [](int status) {
    std::fflush(nullptr);
    std::_Exit(status);
  };
  return seams;
}

ShellSeams& Shell() {
  static ShellSeams seams = DefaultShell();
  return seams;
}

QString AppTitle() {
  return QCoreApplication::applicationName();
}

QString VendorHomePage() {
  const QString configured = qEnvironmentVariable("COURIER_QUERY_HOMEPAGE");
  return configured.isEmpty() ? QStringLiteral("https://www.quonvex.com/") : configured;
}

}  // namespace ModAPI

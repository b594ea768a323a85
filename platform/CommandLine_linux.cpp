// The command line on Linux: the kernel keeps argv as NUL-separated strings in
// /proc/self/cmdline. The program's text is every argument after the first,
// joined by single blanks, which is what a user typed when no quoting was needed.
#include "Shell.h"

#include <QFile>

namespace ModAPI {

QString CommandLineText() {
  QFile file(QStringLiteral("/proc/self/cmdline"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  QList<QByteArray> args = file.readAll().split('\0');
  if (!args.isEmpty() && args.last().isEmpty()) args.removeLast();  // the final NUL
  if (!args.isEmpty()) args.removeFirst();                          // the program name
  return QString::fromLocal8Bit(args.join(' '));
}

}  // namespace ModAPI

#include "ProcessMemory.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMultiHash>

#include <unistd.h>

namespace ProcessMemory {

double residentBytes(qint64 pid) {
  QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> pages = statm.readAll().split(' ');
  return pages.size() > 1 ? pages[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) : 0;
}

QList<qint64> engineProcesses(qint64 root) {
  QMultiHash<qint64, qint64> children;
  QHash<qint64, QByteArray> names;
  for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool isPid = false;
    const qint64 pid = entry.toLongLong(&isPid);
    QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
    if (!isPid || !stat.open(QIODevice::ReadOnly)) continue;
    // "pid (name) state ppid ...", where the name may hold blanks and brackets.
    const QByteArray text = stat.readAll();
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    names[pid] = text.mid(open + 1, close - open - 1);
    children.insert(text.mid(close + 2).split(' ').value(1).toLongLong(), pid);
  }
  QList<qint64> engine, parents{root};
  while (!parents.isEmpty()) {
    for (const qint64 child : children.values(parents.takeFirst())) {
      parents.append(child);
      if (names[child].startsWith("QtWebEngineProc")) engine.append(child);
    }
  }
  return engine;
}

// Adds the proportional and the private size of process `pid` to `memory`:
// the Pss and Private_* lines of its smaps_rollup, in kB.
void addShares(qint64 pid, Memory& memory) {
  QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
  if (!rollup.open(QIODevice::ReadOnly)) return;
  for (const QByteArray& line : rollup.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() < 2) continue;
    const double bytes = fields[1].toDouble() * 1024;
    if (fields[0] == "Pss:") memory.proportional += bytes;
    if (fields[0].startsWith("Private_")) memory.own += bytes;
  }
}

Memory measure(qint64 program) {
  Memory memory{residentBytes(program)};
  addShares(program, memory);
  for (const qint64 pid : engineProcesses(program)) {
    memory.engine += residentBytes(pid);
    ++memory.engineProcesses;
    addShares(pid, memory);
  }
  return memory;
}

}  // namespace ProcessMemory

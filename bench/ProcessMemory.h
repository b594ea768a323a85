// Resident memory of a process and of the browser engine's processes that
// it started, read from /proc. Resident sizes count a page shared by several
// processes (the engine's library, mapped by each of them) in every one; the
// proportional size gives each process its share of such a page, and the
// private size counts only the pages no other process maps: the memory the
// processes cost the machine lies between the two sums.
#pragma once

#include <QList>
#include <QtGlobal>

namespace ProcessMemory {

// Resident memory of process `pid` in bytes; 0 once it is gone.
double residentBytes(qint64 pid);

// The browser engine's helper processes under `root`: its descendants that
// run the engine's process binary (a service it started is not one of them).
QList<qint64> engineProcesses(qint64 root);

struct Memory {
  double program = 0;  // resident bytes
  double engine = 0;   // resident bytes, all its processes together
  int engineProcesses = 0;
  double proportional = 0;  // bytes, of the program and its engine's processes
  double own = 0;           // private bytes, likewise
};

// The memory of `program` and of its engine's processes now.
Memory measure(qint64 program);

}  // namespace ProcessMemory

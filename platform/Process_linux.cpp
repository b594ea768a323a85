#include "Process.h"

#include <signal.h>
#include <unistd.h>

namespace ModAPI {

void EndProcess(qint64 pid) {
  if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
}

bool RunsWithRootsRights() {
  return ::getuid() == 0 || ::geteuid() == 0;
}

}  // namespace ModAPI

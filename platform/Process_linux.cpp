#include "Process.h"

#include <signal.h>

namespace ModAPI {

void EndProcess(qint64 pid) {
  if (pid > 0) ::kill(static_cast<pid_t>(pid), SIGKILL);
}

}  // namespace ModAPI

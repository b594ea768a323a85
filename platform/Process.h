// This process and the other processes of the program.
#pragma once

#include <QtGlobal>

namespace ModAPI {

// Ends the process `pid` at once, without letting it clean up. Used on a
// helper process of the program that no longer answers.
void EndProcess(qint64 pid);

// Whether the program runs with root's rights: as the user root, or with
// root as its effective user.
bool RunsWithRootsRights();

}  // namespace ModAPI

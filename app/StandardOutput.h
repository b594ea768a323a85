// Writing the program's output to a file descriptor with every write
// checked: a full disk, a closed pipe or a descriptor that was never open
// must stop a run instead of passing unnoticed. Nothing is buffered, so
// each answer's write says whether the answer got out.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace StandardOutput {

// 0 when `fd` is open for writing; EBADF when it is closed or read-only.
int writable(int fd);

// Writes all of `bytes` to `fd` and returns 0, or the errno of the write
// that failed. Interrupted writes are resumed, and a descriptor another
// program made non-blocking is waited for rather than given up on.
// SIGPIPE must be ignored for a closed pipe to come back as EPIPE.
int writeAll(int fd, QByteArrayView bytes);

// The errors some file systems keep until the file is closed (NFS, quotas):
// a copy of `fd` is closed, which reports them and leaves `fd` open.
// Returns 0 or the errno.
int closeChecked(int fd);

// The cause of a failed write in a few Chinese words, such as 磁盘空间已满.
QString failureCause(int error);

}  // namespace StandardOutput

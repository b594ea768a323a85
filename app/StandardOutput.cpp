#include "StandardOutput.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace StandardOutput {

int writable(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || (flags & O_ACCMODE) == O_RDONLY) return EBADF;
  return 0;
}

int writeAll(int fd, QByteArrayView bytes) {
  qsizetype done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written >= 0) {
      done += written;
      continue;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd ready{fd, POLLOUT, 0};
      if (poll(&ready, 1, -1) == -1 && errno != EINTR) return errno;
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

int closeChecked(int fd) {
  const int copy = dup(fd);
  if (copy == -1) return errno;
  return close(copy) == -1 && errno != EINTR ? errno : 0;
}

QString failureCause(int error) {
  switch (error) {
    case ENOSPC:
      return QStringLiteral("磁盘空间已满");
    case EDQUOT:
      return QStringLiteral("超出了磁盘配额");
    case EFBIG:
      return QStringLiteral("文件已达到允许的最大长度");
    case EBADF:
      return QStringLiteral("标准输出已关闭或不可写入");
    case EPIPE:
      return QStringLiteral("读取结果的管道已关闭");
    case EROFS:
      return QStringLiteral("文件系统是只读的");
    case EACCES:
    case EPERM:
      return QStringLiteral("没有写入的权限");
    case EIO:
      return QStringLiteral("输入输出错误");
    default:
      return QStringLiteral("写入出错，错误号 %1").arg(error);
  }
}

}  // namespace StandardOutput

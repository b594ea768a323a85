// Entry point of the fault tests: they mount small file systems, so they run
// in a mount namespace of their own, which their service processes share and
// which vanishes with the test. Without the right to make one, every test is
// skipped (exit status 77).
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>

int main(int argc, char** argv) {
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    std::printf("skipped: cannot make a mount namespace of its own (%s); run as root\n",
                std::strerror(errno));
    return 77;
  }
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

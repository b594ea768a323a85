// A database that cannot take a write: a full file system, a file the
// service may not write, a file system mounted read-only. The service must
// answer 503 and say why in its log, never 201, keep answering queries where
// it can read, and store again once the fault is mended. The file systems are
// small tmpfs mounts in the test's own mount namespace (see faults_main.cpp).
#include "ServiceProcess.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QProcess>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fstream>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kToken = "fau1t-t0ken-0f-a-sh0p";
constexpr uid_t kNobody = 65534;

class ServiceFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    // Open to the unprivileged user that some tests run the service as.
    chmod(dir.path().toUtf8().constData(), 0777);
    tokenFile = path("tokens");
    std::ofstream(tokenFile) << kToken << "\n";
    chmod(tokenFile.c_str(), 0600);
  }
  void TearDown() override {
    if (mounted) umount2(mountPoint.c_str(), MNT_DETACH);
  }

  std::string path(const std::string& name) const {
    return dir.filePath(name.c_str()).toStdString();
  }

  // A tmpfs of `kib` KiB at mountPoint.
  void mountTmpfs(int kib) {
    mountPoint = path("fs");
    mkdir(mountPoint.c_str(), 0777);
    const std::string options = "size=" + std::to_string(kib) + "k,mode=0777";
    ASSERT_EQ(mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()), 0)
        << std::strerror(errno);
    mounted = true;
  }

  // Imports the sample shipments into the SQLite file `database`.
  static void importSample(const std::string& database) {
    QProcess import;
    import.start(SERVICE_BINARY, {"import", SERVICE_SAMPLE_DATA, "--config", "/dev/null",
                                  "--database", QString::fromStdString(database)});
    ASSERT_TRUE(import.waitForFinished(30000));
    ASSERT_EQ(import.exitCode(), 0) << import.readAllStandardError().toStdString();
  }

  // The service on `database`, as `user` when the test runs as root.
  std::unique_ptr<ServiceProcess> start(const std::string& database, uid_t user = 0) {
    std::vector<std::string> arguments = {"--config",   "/dev/null", "--port",       "0",
                                          "--database", database,    "--token-file", tokenFile};
    std::string binary = SERVICE_BINARY;
    if (user != 0 && geteuid() == 0) {
      EXPECT_EQ(chown(tokenFile.c_str(), user, user), 0) << std::strerror(errno);
      const std::string id = std::to_string(user);
      arguments.insert(arguments.begin(), {"--reuid=" + id, "--regid=" + id, "--clear-groups",
                                           "--inh-caps=-all", binary});
      binary = "/usr/bin/setpriv";
    }
    return std::make_unique<ServiceProcess>(binary, arguments);
  }

  static int post(const ServiceProcess& service, const std::string& body) {
    httplib::Client http("127.0.0.1", service.port());
    const auto result =
        http.Post("/api/events", {{"Authorization", std::string("Bearer ") + kToken}}, body,
                  "application/json");
    return result ? result->status : -1;
  }

  static int status(const ServiceProcess& service, const std::string& target) {
    httplib::Client http("127.0.0.1", service.port());
    http.set_url_encode(false);
    const auto result = http.Get(target);
    return result ? result->status : -1;
  }

  // A batch of `count` events with long places, for one shipment.
  static std::string batch(int count, const std::string& number) {
    std::string body = "[";
    for (int i = 0; i < count; ++i) {
      body += std::string(i ? "," : "") + R"({"com":"jd","nu":")" + number +
              R"(","time":"2026-12-01 08:00","place":")" + std::string(900, 'p') +
              R"(","status":")" + std::to_string(i) + R"("})";
    }
    return body + "]";
  }

  QTemporaryDir dir;
  std::string tokenFile;
  std::string mountPoint;
  bool mounted = false;
};

// Writes to `file` until the file system is full.
void fill(const std::string& file) {
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  const std::string chunk(4096, 'x');
  while (write(fd, chunk.data(), chunk.size()) > 0) {
  }
  EXPECT_EQ(errno, ENOSPC);
  close(fd);
}

TEST_F(ServiceFaults, AFullFileSystemGives503UntilThereIsRoomAgain) {
  mountTmpfs(2048);
  const std::string database = mountPoint + "/events.sqlite";
  importSample(database);
  auto service = start(database);
  ASSERT_GT(service->port(), 0) << service->log();
  ASSERT_EQ(post(*service, batch(1, "JD0")), 201);

  fill(mountPoint + "/filler");
  EXPECT_EQ(post(*service, batch(400, "JD1")), 503);
  EXPECT_TRUE(service->waitForLog("cannot store 400 events: database or disk is full"))
      << service->log();
  EXPECT_EQ(status(*service, "/chaxun?com=yuantong&nu=AB%26123"), 200);
  EXPECT_EQ(status(*service, "/healthz"), 200);

  unlink((mountPoint + "/filler").c_str());
  EXPECT_EQ(post(*service, batch(400, "JD1")), 201) << service->log();
  EXPECT_EQ(status(*service, "/chaxun?com=jd&nu=JD1"), 200);
}

TEST_F(ServiceFaults, ADatabaseFileTheServiceMayNotWriteGives503) {
  const std::string database = path("events.sqlite");
  importSample(database);
  chmod(database.c_str(), 0444);
  auto service = start(database, kNobody);
  ASSERT_GT(service->port(), 0) << service->log();
  EXPECT_EQ(status(*service, "/chaxun?com=yuantong&nu=AB%26123"), 200);
  EXPECT_EQ(post(*service, batch(1, "JD1")), 503);
  EXPECT_TRUE(service->waitForLog("cannot store 1 event: attempt to write a readonly database"))
      << service->log();
  EXPECT_EQ(status(*service, "/healthz"), 200);

  // Mended as an operator mends it, with a restart: SQLite has made its
  // journal files as read-only as the database, and keeps their state while
  // any connection of the process is open.
  EXPECT_EQ(service->stop(), 0);
  for (const char* suffix : {"", "-wal", "-shm"}) chmod((database + suffix).c_str(), 0666);
  service = start(database, kNobody);
  EXPECT_EQ(post(*service, batch(1, "JD1")), 201) << service->log();
  EXPECT_EQ(status(*service, "/chaxun?com=jd&nu=JD1"), 200);
}

// A database on a file system mounted read-only, as a sandbox that forgot to
// allow the service its state folder leaves it: the service cannot even read
// it (SQLite's WAL needs its shared-memory file) and says so at start.
TEST_F(ServiceFaults, ADatabaseOnAReadOnlyFileSystemStopsTheStart) {
  mountTmpfs(2048);
  const std::string database = mountPoint + "/events.sqlite";
  importSample(database);
  ASSERT_EQ(mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0)
      << std::strerror(errno);
  auto service = start(database);
  EXPECT_EQ(service->port(), 0);
  EXPECT_EQ(service->stop(), 1);
  EXPECT_NE(service->log().find("SQLite database " + database), std::string::npos)
      << service->log();
}

}  // namespace

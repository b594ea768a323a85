// What only a database server shows: several service instances on one
// database, a database that refuses writes, and connections the server
// closes. Runs when the suite runs against PostgreSQL (test_service_postgresql).
#include "ServiceProcess.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>

#include <sys/stat.h>

namespace {

constexpr const char* kToken = "p0stgres-t0ken-0f-a-sh0p";

class PostgreSql : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestDatabase::postgresql()) GTEST_SKIP() << "runs against PostgreSQL only";
    tokenFile = database.folder().toStdString() + "/tokens";
    std::ofstream(tokenFile) << kToken << "\n";
    chmod(tokenFile.c_str(), 0600);
  }

  std::unique_ptr<ServiceProcess> start(const std::string& threads = "4") {
    auto service = std::make_unique<ServiceProcess>(
        SERVICE_BINARY, std::vector<std::string>{"--config", "/dev/null", "--port", "0",
                                                 "--database", database.address(), "--token-file",
                                                 tokenFile, "--threads", threads});
    EXPECT_GT(service->port(), 0) << service->log();
    return service;
  }

  static httplib::Result post(const ServiceProcess& service, const std::string& number,
                              const std::string& status) {
    httplib::Client http("127.0.0.1", service.port());
    return http.Post("/api/events", {{"Authorization", std::string("Bearer ") + kToken}},
                     R"({"com":"jd","nu":")" + number +
                         R"(","time":"2026-12-01 08:00","place":"北京市","status":")" + status +
                         R"("})",
                     "application/json");
  }

  static std::string page(const ServiceProcess& service, const std::string& number) {
    httplib::Client http("127.0.0.1", service.port());
    const auto result = http.Get("/chaxun?com=jd&nu=" + number);
    return result ? result->body : std::string();
  }

  TestDatabase database;
  std::string tokenFile;
};

TEST_F(PostgreSql, TwoInstancesSeeEachOthersEvents) {
  auto first = start();
  auto second = start();
  ASSERT_GT(first->port(), 0);
  ASSERT_GT(second->port(), 0);
  // Both have read before: neither may answer from what it saw then.
  EXPECT_EQ(page(*first, "JD1").find("queryResult2"), std::string::npos);
  EXPECT_EQ(page(*second, "JD2").find("queryResult2"), std::string::npos);

  ASSERT_EQ(post(*first, "JD1", "从第一个实例")->status, 201);
  ASSERT_EQ(post(*second, "JD2", "从第二个实例")->status, 201);
  EXPECT_NE(page(*second, "JD1").find("从第一个实例"), std::string::npos);
  EXPECT_NE(page(*first, "JD2").find("从第二个实例"), std::string::npos);

  // The same event through the other instance is known there too.
  const auto again = post(*second, "JD1", "从第一个实例");
  ASSERT_TRUE(again);
  EXPECT_EQ(again->body, R"({"added":0,"known":1})");
}

TEST_F(PostgreSql, ADatabaseThatRefusesWritesGives503AndALogLine) {
  start()->stop();  // makes the table
  ASSERT_TRUE(database.run(
      "DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET default_transaction_read_only = on',"
      " current_database()); END $$"));
  auto service = start();
  const auto posted = post(*service, "JD1", "已揽收");
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->status, 503);
  EXPECT_TRUE(service->waitForLog("cannot store 1 event: "));
  EXPECT_NE(service->log().find("read-only transaction"), std::string::npos) << service->log();
  httplib::Client http("127.0.0.1", service->port());
  EXPECT_EQ(http.Get("/healthz")->status, 200);  // it still answers queries
}

// With one request thread, the requests after the server closed the
// connections meet the thread's closed one.
TEST_F(PostgreSql, ConnectionsTheServerClosedAreOpenedAgain) {
  auto service = start("1");
  ASSERT_EQ(post(*service, "JD1", "已揽收")->status, 201);
  ASSERT_NE(page(*service, "JD1").find("已揽收"), std::string::npos);
  ASSERT_TRUE(
      database.run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                   " WHERE datname = current_database() AND pid <> pg_backend_pid()"));
  EXPECT_NE(page(*service, "JD1").find("已揽收"), std::string::npos) << service->log();
  EXPECT_EQ(post(*service, "JD1", "运输中")->status, 201) << service->log();
}

}  // namespace

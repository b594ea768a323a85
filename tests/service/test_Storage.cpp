// The events in a real database: SQLite, or PostgreSQL when the suite runs
// against it (see TestDatabase.h).
#include "ImportFile.h"
#include "Storage.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

using namespace TrackingService;

namespace {

ShipmentEvent event(std::string number, std::string time, std::string status, std::string id = {}) {
  return {"shunfeng",
          std::move(number),
          {std::move(time), "上海市 浦东新区", std::move(status)},
          std::move(id)};
}

std::vector<std::string> statuses(const EventStore::Lookup& lookup) {
  std::vector<std::string> result;
  for (const auto& e : lookup.events) result.push_back(e.status);
  return result;
}

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string fault;
    storage = Storage::open(database.parsed(), fault);
    ASSERT_TRUE(storage) << fault;
  }

  std::unique_ptr<Storage> openAgain() {
    std::string fault;
    auto again = Storage::open(database.parsed(), fault);
    EXPECT_TRUE(again) << fault;
    return again;
  }

  std::string writeFile(const std::string& name, const std::string& text) {
    const std::string path = database.folder().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  TestDatabase database;
  std::unique_ptr<Storage> storage;
};

TEST_F(StorageTest, LooksUpNewestFirstWithTheLaterStoredFirstOnTies) {
  std::string fault;
  EXPECT_TRUE(storage->isEmpty(fault));
  auto stored = storage->store(
      {event("SF1", "2026-12-02 10:00", "已到达"), event("SF1", "2026-11-30 23:59", "已揽收"),
       event("SF2", "2026-12-09 10:00", "别的运单"), event("SF1", "2026-12-03 09:00", "派送中")});
  EXPECT_EQ(stored.fault, "");
  EXPECT_EQ(stored.added, 4u);
  stored = storage->store({event("SF1", "2026-12-03 09:00", "已签收")});
  EXPECT_EQ(stored.added, 1u);

  const auto found = storage->lookup("shunfeng", "SF1");
  EXPECT_EQ(found.fault, "");
  EXPECT_EQ(statuses(found), (std::vector<std::string>{"已签收", "派送中", "已到达", "已揽收"}));
  EXPECT_EQ(found.events[0].time, "2026-12-03 09:00");
  EXPECT_EQ(found.events[0].place, "上海市 浦东新区");
  for (const auto& [code, number] :
       std::vector<std::pair<std::string, std::string>>{{"shunfeng", "SF3"},
                                                        {"SHUNFENG", "SF1"},
                                                        {"shunfeng", "sf1"},
                                                        {"yuantong", "SF1"},
                                                        {"shunfeng", "SF1 "}}) {
    const auto none = storage->lookup(code, number);
    EXPECT_EQ(none.fault, "");
    EXPECT_TRUE(none.events.empty()) << code << " " << number;
  }
  EXPECT_FALSE(storage->isEmpty(fault));
  EXPECT_EQ(fault, "");
  EXPECT_EQ(storage->check(), "");
}

TEST_F(StorageTest, KnownEventsAreNotStoredAgain) {
  auto stored = storage->store({event("SF1", "2026-12-01 08:00", "已揽收", "e-1"),
                                event("SF1", "2026-12-01 09:00", "运输中")});
  EXPECT_EQ(stored.added, 2u);
  // The same id with other words, the same words without an id, and an id
  // twice in one request: nothing new. The same id on another shipment and
  // the same words at another time are new.
  stored = storage->store({event("SF1", "2026-12-01 10:00", "改过的", "e-1"),
                           event("SF1", "2026-12-01 09:00", "运输中"),
                           event("SF1", "2026-12-01 09:00", "运输中", "e-2"),
                           event("SF1", "2026-12-01 11:00", "到达", "e-3"),
                           event("SF1", "2026-12-01 12:00", "又到达", "e-3"),
                           event("SF2", "2026-12-01 08:00", "已揽收", "e-1"),
                           event("SF1", "2026-12-01 13:00", "运输中")});
  EXPECT_EQ(stored.fault, "");
  EXPECT_EQ(stored.added, 3u);
  EXPECT_EQ(stored.known, 4u);
  EXPECT_EQ(statuses(storage->lookup("shunfeng", "SF1")),
            (std::vector<std::string>{"运输中", "到达", "运输中", "已揽收"}));
  EXPECT_EQ(storage->lookup("shunfeng", "SF2").events.size(), 1u);
}

TEST_F(StorageTest, StoresLargeBatchesAllOrNone) {
  std::vector<ShipmentEvent> many;
  for (int i = 0; i < 1500; ++i) {
    many.push_back(event("SF" + std::to_string(i % 7), "2026-12-01 08:00", std::to_string(i)));
  }
  auto stored = storage->store(many);
  EXPECT_EQ(stored.fault, "");
  EXPECT_EQ(stored.added, 1500u);
  EXPECT_EQ(storage->lookup("shunfeng", "SF3").events.size(), 214u);

  // A feed that gives up after its first batches leaves nothing behind.
  int calls = 0;
  stored = storage->storeAll([&](std::vector<ShipmentEvent>& batch) {
    if (++calls == 3) return Storage::Feed::Abandon;
    for (int i = 0; i < 600; ++i)
      batch.push_back(event("SF-NEW", "2026-12-02 08:00", std::to_string(calls * 1000 + i)));
    return Storage::Feed::More;
  });
  EXPECT_EQ(stored.fault, "");
  EXPECT_TRUE(storage->lookup("shunfeng", "SF-NEW").events.empty());
  EXPECT_TRUE(storage->lookup("shunfeng", "SF3").events.size() == 214u);
}

TEST_F(StorageTest, OtherConnectionsAndThreadsSeeACommitAtOnce) {
  auto other = openAgain();
  // Both connections have read before the store: neither may keep reading
  // what they saw then.
  EXPECT_TRUE(other->lookup("shunfeng", "SF1").events.empty());
  std::thread([&] { EXPECT_TRUE(storage->lookup("shunfeng", "SF1").events.empty()); }).join();
  EXPECT_EQ(storage->store({event("SF1", "2026-12-01 08:00", "已揽收")}).added, 1u);
  EXPECT_EQ(other->lookup("shunfeng", "SF1").events.size(), 1u);
  std::thread([&] { EXPECT_EQ(storage->lookup("shunfeng", "SF1").events.size(), 1u); }).join();
}

TEST_F(StorageTest, ThreadsStoringAtOnceAllSucceed) {
  constexpr int kThreads = 8, kEach = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        const auto stored =
            storage->store({event("SF1", "2026-12-01 08:00", std::to_string(t * 100 + i))});
        EXPECT_EQ(stored.fault, "");
        EXPECT_EQ(stored.added, 1u);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(storage->lookup("shunfeng", "SF1").events.size(), std::size_t(kThreads * kEach));
}

TEST_F(StorageTest, ImportsAFileAllOrNone) {
  const auto good = writeFile("events.csv",
                              "com,nu,time,place,status\n"
                              "jd,JD1,2026-12-01 08:00,北京市,已揽收\n"
                              "jd,JD1,2026-12-01 09:00,\"北京市, 朝阳区\",运输中\n");
  auto outcome = importFile(*storage, good);
  EXPECT_EQ(outcome.fault, "");
  EXPECT_EQ(outcome.stored.added, 2u);
  outcome = importFile(*storage, good);
  EXPECT_EQ(outcome.stored.added, 0u);
  EXPECT_EQ(outcome.stored.known, 2u);
  EXPECT_EQ(storage->lookup("jd", "JD1").events[0].place, "北京市, 朝阳区");

  // 5,000 sound lines, then one faulty: nothing of the file is stored.
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "jd\tJD2\t2026-12-01 08:00\t北京市\t" + std::to_string(i) + "\n";
  const auto faulty = writeFile("events.tsv", text + "jd\tJD2\t2026-12-01 08:00\t北京市\n");
  outcome = importFile(*storage, faulty);
  EXPECT_EQ(outcome.fault, faulty +
                               ":5001: expected 5 fields separated by tabs "
                               "(code, number, time, place, status), found 4");
  EXPECT_EQ(outcome.stored.added, 0u);
  EXPECT_TRUE(storage->lookup("jd", "JD2").events.empty());

  const auto missing = database.folder().toStdString() + "/missing.tsv";
  EXPECT_EQ(importFile(*storage, missing).fault, missing + ": cannot read the file");
  EXPECT_EQ(importFile(*storage, database.folder().toStdString()).fault,
            database.folder().toStdString() + ": cannot read the file");
}

TEST(StorageOpen, NamesTheDatabaseThatCannotBeOpened) {
  TestDatabase database;
  const std::string address = TestDatabase::postgresql()
                                  ? "postgresql:///no_such_database"
                                  : database.folder().toStdString() + "/missing/events.sqlite";
  std::string fault;
  EXPECT_FALSE(Storage::open(parseDatabaseAddress(address).address, fault));
  EXPECT_NE(fault.find("cannot open the "), std::string::npos) << fault;
  EXPECT_NE(fault.find(TestDatabase::postgresql() ? "no_such_database" : "missing/events.sqlite"),
            std::string::npos)
      << fault;
}

}  // namespace

#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

#include <unistd.h>

namespace {

// Runs `sql` on a connection of its own to `database` (the server's own
// "postgres" when empty) on the PostgreSQL server that libpq's environment
// names, or on the SQLite file `file`.
bool runOnce(const QString& driver, const QString& database, const QString& sql) {
  static std::atomic<int> next = 0;
  const QString name = QStringLiteral("test-database-%1").arg(next++);
  bool done = false;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    db.setDatabaseName(database);
    if (db.open()) {
      QSqlQuery query(db);
      done = query.exec(sql);
      EXPECT_TRUE(done) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    } else {
      ADD_FAILURE() << "cannot open " << database.toStdString() << ": "
                    << db.lastError().text().toStdString();
    }
  }
  QSqlDatabase::removeDatabase(name);
  return done;
}

}  // namespace

bool TestDatabase::postgresql() {
  return qgetenv("COURIER_QUERY_TEST_DATABASE") == "postgresql";
}

TestDatabase::TestDatabase() {
  if (!postgresql()) {
    address_ = folder_.filePath("events.sqlite").toStdString();
    return;
  }
  static std::atomic<int> next = 0;
  name_ = QStringLiteral("cq_test_%1_%2").arg(getpid()).arg(next++);
  runOnce("QPSQL", "postgres", "CREATE DATABASE " + name_);
  address_ = "postgresql:///" + name_.toStdString();
}

TestDatabase::~TestDatabase() {
  if (!name_.isEmpty()) runOnce("QPSQL", "postgres", "DROP DATABASE " + name_ + " WITH (FORCE)");
}

TrackingService::DatabaseAddress TestDatabase::parsed() const {
  return TrackingService::parseDatabaseAddress(address_).address;
}

bool TestDatabase::run(const QString& sql) const {
  if (postgresql()) return runOnce("QPSQL", name_, sql);
  return runOnce("QSQLITE", QString::fromStdString(address_), sql);
}

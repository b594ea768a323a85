// A fresh, empty database for one test: an SQLite file in a folder of its
// own, or, when the suite runs against PostgreSQL (COURIER_QUERY_TEST_DATABASE
// is "postgresql", as with-postgresql sets it inside a throw-away cluster), a
// new database on that server, dropped again at the end.
#pragma once

#include "DatabaseAddress.h"

#include <QTemporaryDir>

#include <string>

class TestDatabase {
 public:
  TestDatabase();
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  static bool postgresql();

  // The Database= value that names it.
  const std::string& address() const { return address_; }
  TrackingService::DatabaseAddress parsed() const;
  // A folder for the test's other files.
  QString folder() const { return folder_.path(); }
  // Runs `sql` on the database itself, outside the service's code; false on
  // a fault (which is recorded as a test failure).
  bool run(const QString& sql) const;

 private:
  QTemporaryDir folder_;
  std::string address_;
  QString name_;  // PostgreSQL: the database's name
};

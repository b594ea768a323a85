// The service's events in a database, through Qt SQL: SQLite (one file, WAL
// journal, every commit synced) or PostgreSQL, with one table and the same
// statements for both. SQLite's look-ups run on the Qt connection's own
// handle, the same statement without Qt's per-row costs. A thread that uses a Storage gets a
// connection of its own, opened on its first call and kept until the thread ends, since a Qt SQL
// connection belongs to the thread that opened it. After a fault a thread's connection is closed; a
// look-up, a store or a check that failed on a connection opened before is tried once more on a new
// one, so that the service rides out a database server's restart.
#pragma once

#include "DatabaseAddress.h"
#include "EventStore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace TrackingService {

class Storage : public EventStore {
 public:
  // Connects to the database at `address` and creates the events' table and
  // indexes when they are missing. Returns nothing and sets `fault` when the
  // database cannot be used. Needs a QCoreApplication (for the drivers).
  static std::unique_ptr<Storage> open(const DatabaseAddress& address, std::string& fault);
  // Closes the calling thread's connection. Every other thread that used it
  // must have ended before.
  ~Storage() override;
  Storage(const Storage&) = delete;
  Storage& operator=(const Storage&) = delete;

  const DatabaseAddress& address() const { return address_; }

  Lookup lookup(const std::string& code, const std::string& number) override;
  Stored store(const std::vector<ShipmentEvent>& events) override;
  std::string check() override;

  // Stores the events that `feed` yields in one transaction, as store()
  // does: each call fills the empty `batch` it is given and says whether
  // more follow, or asks to abandon everything stored so far.
  enum class Feed { More, Done, Abandon };
  Stored storeAll(const std::function<Feed(std::vector<ShipmentEvent>& batch)>& feed);

  // True when the database holds no event; a fault when it cannot tell.
  bool isEmpty(std::string& fault);

 private:
  struct Connection;
  // The calling thread's connections, by storage; closed when the thread ends.
  using ThreadConnections = std::unordered_map<std::uint64_t, std::unique_ptr<Connection>>;
  static ThreadConnections& threadConnections();

  explicit Storage(DatabaseAddress address);
  bool hasConnection() const;
  // The calling thread's connection, opened when it has none; nothing, with
  // `fault` set, when it cannot be opened.
  Connection* connection(std::string& fault);
  // Closes the calling thread's connection after a fault.
  void dropConnection();
  bool createSchema(std::string& fault);
  Lookup lookupOnce(const std::string& code, const std::string& number);
  Lookup sqliteLookup(Connection& connection, const std::string& code, const std::string& number);

  DatabaseAddress address_;
  std::uint64_t serial_;  // tells this storage's connections from others' in a thread
};

}  // namespace TrackingService

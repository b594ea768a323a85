// Where the service keeps its events, as the Database= setting names it: a
// PostgreSQL connection URI ("postgresql://…" or "postgres://…", read as
// libpq reads it, with libpq's environment variables and defaults for what
// it leaves out), or else the path of an SQLite file.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace TrackingService {

struct DatabaseAddress {
  enum class Kind { Sqlite, Postgresql };
  Kind kind = Kind::Sqlite;
  std::string sqliteFile;  // Sqlite: the file
  // Postgresql: the connection keywords the URI sets, with their values
  // ("host", "dbname", "sslmode", …), in libpq's order.
  std::vector<std::pair<std::string, std::string>> parameters;

  // For logs: "SQLite database FILE" or "PostgreSQL database host=… dbname=…",
  // never showing a password.
  std::string description() const;
};

struct DatabaseAddressResult {
  DatabaseAddress address;
  std::string fault;  // why `text` names no usable database; empty when it does
};

// Reads a Database= value. An SQLite path must not be empty or ":memory:"
// (each of the service's threads would get a database of its own); a URI
// must be one libpq accepts.
DatabaseAddressResult parseDatabaseAddress(std::string_view text);

}  // namespace TrackingService

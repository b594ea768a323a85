#include "DatabaseAddress.h"

#include <libpq-fe.h>

#include <memory>

namespace TrackingService {
namespace {

bool isPostgresqlUri(std::string_view text) {
  return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

DatabaseAddressResult parsePostgresqlUri(const std::string& uri) {
  char* message = nullptr;
  const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
      PQconninfoParse(uri.c_str(), &message), PQconninfoFree);
  if (!options) {
    std::string fault = message ? message : "out of memory";
    PQfreemem(message);
    while (!fault.empty() && fault.back() == '\n') fault.pop_back();
    return {{}, "bad PostgreSQL address: " + fault};
  }
  DatabaseAddressResult result;
  result.address.kind = DatabaseAddress::Kind::Postgresql;
  for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
    if (option->val) result.address.parameters.emplace_back(option->keyword, option->val);
  }
  return result;
}

// libpq's keywords whose values are secret.
bool isSecret(std::string_view keyword) {
  return keyword == "password" || keyword == "sslpassword";
}

}  // namespace

std::string DatabaseAddress::description() const {
  if (kind == Kind::Sqlite) return "SQLite database " + sqliteFile;
  std::string text = "PostgreSQL database";
  for (const auto& [keyword, value] : parameters) {
    if (!isSecret(keyword)) text += ' ' + keyword + '=' + value;
  }
  return parameters.empty() ? text + " (libpq's defaults)" : text;
}

DatabaseAddressResult parseDatabaseAddress(std::string_view text) {
  if (isPostgresqlUri(text)) return parsePostgresqlUri(std::string(text));
  if (text.empty()) return {{}, "no database named"};
  if (text == ":memory:") {
    return {{},
            "an SQLite database in memory is not shared between the service's threads; "
            "name a file"};
  }
  DatabaseAddressResult result;
  result.address.sqliteFile = text;
  return result;
}

}  // namespace TrackingService

// Where the tracking service is: the environment variable, else the
// desktop's settings files, else the service on loopback. Read anew for every
// query, so that an edited settings file counts from the next one; nothing is
// ever written.
#pragma once

#include <QString>
#include <QStringList>

namespace ServiceAddress {

inline const QString kVariable = QStringLiteral("COURIER_QUERY_SERVICE");
inline const QString kKey = QStringLiteral("Service");
inline const QString kDefault = QStringLiteral("http://127.0.0.1:8765");

// The service the program uses, and where that came from.
struct Service {
  // The base address, without trailing slashes: the query address is built on it.
  QString base;
  // Where it was read: kVariable, a settings file's path, or empty for kDefault.
  QString origin;
  // Why no query can be sent, in one line for the user (the address or the
  // file it names included); empty when the service can be used.
  QString problem;
};

// The settings files that may name the service, the one that wins first:
// courier-query/courier-query.conf under $XDG_CONFIG_HOME (~/.config when it
// is not an absolute path), then under each absolute folder of
// $XDG_CONFIG_DIRS in order (/etc/xdg when there is none).
QStringList settingsFiles();

// The service: kVariable when it is set and not blank; else Service= from the
// first settings file that has it not blank; else kDefault. Blanks around the
// address are dropped. A file that exists but cannot be read, or that is
// malformed and has no Service= that could be read, stops the search with a
// problem, as does an address that is not usable (UnusableBecause).
Service find();

// Why `address` cannot be a service's base address, as a short clause;
// empty when it can: an http or https address with a host, a port from 1 to
// 65535 if it names one, and no query ("?") or fragment ("#"), which the
// query's own path and keys would end up in.
QString unusableBecause(const QString& address);

// The host and the port a base address is reached at, as messages name it:
// "127.0.0.1:8765", "[::1]:8765", "track.example:443" (the scheme's port
// when the address names none).
QString hostAndPort(const QString& base);

}  // namespace ServiceAddress

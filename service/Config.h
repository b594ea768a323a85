// The service's settings: the configuration file's Key=Value lines, then the
// command line, whose options override the file.
//
// The file (/etc/courier-query-service.conf, or the one --config names) holds
//   Listen=ADDRESS:PORT   (IPv6 in brackets: [::1]:8765)
//   Database=FILE or postgresql://…
//   TokenFile=FILE
//   Threads=N
// with blank lines and lines starting with '#' skipped, blanks around keys
// and values dropped, and relative paths read from the file's own folder.
// An empty value keeps the default. An unknown key, a key given twice or a
// bad value is a fault that names FILE:LINE.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace TrackingService {

inline constexpr const char* kDefaultConfigFile = "/etc/courier-query-service.conf";
inline constexpr int kDefaultPort = 8765;
// Enough request threads that 64 kept-alive clients are served at once; each
// thread has a database connection of its own.
inline constexpr int kDefaultThreads = 64;
inline constexpr int kMostThreads = 1024;
inline constexpr int kLongestDelayMs = 3600000;  // an hour

struct Settings {
  std::string host = "127.0.0.1";
  int port = kDefaultPort;
  std::string database;             // SQLite file or postgresql:// address; see defaultDatabase()
  std::filesystem::path tokenFile;  // empty: no tokens, no client may send events
  int threads = kDefaultThreads;
  // How long each request waits before it is answered, as if the service
  // were far away: for tests and benchmarks of clients.
  std::chrono::milliseconds answerDelay{0};
};

// $STATE_DIRECTORY/events.sqlite when the variable is set (its first folder,
// as systemd sets it for a StateDirectory=), else
// /var/lib/courier-query-service/events.sqlite.
std::string defaultDatabase();

enum class Command { Serve, Import, Help };

// What the command line asks for. Options that it does not give stay unset.
struct CommandLine {
  Command command = Command::Serve;
  std::filesystem::path importFile;  // Import: the file to import
  std::optional<std::filesystem::path> configFile;
  std::optional<std::string> listen, host, database;
  std::optional<int> port, threads, delayMs;
  std::optional<std::filesystem::path> tokenFile, seedFile;
};

struct CommandLineResult {
  CommandLine commandLine;
  std::string fault;  // a usage error; empty when the command line is sound
};
CommandLineResult parseCommandLine(int argc, const char* const* argv);

// The usage, as --help prints it.
extern const char* const kUsage;

// Reads the configuration file's text into `settings`, with relative paths
// taken from `folder`; `name` is the file's name for the faults
// ("NAME:LINE: …"). Returns the fault, or an empty string.
std::string applyConfigText(std::string_view text, const std::string& name,
                            const std::filesystem::path& folder, Settings& settings);

// The settings for `commandLine`: the defaults, then the configuration file
// (the default one only when it exists), then the command line's options.
// On a fault returns nothing and sets `fault`.
std::optional<Settings> resolveSettings(const CommandLine& commandLine, std::string& fault);

// "ADDRESS:PORT", "[IPV6]:PORT", or ADDRESS / [IPV6] alone for the default
// port; nothing when the text is none of these or the port is not 0..65535.
std::optional<std::pair<std::string, int>> parseListen(std::string_view text);
// A port, 0..65535.
std::optional<int> parsePort(std::string_view text);

}  // namespace TrackingService

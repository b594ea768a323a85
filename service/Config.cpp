#include "Config.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <utility>

namespace TrackingService {

const char* const kUsage =
    "usage: courier-query-service [OPTION]...\n"
    "       courier-query-service import FILE [--config FILE] [--database DB]\n"
    "Serves the tracking pages (GET /chaxun), takes events (POST /api/events)\n"
    "and answers health checks (GET /healthz). import adds the events of FILE\n"
    "(TSV, or CSV when its name ends in .csv) to the database, all or none.\n"
    "  --config FILE      settings file (default /etc/courier-query-service.conf)\n"
    "  --listen ADDR:PORT address and port to listen on (default 127.0.0.1:8765)\n"
    "  --host ADDR        address to listen on\n"
    "  --port N           port to listen on, 0 for any free one\n"
    "  --database DB      SQLite file, or a postgresql:// address\n"
    "                     (default /var/lib/courier-query-service/events.sqlite)\n"
    "  --token-file FILE  the tokens that may send events, one per line\n"
    "  --threads N        request threads, each with a database connection (default 64)\n"
    "  --seed FILE        import FILE first when the database holds no event\n"
    "  --delay-ms N       answer each request N ms late (0..3600000), as a far\n"
    "                     service would: for tests and benchmarks of clients\n"
    "  --help             show this text\n";

namespace {

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<int> parseNumber(std::string_view text, int least, int most) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < least || value > most) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> parseThreads(std::string_view text) {
  return parseNumber(text, 1, kMostThreads);
}

bool isPostgresqlAddress(std::string_view text) {
  return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

// A path of the file's, read from `folder` when relative.
std::filesystem::path fromFolder(const std::filesystem::path& folder, std::string_view value) {
  const std::filesystem::path path(value);
  return path.is_relative() ? folder / path : path;
}

// Sets `key` in `settings`; the fault when the key or value is not one.
std::string applySetting(std::string_view key, std::string_view value,
                         const std::filesystem::path& folder, Settings& settings) {
  if (key == "Listen") {
    const auto listen = parseListen(value);
    if (!listen) return "bad Listen \"" + std::string(value) + "\", expected ADDRESS:PORT";
    std::tie(settings.host, settings.port) = *listen;
  } else if (key == "Database") {
    settings.database =
        isPostgresqlAddress(value) ? std::string(value) : fromFolder(folder, value).string();
  } else if (key == "TokenFile") {
    settings.tokenFile = fromFolder(folder, value);
  } else if (key == "Threads") {
    const auto threads = parseThreads(value);
    if (!threads) {
      return "bad Threads \"" + std::string(value) + "\", expected 1.." +
             std::to_string(kMostThreads);
    }
    settings.threads = *threads;
  } else {
    return "unknown key \"" + std::string(key) + "\"";
  }
  return {};
}

// The option's value at argv[i + 1]; moves i past it.
struct OptionReader {
  int argc;
  const char* const* argv;
  int i = 1;
  std::string fault;

  std::optional<std::string_view> value(std::string_view option) {
    if (i + 1 == argc) {
      fault = std::string(option) + " needs a value";
      return std::nullopt;
    }
    return std::string_view(argv[++i]);
  }
};

// Reads one option and its value into `line`; the fault, or an empty string.
std::string readOption(std::string_view option, OptionReader& reader, CommandLine& line) {
  const auto value = reader.value(option);
  if (!value) return reader.fault;
  if (option == "--config") {
    line.configFile = *value;
  } else if (option == "--listen") {
    if (!parseListen(*value))
      return "bad address \"" + std::string(*value) + "\", expected ADDRESS:PORT";
    line.listen = *value;
  } else if (option == "--host") {
    line.host = *value;
  } else if (option == "--port") {
    line.port = parsePort(*value);
    if (!line.port) return "bad port \"" + std::string(*value) + "\", expected 0..65535";
  } else if (option == "--database") {
    line.database = *value;
  } else if (option == "--token-file") {
    line.tokenFile = *value;
  } else if (option == "--threads") {
    line.threads = parseThreads(*value);
    if (!line.threads) {
      return "bad thread count \"" + std::string(*value) + "\", expected 1.." +
             std::to_string(kMostThreads);
    }
  } else if (option == "--delay-ms") {
    line.delayMs = parseNumber(*value, 0, kLongestDelayMs);
    if (!line.delayMs) {
      return "bad delay \"" + std::string(*value) + "\", expected 0.." +
             std::to_string(kLongestDelayMs) + " ms";
    }
  } else if (option == "--seed") {
    line.seedFile = *value;
  }
  return {};
}

const std::set<std::string_view> kServeOptions = {
    "--listen", "--host", "--port", "--token-file", "--threads", "--seed", "--delay-ms"};
const std::set<std::string_view> kCommonOptions = {"--config", "--database"};

}  // namespace

std::string defaultDatabase() {
  if (const char* state = std::getenv("STATE_DIRECTORY"); state && *state) {
    const std::string_view folders = state;
    return (std::filesystem::path(folders.substr(0, folders.find(':'))) / "events.sqlite").string();
  }
  return "/var/lib/courier-query-service/events.sqlite";
}

std::optional<int> parsePort(std::string_view text) {
  return parseNumber(text, 0, 65535);
}

std::optional<std::pair<std::string, int>> parseListen(std::string_view text) {
  std::string_view host = text, port;
  if (text.starts_with('[')) {
    const auto close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    const auto rest = text.substr(close + 1);
    if (!rest.empty() && (!rest.starts_with(':') || rest.size() == 1)) return std::nullopt;
    port = rest.empty() ? rest : rest.substr(1);
  } else if (const auto colon = text.find(':'); colon != std::string_view::npos) {
    // A second colon means an IPv6 address without its brackets.
    if (text.find(':', colon + 1) != std::string_view::npos) return std::nullopt;
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (port.empty()) return std::nullopt;
  }
  if (host.empty()) return std::nullopt;
  const auto number = port.empty() ? std::optional<int>(kDefaultPort) : parsePort(port);
  if (!number) return std::nullopt;
  return std::pair(std::string(host), *number);
}

CommandLineResult parseCommandLine(int argc, const char* const* argv) {
  CommandLineResult result;
  CommandLine& line = result.commandLine;
  OptionReader reader{argc, argv, 1, {}};
  std::set<std::string_view> serveOptionsGiven;
  int words = 0;
  for (; reader.i < argc; ++reader.i) {
    const std::string_view argument = argv[reader.i];
    if (argument == "--help" || argument == "-h") {
      line.command = Command::Help;
      return result;
    }
    if (kServeOptions.contains(argument) || kCommonOptions.contains(argument)) {
      if (kServeOptions.contains(argument)) serveOptionsGiven.insert(argument);
      if (auto fault = readOption(argument, reader, line); !fault.empty()) return {{}, fault};
    } else if (argument.starts_with('-') && argument != "-") {
      return {{}, "unknown option \"" + std::string(argument) + "\""};
    } else if (words == 0 && argument == "import") {
      line.command = Command::Import;
      ++words;
    } else if (words == 1 && line.command == Command::Import) {
      line.importFile = argument;
      ++words;
    } else {
      return {{}, "unexpected argument \"" + std::string(argument) + "\""};
    }
  }
  if (line.command == Command::Import) {
    if (words < 2) return {{}, "import needs the FILE to import"};
    if (!serveOptionsGiven.empty()) {
      return {{}, std::string(*serveOptionsGiven.begin()) + " is not an option of import"};
    }
  }
  return result;
}

std::string applyConfigText(std::string_view text, const std::string& name,
                            const std::filesystem::path& folder, Settings& settings) {
  std::set<std::string, std::less<>> seen;
  for (int number = 1; !text.empty(); ++number) {
    const auto end = std::min(text.find('\n'), text.size());
    const auto line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.starts_with('#')) continue;
    const auto at = [&](const std::string& message) {
      return name + ':' + std::to_string(number) + ": " + message;
    };
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return at("expected Key=Value");
    const auto key = trimmed(line.substr(0, equals));
    const auto value = trimmed(line.substr(equals + 1));
    if (!seen.emplace(key).second) return at(std::string(key) + " is given twice");
    if (value.empty()) continue;
    if (auto fault = applySetting(key, value, folder, settings); !fault.empty()) return at(fault);
  }
  return {};
}

std::optional<Settings> resolveSettings(const CommandLine& line, std::string& fault) {
  Settings settings;
  const std::filesystem::path file = line.configFile.value_or(kDefaultConfigFile);
  std::error_code error;
  if (line.configFile || std::filesystem::exists(file, error)) {
    std::ifstream in;
    if (!std::filesystem::is_directory(file, error)) in.open(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
      fault = file.string() + ": cannot read the file";
      return std::nullopt;
    }
    fault = applyConfigText(text, file.string(), file.parent_path(), settings);
    if (!fault.empty()) return std::nullopt;
  }
  if (line.listen) std::tie(settings.host, settings.port) = *parseListen(*line.listen);
  if (line.host) settings.host = *line.host;
  if (line.port) settings.port = *line.port;
  if (line.database) settings.database = *line.database;
  if (line.tokenFile) settings.tokenFile = *line.tokenFile;
  if (line.threads) settings.threads = *line.threads;
  if (line.delayMs) settings.answerDelay = std::chrono::milliseconds(*line.delayMs);
  if (settings.database.empty()) settings.database = defaultDatabase();
  return settings;
}

}  // namespace TrackingService

// The baseline of the service benchmark: the tracking service's own request
// handling and server set-up over the in-memory table that the service kept
// before it had a database, every shipment's events read from a TSV file at
// start into a sorted map. It takes no events.
//   bench-memory-service FILE THREADS
// listens on a free loopback port and names it as the service does.
#include "ImportFile.h"
#include "TrackingServer.h"

#include <httplib.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>

using namespace TrackingService;

namespace {

class MemoryTable : public EventStore {
 public:
  // Newest first; of two events with the same time the later line first.
  void add(const ShipmentEvent& event) {
    auto& events = table_[{event.code, event.number}];
    const auto later = std::find_if(events.begin(), events.end(), [&](const TrackingEvent& e) {
      return e.time <= event.event.time;
    });
    events.insert(later, event.event);
  }

  Lookup lookup(const std::string& code, const std::string& number) override {
    const auto found = table_.find({code, number});
    return {found == table_.end() ? std::vector<TrackingEvent>() : found->second, {}};
  }
  Stored store(const std::vector<ShipmentEvent>&) override {
    return {0, 0, "the in-memory table takes no events"};
  }
  std::string check() override { return {}; }

 private:
  std::map<std::pair<std::string, std::string>, std::vector<TrackingEvent>> table_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: bench-memory-service FILE THREADS\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  ImportReader reader(in, ImportFormat::Tsv);
  MemoryTable table;
  for (ShipmentEvent event; reader.next(event);) table.add(event);
  if (reader.error() || !in.eof()) {
    std::cerr << "bench-memory-service: " << argv[1] << ": cannot read it\n";
    return 1;
  }
  httplib::Server server;
  configureServer(server, std::stoi(argv[2]));
  const Tokens noTokens;
  installHandlers(server, table, noTokens);
  const int port = bindServer(server, "127.0.0.1", 0);
  std::cerr << "bench-memory-service: listening on http://127.0.0.1:" << port << std::endl;
  server.listen_after_bind();
  return 0;
}

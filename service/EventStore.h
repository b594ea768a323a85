// What the service's request handlers need of the place its events are
// kept. Every member may be called from several threads at once.
#pragma once

#include "TrackingData.h"

#include <cstddef>
#include <string>
#include <vector>

namespace TrackingService {

class EventStore {
 public:
  virtual ~EventStore() = default;

  struct Lookup {
    std::vector<TrackingEvent> events;  // newest first; empty for an unknown shipment
    std::string fault;                  // why the store did not answer; empty when it did
  };
  // The events of one shipment, newest first; of two with the same time the
  // one stored later comes first.
  virtual Lookup lookup(const std::string& code, const std::string& number) = 0;

  struct Stored {
    std::size_t added = 0;  // events that were new
    std::size_t known =
        0;              // events already stored: the same id, or the same time, place and status
    std::string fault;  // why nothing was stored; empty once all are committed
  };
  // Stores `events` in order, all or none. An event is new unless its
  // shipment already has one with the same id or with the same time, place
  // and status; only new events are added.
  virtual Stored store(const std::vector<ShipmentEvent>& events) = 0;

  // Empty when the store answers a query now; else why it does not.
  virtual std::string check() = 0;
};

}  // namespace TrackingService

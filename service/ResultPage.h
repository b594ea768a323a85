// The HTML pages of the tracking service. Every page is a complete
// UTF-8 document that declares its encoding in a meta element; every text from
// the data file or from the request is HTML-escaped.
#pragma once

#include "TrackingData.h"

#include <string>
#include <string_view>
#include <vector>

namespace TrackingService {

// The id of the element that holds a shipment's events.
inline constexpr std::string_view kResultElementId = "queryResult2";

// Replaces & < > " ' by their character references.
std::string escapeHtml(std::string_view text);

// "time  place  status": the fields joined by two spaces.
std::string formatEventLine(const TrackingEvent& event);

// The page for a known shipment: its events in the given order, one line each,
// inside a <pre> with the id kResultElementId, so that the element's rendered
// text has one line per event.
std::string renderShipmentPage(std::string_view code, std::string_view number,
                               const std::vector<TrackingEvent>& events);

// The page for an unknown shipment: a "no record" text and no element with
// the id kResultElementId.
std::string renderNoRecordPage(std::string_view code, std::string_view number);

// The page for a request answered with an error `status`; `reason` is shown.
std::string renderErrorPage(int status, std::string_view reason);

}  // namespace TrackingService

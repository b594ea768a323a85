#include "ReferenceService.h"

ReferenceService::ReferenceService()
    : process_(std::make_unique<ServiceProcess>(
          COURIER_QUERY_TRACKING_SERVICE,
          std::vector<std::string>{"--config", "/dev/null", "--port", "0", "--database",
                                   folder_.filePath("events.sqlite").toStdString(), "--seed",
                                   COURIER_QUERY_SAMPLE_SHIPMENTS})),
      base_(QString::fromStdString(process_->base())) {}

#include "ReferenceService.h"

namespace {

std::vector<std::string> serviceArguments(const QTemporaryDir& folder,
                                          const std::vector<std::string>& options) {
  std::vector<std::string> arguments{"--config",   "/dev/null",
                                     "--port",     "0",
                                     "--database", folder.filePath("events.sqlite").toStdString(),
                                     "--seed",     COURIER_QUERY_SAMPLE_SHIPMENTS};
  arguments.insert(arguments.end(), options.begin(), options.end());
  return arguments;
}

}  // namespace

ReferenceService::ReferenceService(const std::vector<std::string>& options)
    : process_(std::make_unique<ServiceProcess>(COURIER_QUERY_TRACKING_SERVICE,
                                                serviceArguments(folder_, options))),
      base_(QString::fromStdString(process_->base())) {}

#pragma once

#include "procedures/RecoveryPoint.h"

#include <optional>
#include <string>

namespace kelo::procedures {

// The marker's text: one "name=value" line per field of the organisation's
// record, then the statutory folder a month end into July may make.
std::string writeMarker(const RecoveryPoint::Marker& marker);
// nullopt when the file is missing or is not a whole marker.
std::optional<RecoveryPoint::Marker> readMarker(const std::string& path);

} // namespace kelo::procedures

#pragma once

#include <string_view>

#include "core/date_time.h"

namespace quobel {

// Parses a Date header value, keeping the wall-clock time written in it (the zone is ignored).
// Returns 0 for an empty or invalid value.
TDateTime ParseInternetDate(std::string_view value);

}  // namespace quobel

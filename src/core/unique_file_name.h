#pragma once

#include <functional>
#include <string>

#include "core/date_time.h"

namespace quobel {

// A file name (without folder and extension) of 32 lowercase hexadecimal digits that no file in
// the folder has with that extension. The clock is injectable for tests.
std::string UniqueFileName(const std::string& folder, const std::string& extension,
                           const std::function<TDateTime()>& clock = Now);

// A date-time written in general format with up to 15 significant digits ("46000.5123456789").
std::string FloatToGeneralText(double value);

}  // namespace quobel

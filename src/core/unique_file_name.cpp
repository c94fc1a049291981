#include "core/unique_file_name.h"

#include <cstdio>
#include <string>

#include "core/digest.h"
#include "core/file_util.h"

namespace quobel {

std::string FloatToGeneralText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

std::string UniqueFileName(const std::string& folder, const std::string& extension,
                           const std::function<TDateTime()>& clock) {
    for (;;) {
        std::string candidate = Md5Hex(FloatToGeneralText(clock()));
        if (!FileExists(JoinPath(folder, candidate + extension))) {
            return candidate;
        }
    }
}

}  // namespace quobel

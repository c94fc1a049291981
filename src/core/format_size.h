#pragma once

#include <cstdint>
#include <string>

namespace quobel {

struct NumberSeparators {
    char thousands = ',';
    char decimal = '.';
};

// A byte count as shown in lists: "1,023 bytes", "1.5 Kb", "1.02 Mb", or bare "1,048,576".
std::string FormatSize(int32_t value, bool bare, NumberSeparators separators = {});

}  // namespace quobel

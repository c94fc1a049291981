#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace quobel {

// Sizes and intervals are stored as 32-bit integers; larger values keep the nearest one.
constexpr int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace quobel

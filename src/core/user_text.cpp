#include "core/user_text.h"

namespace quobel {

std::string FormatUserText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string text;
    text.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const size_t index = static_cast<size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < args.size()) {
            text += *(args.begin() + index);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace quobel

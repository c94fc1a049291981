#include "core/server_certificate.h"

#include <cctype>

namespace quobel {

std::string FormatFingerprint(const std::string& hex) {
    std::string text;
    text.reserve(hex.size() * 3 / 2);
    for (size_t i = 0; i < hex.size(); ++i) {
        if (i > 0 && i % 2 == 0) {
            text += ':';
        }
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i])));
    }
    return text;
}

}  // namespace quobel

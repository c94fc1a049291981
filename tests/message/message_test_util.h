#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/file_util.h"

namespace quobel::testing {

// Inline messages are written with "\n"; mail has CR LF.
inline std::string Crlf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline std::string SamplePath(const std::string& name) {
    return std::string(QUOBEL_TEST_DATA_DIR) + "/messages/" + name;
}

inline std::string ReadSample(const std::string& name) {
    std::string text;
    ReadWholeFile(SamplePath(name), text);
    return text;
}

inline std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(QUOBEL_TEST_DATA_DIR) + "/messages")) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace quobel::testing

#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace quobel::testing {

struct InspectResult {
    int exitCode = -1;
    std::string output;  // stdout only
};

// Runs quobel-inspect with the arguments (each single-quoted for the shell).
inline InspectResult RunInspect(const std::vector<std::string>& args) {
    std::string command = QUOBEL_INSPECT_PATH;
    for (const std::string& arg : args) {
        command += " '";
        for (const char c : arg) {
            command += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        command += "'";
    }
    command += " 2>/dev/null";
    InspectResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), got);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace quobel::testing

#pragma once

#include <fstream>
#include <map>
#include <string>

namespace quobel::bench {

// The "NAME=value" lines scripts/dovecot-fixture.sh writes about the server it started (HOST,
// POP3_PORT, ...).
inline std::map<std::string, std::string> ReadDovecotFacts(const std::string& file) {
    std::map<std::string, std::string> facts;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            facts[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return facts;
}

}  // namespace quobel::bench

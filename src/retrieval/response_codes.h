#pragma once

#include <string>

namespace quobel {

// A server's refusal text followed, when it starts with a response code of RFC 2449 or
// RFC 3206 ("[IN-USE]", "[LOGIN-DELAY]", "[SYS/TEMP]", "[SYS/PERM]", "[AUTH]"), by a sentence
// saying what it means for the user. Any other text is returned as it is.
std::string WithResponseCodeExplained(const std::string& text);

}  // namespace quobel

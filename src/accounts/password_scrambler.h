#pragma once

#include <string>
#include <string_view>

namespace quobel {

// Reversible scrambling of stored POP3 passwords (Blowfish under a fixed key, chained, Base64).
// It keeps passwords out of plain sight in account files; it is not protection against anyone
// who holds the program.
std::string ScramblePassword(std::string_view plain);
// Throws Error("Base64: Incorrect string format") for text whose length is not a multiple of 4.
std::string UnscramblePassword(std::string_view stored);

}  // namespace quobel

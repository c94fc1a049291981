#pragma once

#include <string>
#include <string_view>

namespace quobel {

// The system's Base64 codec. Decoding is strict about length ("Base64: Incorrect string
// format" unless a multiple of 4) and lenient about characters: anything outside the alphabet
// counts as 63 and nothing is skipped.
std::string Base64Encode(std::string_view bytes);
std::string Base64Decode(std::string_view text);

inline constexpr const char* kBase64FormatError = "Base64: Incorrect string format";

}  // namespace quobel

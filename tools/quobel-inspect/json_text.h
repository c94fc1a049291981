#pragma once

#include <string>
#include <string_view>

namespace quobel::inspect {

// Appends the text as a JSON string, quotes included. Bytes that are not UTF-8 become U+FFFD,
// as the JSON library's replacing dump makes them; runs of plain ASCII are copied whole, so a
// report of thousands of messages is written in a few milliseconds.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace quobel::inspect

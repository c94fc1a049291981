#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quobel {

// MD5 of the bytes as 32 lowercase hexadecimal digits (message keys, file names).
std::string Md5Hex(std::string_view bytes);

std::array<uint8_t, 20> Sha1(std::string_view bytes);

std::string Sha256Hex(std::string_view bytes);

std::string HexLower(const uint8_t* data, size_t size);

}  // namespace quobel

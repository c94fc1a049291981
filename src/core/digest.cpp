#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include "core/digest.h"

#include <cryptopp/md5.h>
#include <cryptopp/sha.h>

namespace quobel {

std::string HexLower(const uint8_t* data, size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(size * 2, '0');
    for (size_t i = 0; i < size; ++i) {
        text[2 * i] = kDigits[data[i] >> 4];
        text[2 * i + 1] = kDigits[data[i] & 0x0F];
    }
    return text;
}

std::string Md5Hex(std::string_view bytes) {
    CryptoPP::Weak::MD5 md5;
    std::array<uint8_t, CryptoPP::Weak::MD5::DIGESTSIZE> digest{};
    md5.CalculateDigest(digest.data(), reinterpret_cast<const CryptoPP::byte*>(bytes.data()),
                        bytes.size());
    return HexLower(digest.data(), digest.size());
}

std::array<uint8_t, 20> Sha1(std::string_view bytes) {
    std::array<uint8_t, 20> digest{};
    CryptoPP::SHA1().CalculateDigest(
        digest.data(), reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    return digest;
}

std::string Sha256Hex(std::string_view bytes) {
    std::array<uint8_t, CryptoPP::SHA256::DIGESTSIZE> digest{};
    CryptoPP::SHA256().CalculateDigest(
        digest.data(), reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    return HexLower(digest.data(), digest.size());
}

}  // namespace quobel

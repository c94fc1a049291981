#include "platform/oauth_pkce.h"

#include <openssl/rand.h>
#include <openssl/sha.h>

#include <array>

#include "core/error.h"

namespace quobel {
namespace {

std::string RandomBytes(size_t count) {
    std::string bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1) {
        throw Error("The system's random source failed");
    }
    return bytes;
}

}  // namespace

std::string Base64UrlEncode(std::string_view bytes) {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t n = (static_cast<uint8_t>(bytes[i]) << 16U) |
                           (static_cast<uint8_t>(bytes[i + 1]) << 8U) |
                           static_cast<uint8_t>(bytes[i + 2]);
        out += kAlphabet[(n >> 18U) & 63U];
        out += kAlphabet[(n >> 12U) & 63U];
        out += kAlphabet[(n >> 6U) & 63U];
        out += kAlphabet[n & 63U];
    }
    if (const size_t rest = bytes.size() - i; rest > 0) {
        uint32_t n = static_cast<uint8_t>(bytes[i]) << 16U;
        if (rest == 2) {
            n |= static_cast<uint8_t>(bytes[i + 1]) << 8U;
        }
        out += kAlphabet[(n >> 18U) & 63U];
        out += kAlphabet[(n >> 12U) & 63U];
        if (rest == 2) {
            out += kAlphabet[(n >> 6U) & 63U];
        }
    }
    return out;
}

std::string OAuthS256Challenge(std::string_view verifier) {
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    SHA256(reinterpret_cast<const unsigned char*>(verifier.data()), verifier.size(), digest.data());
    return Base64UrlEncode(
        std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

TOAuthPkce MakeOAuthPkce() {
    TOAuthPkce pkce;
    pkce.Verifier = Base64UrlEncode(RandomBytes(32));
    pkce.Challenge = OAuthS256Challenge(pkce.Verifier);
    return pkce;
}

std::string MakeOAuthState() {
    return Base64UrlEncode(RandomBytes(16));
}

}  // namespace quobel

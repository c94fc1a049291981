#pragma once

#include <string>
#include <string_view>

namespace quobel {

// Proof Key for Code Exchange (RFC 7636, method S256): the sign-in keeps the verifier, the
// browser carries only its challenge, so a code caught on the way is useless to anyone else.
struct TOAuthPkce {
    std::string Verifier;   // 43 unreserved characters from 32 random bytes
    std::string Challenge;  // BASE64URL(SHA-256(Verifier)), unpadded
};

// A fresh verifier and its challenge, from the system's cryptographic random source.
TOAuthPkce MakeOAuthPkce();

// The S256 challenge of a verifier.
std::string OAuthS256Challenge(std::string_view verifier);

// A fresh unguessable value for the "state" parameter, which ties the browser's answer to the
// sign-in that asked.
std::string MakeOAuthState();

// Base64url without padding (RFC 4648 section 5).
std::string Base64UrlEncode(std::string_view bytes);

}  // namespace quobel

#pragma once

#include <string>

namespace quobel {

// What a server's certificate says about itself, as a refused TLS handshake reports it so that
// the user can decide to trust it.
struct TServerCertificate {
    std::string Host;  // the name the connection was made to
    std::string Subject;
    std::string Issuer;
    std::string ValidFrom;   // "2026-12-10 16:59:26 UTC"
    std::string ValidUntil;  // likewise
    // SHA-256 of the whole certificate, as 64 lowercase hexadecimal digits.
    std::string Fingerprint;
    // SHA-256 of the certificate's SubjectPublicKeyInfo, as 64 lowercase hexadecimal digits:
    // what an account keeps when its user trusts the certificate. It stays the same when the
    // server renews its certificate with the same key.
    std::string KeyPin;
};

// A SHA-256 in hexadecimal as people compare them: upper case, the bytes parted by colons.
std::string FormatFingerprint(const std::string& hex);

}  // namespace quobel

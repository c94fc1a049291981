#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quobel {

class TCancelSignal;

// Whom a TLS handshake accepts. Without a pinned key: a certificate for HostName that the
// system's trust store or, when CAFile is not empty, that extra CA file vouches for. With one:
// exactly the certificate whose public key has that SHA-256 (the user trusted it), whoever
// issued it and whatever name it is made out for.
struct TTlsTrust {
    std::string HostName;
    std::string CAFile;
    // SHA-256 of the SubjectPublicKeyInfo, 64 hexadecimal digits; empty when nothing is pinned.
    std::string PinnedKey;
};

// A connected byte stream to a server. Protocol code talks only to this, so tests can replace
// the network with a transcript. Every failure is an Error carrying the text to report.
class TTransport {
  public:
    virtual ~TTransport() = default;

    // Sends all bytes.
    virtual void Write(std::string_view bytes) = 0;
    // Waits for bytes and stores up to capacity of them; returns how many (at least one), or 0
    // when the peer closed the connection.
    virtual size_t Read(char* buffer, size_t capacity) = 0;
    // Continues the connection in TLS with the server the trust names.
    virtual void StartTls(const TTlsTrust& trust) = 0;
    // Releases the connection; never fails.
    virtual void Close() noexcept = 0;
};

struct TConnectRequest {
    std::string Host;
    int Port = 0;
    int ConnectTimeout = 0;  // milliseconds, for the TCP connection
    int ReadTimeout = 0;     // milliseconds, for each wait for data
    // Raised from another thread to end every wait at once; may be null.
    const TCancelSignal* Cancel = nullptr;
};

// Opens a transport; the default one opens a TCP connection.
using TConnector = std::function<std::unique_ptr<TTransport>(const TConnectRequest&)>;

}  // namespace quobel

#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quobel {

class TCancelSignal;

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
    // Continues the connection in TLS, verifying the server's certificate for hostName against
    // the system's trust store and, when caFile is not empty, that extra CA file.
    virtual void StartTls(const std::string& hostName, const std::string& caFile) = 0;
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

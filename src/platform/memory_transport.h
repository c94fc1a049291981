#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/transport.h"

namespace quobel {

// The far end of an in-memory transport: what the "server" sends, in pieces of ChunkSize bytes
// at most, and what the client wrote. The test keeps it after the session has dropped the
// transport.
struct TMemoryPeer {
    std::string ServerBytes;
    size_t ChunkSize = 65536;
    // When the server bytes run out: true makes the next read fail with "Read timed out." (a
    // silent server), false reports the connection closed.
    bool SilentAtEnd = false;
    std::string ClientBytes;  // "[TLS]\r\n" marks where the client started TLS
    size_t Delivered = 0;
    int Connects = 0;
    bool Closed = false;
};

class TMemoryTransport : public TTransport {
  public:
    explicit TMemoryTransport(std::shared_ptr<TMemoryPeer> peer);
    ~TMemoryTransport() override;

    void Write(std::string_view bytes) override;
    size_t Read(char* buffer, size_t capacity) override;
    void StartTls(const TTlsTrust& trust) override;
    void Close() noexcept override;

    // A connector that hands out transports to the peer, counting the connections.
    static TConnector ConnectorFor(std::shared_ptr<TMemoryPeer> peer);

  private:
    std::shared_ptr<TMemoryPeer> peer_;
    bool open_ = true;
};

}  // namespace quobel

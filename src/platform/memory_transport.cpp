#include "platform/memory_transport.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"

namespace quobel {

TMemoryTransport::TMemoryTransport(std::shared_ptr<TMemoryPeer> peer) : peer_(std::move(peer)) {}

TMemoryTransport::~TMemoryTransport() {
    Close();
}

void TMemoryTransport::Write(std::string_view bytes) {
    if (!open_) {
        throw Error("Not Connected");
    }
    peer_->ClientBytes += bytes;
}

size_t TMemoryTransport::Read(char* buffer, size_t capacity) {
    if (!open_) {
        throw Error("Not Connected");
    }
    const size_t left = peer_->ServerBytes.size() - peer_->Delivered;
    if (left == 0) {
        if (peer_->SilentAtEnd) {
            throw Error("Read timed out.");
        }
        return 0;
    }
    const size_t count = std::min({left, capacity, std::max<size_t>(peer_->ChunkSize, 1)});
    std::memcpy(buffer, peer_->ServerBytes.data() + peer_->Delivered, count);
    peer_->Delivered += count;
    return count;
}

void TMemoryTransport::StartTls(const TTlsTrust&) {
    if (!open_) {
        throw Error("Not Connected");
    }
    peer_->ClientBytes += "[TLS]\r\n";
}

void TMemoryTransport::Close() noexcept {
    if (open_) {
        open_ = false;
        peer_->Closed = true;
    }
}

TConnector TMemoryTransport::ConnectorFor(std::shared_ptr<TMemoryPeer> peer) {
    return [peer = std::move(peer)](const TConnectRequest&) -> std::unique_ptr<TTransport> {
        ++peer->Connects;
        peer->Closed = false;
        return std::make_unique<TMemoryTransport>(peer);
    };
}

}  // namespace quobel

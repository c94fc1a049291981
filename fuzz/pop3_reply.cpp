// Hostile server replies: whatever bytes a server sends, the session fails with an Error or
// succeeds, and never crashes, hangs or reads out of bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "platform/memory_transport.h"
#include "retrieval/qbpop3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    auto peer = std::make_shared<quobel::TMemoryPeer>();
    // The first byte chooses how the server splits its bytes, the second the options.
    peer->ChunkSize = 1 + data[0] % 64;
    const uint8_t options = data[1];
    peer->ServerBytes.assign(reinterpret_cast<const char*>(data) + 2, size - 2);

    quobel::TQBPOP3 pop;
    pop.Connector = quobel::TMemoryTransport::ConnectorFor(peer);
    pop.Username = "user";
    pop.Password = "secret";
    pop.APOP = options & 1;
    pop.TLS = (options & 2) ? quobel::TPOPSecurity::StartTls : quobel::TPOPSecurity::None;
    int64_t lastCount = 0;
    pop.OnWork = [&](quobel::TQBPOP3&, int64_t count) { lastCount = count; };
    try {
        pop.Connect();
    } catch (const quobel::Error&) {
        return 0;
    }
    const auto attempt = [&](auto&& action) {
        try {
            action();
        } catch (const quobel::Error&) {
        }
    };
    std::vector<std::string> lines;
    attempt([&] { lines = pop.ListUniqueIds(); });
    attempt([&] { pop.MessageSize(1); });
    attempt([&] { pop.RetrieveHeader(1, lines); });
    attempt([&] { pop.RetrieveRaw(2, lines); });
    attempt([&] { pop.DeleteOnServer(2); });
    pop.Disconnect();
    return 0;
}

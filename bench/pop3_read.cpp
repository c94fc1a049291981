// Reading a multi-line response is the hot path of a message download. The session's cost is
// measured against the floor: splitting the same bytes into lines with no protocol at all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/transport.h"
#include "retrieval/qbpop3.h"

namespace {

// About 1 MB of 76-byte lines, some dot-stuffed, as a server sends it.
std::string Body() {
    std::string body;
    for (int i = 0; body.size() < 1000000; ++i) {
        body += (i % 50 == 0) ? ".." : "";
        body += std::string(74, static_cast<char>('a' + i % 26));
        body += "\r\n";
    }
    return body;
}

const std::string& Response() {
    static const std::string response = "+OK message follows\r\n" + Body() + ".\r\n";
    return response;
}

// A server that has logged the client in and answers every command with the same response,
// served straight from memory in 64 KB pieces, as a socket would hand them over.
class TRepeatingServer : public quobel::TTransport {
  public:
    void Write(std::string_view) override {}
    size_t Read(char* buffer, size_t capacity) override {
        const std::string& bytes = loggedIn_ < 4 ? kLogin[loggedIn_] : Response();
        const size_t count = std::min({capacity, bytes.size() - at_, size_t{65536}});
        std::memcpy(buffer, bytes.data() + at_, count);
        at_ += count;
        if (at_ == bytes.size()) {
            at_ = 0;
            loggedIn_ += loggedIn_ < 4 ? 1 : 0;
        }
        return count;
    }
    void StartTls(const quobel::TTlsTrust&) override {}
    void Close() noexcept override {}

  private:
    // The greeting, CAPA refused, USER and PASS accepted.
    inline static const std::string kLogin[4] = {"+OK ready\r\n", "-ERR\r\n", "+OK\r\n", "+OK\r\n"};
    int loggedIn_ = 0;
    size_t at_ = 0;
};

void BM_SessionRetrieveRaw(benchmark::State& state) {
    quobel::TQBPOP3 pop;
    pop.Connector = [](const quobel::TConnectRequest&) {
        return std::make_unique<TRepeatingServer>();
    };
    pop.Connect();
    for (auto _ : state) {
        std::vector<std::string> lines;
        pop.RetrieveRaw(1, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Response().size()));
}
BENCHMARK(BM_SessionRetrieveRaw)->Unit(benchmark::kMicrosecond);

void BM_PlainLineSplit(benchmark::State& state) {
    const std::string& bytes = Response();
    for (auto _ : state) {
        std::vector<std::string> lines;
        const char* at = bytes.data();
        const char* end = at + bytes.size();
        while (const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at))) {
            lines.emplace_back(at, lf - at - 1);
            at = lf + 1;
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_PlainLineSplit)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

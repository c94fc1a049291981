// Showing an encrypted body: Base64 decoding, key setup and chained decryption of a large body,
// per cipher, against Base64 decoding alone (the part every body pays anyway).
#include <benchmark/benchmark.h>

#include <string>

#include "accounts/base64.h"
#include "message/encryption.h"
#include "message/encryption_state.h"

namespace {

using namespace quobel;

constexpr const char* kNames[] = {"Blowfish", "Cast128", "Gost", "RC2", "Rijndael", "Twofish"};

class FixedPassword : public PasswordQuery {
  public:
    bool Query(const std::string&, const std::string&, std::string& value) override {
        value = "correct horse";
        return true;
    }
};

std::string PlainBody(size_t size) {
    const std::string line = "The quick brown fox jumps over the lazy dog, again and again.\r\n";
    std::string body;
    while (body.size() < size) {
        body += line;
    }
    body.resize(size);
    return body;
}

std::string EncryptedBody(const char* cipherName, size_t size) {
    const TdmEncryption ciphers;
    TCipher& cipher = *ciphers.FindCipher(cipherName);
    cipher.InitStr("correct horse");
    return Base64Encode(cipher.EncryptCBC(PlainBody(size)));
}

void BM_Base64DecodeOnly(benchmark::State& state) {
    const std::string body = EncryptedBody("Blowfish", static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Base64Decode(body));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Base64DecodeOnly)->Arg(1 << 20)->Arg(64);

void BM_DecryptText(benchmark::State& state) {
    const char* name = kNames[state.range(0)];
    state.SetLabel(name);
    const std::string body = EncryptedBody(name, static_cast<size_t>(state.range(1)));
    FixedPassword query;
    for (auto _ : state) {
        // A fresh set and state per showing, as the reader does.
        const TdmEncryption ciphers;
        TEncryptionState shown(ciphers, &query);
        shown.TestHeader({std::string("X-Quobel-Encryption: ") + name});
        benchmark::DoNotOptimize(shown.DecryptText(body));
    }
    state.SetBytesProcessed(state.iterations() * state.range(1));
}
BENCHMARK(BM_DecryptText)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {1 << 20, 64}});

}  // namespace

BENCHMARK_MAIN();

// Message bodies come from any server: the header test and DecryptText must take any bytes.
// Input: the header lines up to the first empty line, then the body text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "message/encryption.h"
#include "message/encryption_state.h"

namespace {

class FixedPassword : public quobel::PasswordQuery {
  public:
    bool Query(const std::string&, const std::string&, std::string& value) override {
        value = "secret";
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> headerLines;
    while (!input.empty()) {
        const size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        if (line.empty()) {
            break;
        }
        headerLines.emplace_back(line);
    }
    const quobel::TdmEncryption ciphers;
    FixedPassword query;
    quobel::TEncryptionState state(ciphers, &query);
    state.TestHeader(headerLines);
    const std::string body(input);
    const std::string shown = state.DecryptText(body);
    if (state.Cipher == nullptr && shown != body) {
        __builtin_trap();
    }
    return 0;
}

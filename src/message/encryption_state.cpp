#include "message/encryption_state.h"

#include <algorithm>
#include <exception>

#include "accounts/base64.h"
#include "core/strings.h"
#include "message/charset.h"

namespace quobel {
namespace {}  // namespace

TEncryptionState::TEncryptionState(const TdmEncryption& ciphers, PasswordQuery* query)
    : ciphers_(ciphers), query_(query) {}

TEncryptionState::~TEncryptionState() {
    WipeBytes(Password.data(), Password.size());
}

void TEncryptionState::TestHeader(const std::vector<std::string>& headerLines) {
    Encrypted = false;
    Cipher = nullptr;
    const auto header = std::ranges::find_if(headerLines, [](const std::string& line) {
        return line.size() >= kEncryptionHeader.size() &&
               SameTextAscii(std::string_view(line).substr(0, kEncryptionHeader.size()),
                             kEncryptionHeader);
    });
    if (header == headerLines.end()) {
        return;
    }
    // The line is trimmed before the name is cut off, so blanks after the colon beyond the
    // first one stay part of the value.
    const std::string_view line = TrimControls(*header);
    const std::string_view value =
        line.size() > kEncryptionHeader.size() ? line.substr(kEncryptionHeader.size()) : "";
    if (value.empty() || SameTextAscii(value, "PGP")) {
        return;
    }
    Encrypted = true;
    Cipher = ciphers_.FindCipher(value);
}

std::string TEncryptionState::DecryptText(const std::string& text) {
    if (Cipher == nullptr || PasswordRefused) {
        return text;
    }
    if (Password.empty()) {
        if (query_ == nullptr || !query_->Query(kPasswordCaption, kPasswordPrompt, Password)) {
            WipeBytes(Password.data(), Password.size());
            Password.clear();
        }
    }
    if (Password.empty()) {
        PasswordRefused = true;
        return text;
    }
    try {
        const std::string cipherText = Base64Decode(TrimControls(text));
        // The decrypted bytes carry no charset: text without one stays when it is valid UTF-8
        // and is read as Windows-1252 otherwise.
        return TextToUtf8(Cipher->Decrypt(Password, cipherText), "");
    } catch (const std::exception&) {
        // Not Base64, a key the cipher rejects, ...: the body is shown as it came.
        return text;
    }
}

}  // namespace quobel

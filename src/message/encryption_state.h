#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "message/encryption.h"
#include "platform/password_query.h"

namespace quobel {

// What the reader knows about the encryption of the message it shows: whether the message
// carries the encryption header, the cipher it names, the password entered, and whether the
// user refused to give one. A fresh state belongs to every showing of a message, so the password
// is asked at most once per showing.
class TEncryptionState {
  public:
    // `ciphers` and `query` must outlive the state; without a query every prompt counts as
    // cancelled.
    TEncryptionState(const TdmEncryption& ciphers, PasswordQuery* query);
    TEncryptionState(const TEncryptionState&) = delete;
    TEncryptionState& operator=(const TEncryptionState&) = delete;
    ~TEncryptionState();

    // Looks for the first "X-Quobel-Encryption: " line (any letter case) and sets Encrypted and
    // Cipher from its value. "PGP" and an empty value are not ours to decrypt.
    void TestHeader(const std::vector<std::string>& headerLines);

    // The text to show for a body: the decrypted text, or `text` itself when there is no cipher,
    // no password, or the attempt fails in any way (nothing is reported to the user).
    std::string DecryptText(const std::string& text);

    bool Encrypted = false;
    TCipher* Cipher = nullptr;
    std::string Password;
    bool PasswordRefused = false;

  private:
    const TdmEncryption& ciphers_;
    PasswordQuery* query_;
};

inline constexpr std::string_view kEncryptionHeader = "X-Quobel-Encryption: ";
inline constexpr const char* kPasswordCaption = "Password protected email";
inline constexpr const char* kPasswordPrompt = "Please enter the password to decrypt the message:";

}  // namespace quobel

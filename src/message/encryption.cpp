#include "message/encryption.h"

#include <algorithm>

#include "core/strings.h"

namespace quobel {

TdmEncryption::TdmEncryption() {
    ciphers_.push_back(MakeBlowfishCipher());
    ciphers_.push_back(MakeCast128Cipher());
    ciphers_.push_back(MakeGostCipher());
    ciphers_.push_back(MakeRC2Cipher());
    ciphers_.push_back(MakeRijndaelCipher());
    ciphers_.push_back(MakeTwofishCipher());
}

TdmEncryption::~TdmEncryption() = default;

TCipher* TdmEncryption::FindCipher(std::string_view name) const {
    const auto sameText = [name](const std::unique_ptr<TCipher>& cipher) {
        return SameTextAscii(cipher->Name(), name);
    };
    const auto found = std::ranges::find_if(ciphers_, sameText);
    return found == ciphers_.end() ? nullptr : found->get();
}

}  // namespace quobel

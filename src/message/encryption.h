#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "message/cipher.h"

namespace quobel {

// The cipher set for password-encrypted message bodies: one instance of each cipher. The reader
// creates a fresh set for every message it shows and frees it afterwards, so no key material
// outlives the showing.
class TdmEncryption {
  public:
    TdmEncryption();
    TdmEncryption(const TdmEncryption&) = delete;
    TdmEncryption& operator=(const TdmEncryption&) = delete;
    ~TdmEncryption();

    size_t Count() const { return ciphers_.size(); }
    TCipher& Cipher(size_t index) const { return *ciphers_.at(index); }

    // The cipher whose name equals `name` without regard to letter case, or none.
    TCipher* FindCipher(std::string_view name) const;

  private:
    std::vector<std::unique_ptr<TCipher>> ciphers_;
};

}  // namespace quobel

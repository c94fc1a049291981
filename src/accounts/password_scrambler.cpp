#include "accounts/password_scrambler.h"

#include <cryptopp/blowfish.h>

#include <array>
#include <cstdint>

#include "accounts/base64.h"
#include "core/digest.h"

namespace quobel {
namespace {

constexpr std::string_view kPassphrase = "PaperHarbor_14071999_MossyLantern?";
constexpr size_t kBlock = CryptoPP::Blowfish::BLOCKSIZE;
using Block = std::array<uint8_t, kBlock>;

class Scrambler {
  public:
    Scrambler() {
        const auto key = Sha1(kPassphrase);
        encryptor_.SetKey(key.data(), key.size());
        decryptor_.SetKey(key.data(), key.size());
        Block ones;
        ones.fill(0xFF);
        encryptor_.ProcessBlock(ones.data(), initial_.data());
    }

    std::string Encrypt(std::string_view plain) const {
        std::string out(plain.size(), '\0');
        Block chain = initial_;
        size_t i = 0;
        for (; i + kBlock <= plain.size(); i += kBlock) {
            Block x;
            for (size_t j = 0; j < kBlock; ++j) {
                x[j] = static_cast<uint8_t>(plain[i + j]) ^ chain[j];
            }
            encryptor_.ProcessBlock(x.data(), chain.data());
            std::copy(chain.begin(), chain.end(), out.begin() + static_cast<ptrdiff_t>(i));
        }
        XorTail(plain, i, chain, out);
        return out;
    }

    std::string Decrypt(std::string_view cipher) const {
        std::string out(cipher.size(), '\0');
        Block chain = initial_;
        size_t i = 0;
        for (; i + kBlock <= cipher.size(); i += kBlock) {
            Block y;
            std::copy(cipher.begin() + static_cast<ptrdiff_t>(i),
                      cipher.begin() + static_cast<ptrdiff_t>(i + kBlock), y.begin());
            Block x;
            decryptor_.ProcessBlock(y.data(), x.data());
            for (size_t j = 0; j < kBlock; ++j) {
                out[i + j] = static_cast<char>(x[j] ^ chain[j]);
            }
            chain = y;
        }
        XorTail(cipher, i, chain, out);
        return out;
    }

  private:
    // The final partial block: XOR with the encryption of the last chaining value.
    void XorTail(std::string_view in, size_t from, const Block& chain, std::string& out) const {
        if (from == in.size()) {
            return;
        }
        Block pad;
        encryptor_.ProcessBlock(chain.data(), pad.data());
        for (size_t j = 0; from + j < in.size(); ++j) {
            out[from + j] = static_cast<char>(static_cast<uint8_t>(in[from + j]) ^ pad[j]);
        }
    }

    CryptoPP::Blowfish::Encryption encryptor_;
    CryptoPP::Blowfish::Decryption decryptor_;
    Block initial_{};
};

}  // namespace

std::string ScramblePassword(std::string_view plain) {
    return Base64Encode(Scrambler().Encrypt(plain));
}

std::string UnscramblePassword(std::string_view stored) {
    const std::string cipher = Base64Decode(stored);
    return Scrambler().Decrypt(cipher);
}

}  // namespace quobel

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quobel {

// Overwrites memory with 0xFF in a way the optimiser may not drop (key material about to be
// released).
void WipeBytes(void* data, size_t size);

// One block cipher of the set that decrypts password-encrypted message bodies.
//
// The key is the SHA-1 digest of the password, cut to the cipher's maximum key size and padded
// with zero bytes to a length the key schedule accepts. The initial vector is the encryption of
// a block of 0xFF bytes under that key. Decryption is CBC, and a final partial block is XORed
// with the encryption of the last chaining value, so the plain text is exactly as long as the
// cipher text. Every piece of key material is overwritten with 0xFF bytes when it is released.
class TCipher {
  public:
    virtual ~TCipher();
    TCipher(const TCipher&) = delete;
    TCipher& operator=(const TCipher&) = delete;

    // The name that the encryption header of a message uses for this cipher.
    const std::string& Name() const { return name_; }
    size_t BlockSize() const { return blockSize_; }    // bytes
    size_t MaxKeySize() const { return maxKeyBits_; }  // bits

    // Sets up the key schedule and the initial vector from the password.
    void InitStr(std::string_view password);
    bool Initialized() const { return initialized_; }

    // Chained decryption from the current chaining value; needs InitStr.
    std::string DecryptCBC(std::string_view cipherText);
    // The sender's side of the same chaining, for tests and tools; needs InitStr.
    std::string EncryptCBC(std::string_view plainText);
    // The chaining value starts again from the initial vector.
    void Reset();
    // Overwrites the key schedule and both vectors with 0xFF; the cipher is uninitialised.
    void Burn();

    // The whole attempt for one body: key from the password, chained decryption from the initial
    // vector, then Burn, also when something throws.
    std::string Decrypt(std::string_view password, std::string_view cipherText);

    // Single-block operations under the current key; needs InitStr.
    void EncryptBlock(const uint8_t* in, uint8_t* out) const;
    void DecryptBlock(const uint8_t* in, uint8_t* out) const;

    // The key bytes handed to the key schedule for a password (cut and padded as above). The
    // caller wipes them.
    std::string KeyFor(std::string_view password) const;
    // The initial vector of the current key; needs InitStr.
    std::string InitialVector() const;

  protected:
    TCipher(std::string name, size_t blockSize, size_t maxKeyBits);

    // Length in bytes the key schedule takes for a key of `size` bytes (at least `size`).
    virtual size_t ScheduleKeyLength(size_t size) const = 0;
    virtual void SetKey(const uint8_t* key, size_t size) = 0;
    virtual void DoEncryptBlock(const uint8_t* in, uint8_t* out) const = 0;
    virtual void DoDecryptBlock(const uint8_t* in, uint8_t* out) const = 0;
    // Destroys the key schedule and overwrites its memory with 0xFF.
    virtual void WipeKey() = 0;

  private:
    static constexpr size_t kMaxBlock = 16;
    using Block = std::array<uint8_t, kMaxBlock>;

    void RequireKey() const;

    std::string name_;
    size_t blockSize_;
    size_t maxKeyBits_;
    bool initialized_ = false;
    Block initialVector_{};
    Block chain_{};
};

// The six ciphers, by the names the encryption header uses.
std::unique_ptr<TCipher> MakeBlowfishCipher();  // "Blowfish", 64-bit block, 448-bit key
std::unique_ptr<TCipher> MakeCast128Cipher();   // "Cast128", 64-bit block, 128-bit key
std::unique_ptr<TCipher> MakeGostCipher();      // "Gost", 64-bit block, 256-bit key
std::unique_ptr<TCipher> MakeRC2Cipher();       // "RC2", 64-bit block, 1024-bit key
std::unique_ptr<TCipher> MakeRijndaelCipher();  // "Rijndael" (AES), 128-bit block, 256-bit key
std::unique_ptr<TCipher> MakeTwofishCipher();   // "Twofish", 128-bit block, 256-bit key

}  // namespace quobel

#include "message/cipher.h"

#include <cryptopp/gost.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "accounts/base64.h"
#include "core/digest.h"
#include "core/error.h"
#include "message/encryption.h"

namespace quobel {
namespace {

const std::string kPlain = "Meet me at the harbour at noon.\r\n";

std::string Bytes(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Ciphertexts made outside this project from the published description of the format.
TEST(CipherTest, DecryptsReferenceCiphertexts) {
    struct Case {
        const char* name;
        const char* base64;
    };
    const Case cases[] = {
        {"Blowfish", "8tjd7Z17rjkEC5YaGE3P7y3M6pSu9pkqQ48g3nqtYjYs"},
        {"Cast128", "HDvN426d0AJQ+HNt/HXZB1FnPzcN+lk4W5RJeKxg4VdX"},
        {"Gost", "TBmODQVrA/fvrAg+qOKpjPiRv0TswcRL4jIj4L88LfT8"},
        {"RC2", "RsbZxxdhjXDeXr7y5dOJSYw6u4ITZH0la+At4KjoXIms"},
        {"Rijndael", "e3JodnzgaHWaRAhqlsmV2Fyse2MPBcOAW1Yb3VdnOjIv"},
        {"Twofish", "HF6rluQ1cR3Qpf9J7DGxVay3hS0SCRwcdLRZnUsiMV27"},
    };
    const TdmEncryption ciphers;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCipher* cipher = ciphers.FindCipher(c.name);
        ASSERT_NE(cipher, nullptr);
        EXPECT_EQ(cipher->Decrypt("secret", Base64Decode(c.base64)), kPlain);
        EXPECT_FALSE(cipher->Initialized());
    }
}

TEST(CipherTest, SetHasSixCiphersWithTheirSizesAndKeys) {
    struct Case {
        const char* name;
        size_t block;
        size_t maxKeyBits;
        size_t digestBytesUsed;
        size_t keyBytes;
    };
    const Case cases[] = {
        {"Blowfish", 8, 448, 20, 20}, {"Cast128", 8, 128, 16, 16},   {"Gost", 8, 256, 20, 32},
        {"RC2", 8, 1024, 20, 20},     {"Rijndael", 16, 256, 20, 24}, {"Twofish", 16, 256, 20, 24},
    };
    const TdmEncryption ciphers;
    ASSERT_EQ(ciphers.Count(), std::size(cases));
    const auto digest = Sha1("secret");
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const TCipher& cipher = ciphers.Cipher(i);
        EXPECT_EQ(cipher.Name(), c.name);
        EXPECT_EQ(cipher.BlockSize(), c.block);
        EXPECT_EQ(cipher.MaxKeySize(), c.maxKeyBits);
        const std::string expected = Bytes(digest.data(), c.digestBytesUsed) +
                                     std::string(c.keyBytes - c.digestBytesUsed, '\0');
        EXPECT_EQ(cipher.KeyFor("secret"), expected);
    }
}

TEST(CipherTest, FindCipherIgnoresLetterCaseOnly) {
    const TdmEncryption ciphers;
    ASSERT_NE(ciphers.FindCipher("tWoFiSh"), nullptr);
    EXPECT_EQ(ciphers.FindCipher("tWoFiSh")->Name(), "Twofish");
    EXPECT_EQ(ciphers.FindCipher("RC2")->Name(), "RC2");
    EXPECT_EQ(ciphers.FindCipher("AES"), nullptr);
    EXPECT_EQ(ciphers.FindCipher("Twofish "), nullptr);
    EXPECT_EQ(ciphers.FindCipher(""), nullptr);
}

// GOST 28147-89 written out from its parameters: the S-boxes of the GOST R 34.11-94 test
// parameter set (row 0 acts on the least significant four bits), little-endian halves and
// subkeys, K0..K7 three times then K7..K0, the second half written first.
std::array<uint8_t, 8> GostEncrypt(const std::array<uint8_t, 32>& key,
                                   const std::array<uint8_t, 8>& in) {
    static constexpr uint8_t kSBox[8][16] = {
        {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
        {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
        {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
        {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
        {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
        {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
        {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
        {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
    };
    const auto le = [](const uint8_t* p) {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    const auto f = [](uint32_t x) {
        uint32_t y = 0;
        for (int i = 0; i < 8; ++i) {
            y |= uint32_t(kSBox[i][(x >> (4 * i)) & 15]) << (4 * i);
        }
        return y << 11 | y >> 21;
    };
    uint32_t k[8];
    for (int i = 0; i < 8; ++i) {
        k[i] = le(key.data() + 4 * i);
    }
    uint32_t n1 = le(in.data());
    uint32_t n2 = le(in.data() + 4);
    for (int round = 0; round < 32; ++round) {
        const int i = round < 24 ? round % 8 : 7 - round % 8;
        const uint32_t t = n1;
        n1 = n2 ^ f(n1 + k[i]);
        n2 = t;
    }
    // The loop swapped after the last round too, which the cipher does not: n2 goes first.
    std::array<uint8_t, 8> out{};
    for (int i = 0; i < 4; ++i) {
        out[i] = uint8_t(n2 >> (8 * i));
        out[4 + i] = uint8_t(n1 >> (8 * i));
    }
    return out;
}

TEST(CipherTest, GostUsesTestParameterSBoxesAndLittleEndianHalves) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        std::array<uint8_t, 32> key{};
        std::array<uint8_t, 8> in{};
        for (auto& b : key) {
            b = uint8_t(random());
        }
        for (auto& b : in) {
            b = uint8_t(random());
        }
        std::array<uint8_t, 8> out{};
        CryptoPP::GOST::Encryption(key.data(), key.size()).ProcessBlock(in.data(), out.data());
        ASSERT_EQ(out, GostEncrypt(key, in)) << "trial " << trial;
    }

    // The same through the cipher set: the key is the digest followed by 12 zero bytes.
    const TdmEncryption ciphers;
    TCipher& gost = *ciphers.FindCipher("Gost");
    gost.InitStr("secret");
    std::array<uint8_t, 32> key{};
    const std::string keyBytes = gost.KeyFor("secret");
    std::copy(keyBytes.begin(), keyBytes.end(), key.begin());
    std::array<uint8_t, 8> ones;
    ones.fill(0xFF);
    const auto iv = GostEncrypt(key, ones);
    EXPECT_EQ(gost.InitialVector(), Bytes(iv.data(), iv.size()));
}

// Builds ciphertext the way a sender does, block by block from the single-block operation:
// CBC for full blocks, the tail XORed with the encryption of the last chaining value.
std::string ChainedByHand(const TCipher& cipher, const std::string& plain) {
    const size_t n = cipher.BlockSize();
    std::string chain = cipher.InitialVector();
    std::string out;
    size_t i = 0;
    std::string block(n, '\0');
    for (; i + n <= plain.size(); i += n) {
        for (size_t j = 0; j < n; ++j) {
            block[j] = char(plain[i + j] ^ chain[j]);
        }
        cipher.EncryptBlock(reinterpret_cast<const uint8_t*>(block.data()),
                            reinterpret_cast<uint8_t*>(chain.data()));
        out += chain;
    }
    cipher.EncryptBlock(reinterpret_cast<const uint8_t*>(chain.data()),
                        reinterpret_cast<uint8_t*>(block.data()));
    for (size_t j = 0; i + j < plain.size(); ++j) {
        out += char(plain[i + j] ^ block[j]);
    }
    return out;
}

TEST(CipherTest, ChainingWithPartialLastBlockRoundTripsAtEveryLength) {
    const TdmEncryption ciphers;
    std::string message;
    for (int i = 0; i < 70; ++i) {
        message += char(i * 37 + 11);
    }
    for (size_t c = 0; c < ciphers.Count(); ++c) {
        TCipher& cipher = ciphers.Cipher(c);
        SCOPED_TRACE(cipher.Name());
        for (size_t length = 0; length <= message.size(); ++length) {
            const std::string plain = message.substr(0, length);
            cipher.InitStr("pass word");
            const std::string expected = ChainedByHand(cipher, plain);
            const std::string encrypted = cipher.EncryptCBC(plain);
            ASSERT_EQ(encrypted, expected) << "length " << length;
            ASSERT_EQ(cipher.Decrypt("pass word", encrypted), plain) << "length " << length;
        }
    }
}

// A ciphertext shorter than one block is the plain text XOR the encryption of the initial
// vector; 13 bytes under a 64-bit cipher end with 5 bytes XORed against the encryption of the
// first ciphertext block.
TEST(CipherTest, ShortAndPartialBlocksUseTheEncryptedChainingValue) {
    const TdmEncryption ciphers;
    for (const char* name : {"Blowfish", "Twofish"}) {
        SCOPED_TRACE(name);
        TCipher& cipher = *ciphers.FindCipher(name);
        cipher.InitStr("key");
        const std::string iv = cipher.InitialVector();
        std::string pad(cipher.BlockSize(), '\0');
        cipher.EncryptBlock(reinterpret_cast<const uint8_t*>(iv.data()),
                            reinterpret_cast<uint8_t*>(pad.data()));
        const std::string cipherText = "\x01\x02\x03\x04\x05";
        std::string expected;
        for (size_t i = 0; i < cipherText.size(); ++i) {
            expected += char(cipherText[i] ^ pad[i]);
        }
        EXPECT_EQ(cipher.Decrypt("key", cipherText), expected);
    }

    TCipher& blowfish = *ciphers.FindCipher("Blowfish");
    const std::string cipherText = "ABCDEFGHijklm";
    blowfish.InitStr("key");
    std::string pad(8, '\0');
    blowfish.EncryptBlock(reinterpret_cast<const uint8_t*>(cipherText.data()),
                          reinterpret_cast<uint8_t*>(pad.data()));
    const std::string plain = blowfish.Decrypt("key", cipherText);
    ASSERT_EQ(plain.size(), 13u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(plain[8 + i], char(cipherText[8 + i] ^ pad[i])) << i;
    }
}

TEST(CipherTest, SamePasswordSameKeyAndVectorWrongPasswordGivesBytes) {
    const TdmEncryption ciphers;
    TCipher& cipher = *ciphers.FindCipher("Rijndael");
    cipher.InitStr("secret");
    const std::string iv = cipher.InitialVector();
    cipher.InitStr("secret");
    EXPECT_EQ(cipher.InitialVector(), iv);
    cipher.InitStr("Secret");
    EXPECT_NE(cipher.InitialVector(), iv);

    const std::string cipherText = Base64Decode("e3JodnzgaHWaRAhqlsmV2Fyse2MPBcOAW1Yb3VdnOjIv");
    const std::string wrong = cipher.Decrypt("Secret", cipherText);
    EXPECT_EQ(wrong.size(), cipherText.size());
    EXPECT_NE(wrong, kPlain);
}

TEST(CipherTest, BurnLeavesTheCipherUninitialised) {
    const TdmEncryption ciphers;
    TCipher& cipher = *ciphers.FindCipher("Cast128");
    cipher.InitStr("secret");
    ASSERT_TRUE(cipher.Initialized());
    cipher.Burn();
    EXPECT_FALSE(cipher.Initialized());
    uint8_t block[8] = {};
    EXPECT_THROW(cipher.EncryptBlock(block, block), Error);
    EXPECT_THROW(cipher.DecryptCBC("12345678"), Error);
    // The cipher can be keyed again afterwards.
    EXPECT_EQ(
        cipher.Decrypt("secret", Base64Decode("HDvN426d0AJQ+HNt/HXZB1FnPzcN+lk4W5RJeKxg4VdX")),
        kPlain);
}

TEST(CipherTest, WipeBytesOverwritesWithOnes) {
    std::array<uint8_t, 5> key = {1, 2, 3, 4, 5};
    WipeBytes(key.data(), key.size());
    EXPECT_EQ(key, (std::array<uint8_t, 5>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

}  // namespace
}  // namespace quobel

#include "message/encryption_state.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "accounts/base64.h"
#include "message/encryption.h"

namespace quobel {
namespace {

const std::string kPlain = "Meet me at the harbour at noon.\r\n";
const std::string kBlowfishBody = "8tjd7Z17rjkEC5YaGE3P7y3M6pSu9pkqQ48g3nqtYjYs";
const std::string kTwofishBody = "HF6rluQ1cR3Qpf9J7DGxVay3hS0SCRwcdLRZnUsiMV27";

// Answers the prompt from a script: a password is OK with that text, none is Cancel.
class ScriptedPasswordQuery : public PasswordQuery {
  public:
    explicit ScriptedPasswordQuery(std::deque<std::optional<std::string>> answers)
        : answers_(std::move(answers)) {}

    bool Query(const std::string& caption, const std::string& prompt, std::string& value) override {
        Captions.push_back(caption);
        Prompts.push_back(prompt);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected password prompt";
            return false;
        }
        const std::optional<std::string> answer = answers_.front();
        answers_.pop_front();
        if (!answer) {
            return false;
        }
        value = *answer;
        return true;
    }

    std::vector<std::string> Captions;
    std::vector<std::string> Prompts;

  private:
    std::deque<std::optional<std::string>> answers_;
};

TEST(EncryptionHeaderTest, FirstEncryptionHeaderChoosesTheCipher) {
    struct Case {
        std::vector<std::string> lines;
        bool encrypted;
        const char* cipher;  // nullptr: none
    };
    const Case cases[] = {
        {{"Subject: hello"}, false, nullptr},
        {{"From: a@b", "X-Quobel-Encryption: Blowfish"}, true, "Blowfish"},
        {{"x-quobel-encryption: twofish"}, true, "Twofish"},
        {{"X-QUOBEL-ENCRYPTION: RIJNDAEL \t"}, true, "Rijndael"},
        {{"X-Quobel-Encryption: PGP"}, false, nullptr},
        {{"X-Quobel-Encryption: pgp"}, false, nullptr},
        {{"X-Quobel-Encryption: "}, false, nullptr},
        {{"X-Quobel-Encryption:   "}, false, nullptr},
        {{"X-Quobel-Encryption: PGP", "X-Quobel-Encryption: Gost"}, false, nullptr},
        {{"X-Quobel-Encryption: Gost", "X-Quobel-Encryption: PGP"}, true, "Gost"},
        {{"X-Quobel-Encryption: Enigma"}, true, nullptr},
        // The header name needs its colon and one blank, and extra blanks stay in the value.
        {{"X-Quobel-Encryption:Blowfish"}, false, nullptr},
        {{"X-Quobel-Encryption:  Blowfish"}, true, nullptr},
        {{"X-Quobel-Encryption-Note: Blowfish"}, false, nullptr},
    };
    const TdmEncryption ciphers;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.back());
        TEncryptionState state(ciphers, nullptr);
        state.TestHeader(c.lines);
        EXPECT_EQ(state.Encrypted, c.encrypted);
        if (c.cipher == nullptr) {
            EXPECT_EQ(state.Cipher, nullptr);
        } else {
            ASSERT_NE(state.Cipher, nullptr);
            EXPECT_EQ(state.Cipher->Name(), c.cipher);
        }
    }
}

class DecryptTextTest : public ::testing::Test {
  protected:
    // A state for a message whose header names `cipher`, answering prompts from `answers`.
    TEncryptionState& Show(const std::string& cipher,
                           std::deque<std::optional<std::string>> answers) {
        query_.emplace(std::move(answers));
        state_.emplace(ciphers_, &*query_);
        state_->TestHeader({"Subject: harbour", "X-Quobel-Encryption: " + cipher});
        return *state_;
    }
    ScriptedPasswordQuery& Query() { return *query_; }

    TdmEncryption ciphers_;
    std::optional<ScriptedPasswordQuery> query_;
    std::optional<TEncryptionState> state_;
};

TEST_F(DecryptTextTest, AsksOnceAndDecryptsEveryTextOfTheShowing) {
    TEncryptionState& state = Show("Twofish", {"secret"});
    EXPECT_EQ(state.DecryptText(kTwofishBody), kPlain);
    // Surrounding white space and line breaks are not part of the Base64 run.
    EXPECT_EQ(state.DecryptText("\r\n  " + kTwofishBody + "\r\n\r\n"), kPlain);
    ASSERT_EQ(Query().Captions.size(), 1u);
    EXPECT_EQ(Query().Captions[0], "Password protected email");
    EXPECT_EQ(Query().Prompts[0], "Please enter the password to decrypt the message:");
    EXPECT_EQ(state.Password, "secret");
    EXPECT_FALSE(state.PasswordRefused);
}

TEST_F(DecryptTextTest, CancelledOrEmptyPromptShowsTheBodyAndIsNotAskedAgain) {
    for (const std::optional<std::string>& answer :
         {std::optional<std::string>(), std::optional<std::string>("")}) {
        TEncryptionState& state = Show("Blowfish", {answer});
        EXPECT_EQ(state.DecryptText(kBlowfishBody), kBlowfishBody);
        EXPECT_TRUE(state.PasswordRefused);
        EXPECT_EQ(state.DecryptText(kBlowfishBody), kBlowfishBody);
        EXPECT_EQ(Query().Captions.size(), 1u);
    }
    // The next showing of the message starts over.
    TEncryptionState& again = Show("Blowfish", {"secret"});
    EXPECT_EQ(again.DecryptText(kBlowfishBody), kPlain);
}

TEST_F(DecryptTextTest, NoCipherMeansNoPrompt) {
    for (const char* header : {"Enigma", "PGP", ""}) {
        SCOPED_TRACE(header);
        TEncryptionState& state = Show(header, {});
        EXPECT_EQ(state.DecryptText(kBlowfishBody), kBlowfishBody);
        EXPECT_TRUE(Query().Captions.empty());
    }
    TEncryptionState plain(ciphers_, nullptr);
    plain.TestHeader({"Subject: no header"});
    EXPECT_EQ(plain.DecryptText(kBlowfishBody), kBlowfishBody);
}

TEST_F(DecryptTextTest, WithoutAPromptThePasswordCountsAsRefused) {
    TEncryptionState state(ciphers_, nullptr);
    state.TestHeader({"X-Quobel-Encryption: Blowfish"});
    EXPECT_EQ(state.DecryptText(kBlowfishBody), kBlowfishBody);
    EXPECT_TRUE(state.PasswordRefused);
}

TEST_F(DecryptTextTest, BodyThatIsNotOneBase64RunIsShownAsReceived) {
    TEncryptionState& state = Show("Blowfish", {"secret"});
    // A line break inside: 46 characters, not a multiple of four.
    const std::string broken = kBlowfishBody.substr(0, 20) + "\r\n" + kBlowfishBody.substr(20);
    EXPECT_EQ(state.DecryptText(broken), broken);
    // The password stays for the rest of the showing.
    EXPECT_EQ(state.DecryptText(kBlowfishBody), kPlain);
    EXPECT_EQ(Query().Captions.size(), 1u);
}

TEST_F(DecryptTextTest, WrongPasswordShowsMeaninglessText) {
    TEncryptionState& state = Show("Blowfish", {"Secret"});
    const std::string shown = state.DecryptText(kBlowfishBody);
    EXPECT_NE(shown, kPlain);
    EXPECT_NE(shown, kBlowfishBody);
    EXPECT_FALSE(shown.empty());
}

TEST_F(DecryptTextTest, DecryptedBytesBecomeUtf8) {
    struct Case {
        std::string plain;
        std::string shown;
    };
    const Case cases[] = {
        {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"},                // UTF-8 stays
        {"caf\xe9 \x80 \x9f\x81", "caf\xc3\xa9 \xe2\x82\xac \xc5\xb8\xc2\x81"},  // Windows-1252
        {"short", "short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        TCipher& rc2 = *ciphers_.FindCipher("RC2");
        rc2.InitStr("k");
        const std::string body = Base64Encode(rc2.EncryptCBC(c.plain));
        rc2.Burn();
        TEncryptionState& state = Show("rc2", {"k"});
        EXPECT_EQ(state.DecryptText(body), c.shown);
    }
}

}  // namespace
}  // namespace quobel

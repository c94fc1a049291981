#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "support/run_inspect.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::RunInspect;
using testing::TempFolder;

std::string WriteMessage(const TempFolder& folder, const std::string& cipher,
                         const std::string& body) {
    const std::string path = folder.File("message.eml");
    const std::string text =
        "From: Ann <ann@example.org>\r\nTo: bob@example.org\r\nSubject: Harbour\r\n"
        "X-Quobel-Encryption: " +
        cipher + "\r\nContent-Type: text/plain\r\n\r\n" + body + "\r\n";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path;
}

TEST(EncryptionInspectTest, ShowsTheDecryptedTextWithThePassword) {
    const TempFolder folder;
    const std::string path =
        WriteMessage(folder, "Twofish", "HF6rluQ1cR3Qpf9J7DGxVay3hS0SCRwcdLRZnUsiMV27");

    const auto decrypted = RunInspect({"message", path, "--password", "secret"});
    ASSERT_EQ(decrypted.exitCode, 0);
    const auto json = nlohmann::json::parse(decrypted.output);
    EXPECT_EQ(json["ShownText"], "Meet me at the harbour at noon.\r\n");
    EXPECT_EQ(json["Encryption"]["Encrypted"], true);
    EXPECT_EQ(json["Encryption"]["Cipher"], "Twofish");

    // Without a password the prompt counts as cancelled: the body is shown as received.
    const auto stored = nlohmann::json::parse(RunInspect({"message", path}).output);
    EXPECT_EQ(stored["ShownText"], "HF6rluQ1cR3Qpf9J7DGxVay3hS0SCRwcdLRZnUsiMV27\r\n");
    EXPECT_EQ(stored["Encryption"]["PasswordRefused"], true);

    EXPECT_NE(RunInspect({"message", path, "--password"}).exitCode, 0);
}

}  // namespace
}  // namespace quobel

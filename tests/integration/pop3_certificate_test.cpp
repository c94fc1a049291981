// A server with a self-signed certificate, as small providers and self-hosted servers have:
// refused, trusted by its key, then refused again once the server shows another key. And the
// account test against a real server. Each test runs a Dovecot of its own, whose certificate it
// changes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include "core/error.h"
#include "core/server_certificate.h"
#include "retrieval/account_test.h"
#include "retrieval/qbpop3.h"
#include "support/loopback_listener.h"
#include "support/private_dovecot.h"

namespace quobel {
namespace {

using ::testing::HasSubstr;
using testing::LoopbackListener;
using testing::PrivateDovecot;
using ::testing::StartsWith;
using testing::UnusedLoopbackPort;

const char kUser[] = "ann";
const char kPassword[] = "pass word";

PrivateDovecot::User Ann() {
    return {kUser, kPassword, {{"m1", "Subject: one\n\n1\n"}, {"m2", "Subject: two\n\n2\n"}}};
}

// The certificate the session refused (with the error's text), or null when it connected.
std::shared_ptr<const TServerCertificate> Refusal(TQBPOP3& pop, std::string& text) {
    try {
        pop.Connect();
        pop.Disconnect();
        text = "(connected)";
        return nullptr;
    } catch (const Error& error) {
        text = error.what();
        return error.Certificate();
    }
}

// openssl's own view of a certificate file: its SHA-256 fingerprint, lowercase, no colons.
std::string OpenSslFingerprint(const std::string& certificateFile) {
    std::string line;
    FILE* pipe = popen(
        ("openssl x509 -noout -fingerprint -sha256 -in '" + certificateFile + "'").c_str(), "r");
    char buffer[256];
    while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) {
        line += buffer;
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    std::string hex;
    for (const char c : line.substr(line.find('=') + 1)) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            hex += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return hex;
}

TEST(ServerCertificateTrust, RefusedThenPinnedThenRefusedWhenTheKeyChanges) {
    PrivateDovecot server({Ann()});
    server.PresentNewSelfSignedCertificate();
    const std::string firstPin = server.PresentedKeyPin();
    ASSERT_EQ(firstPin.size(), 64u);

    const auto session = [&](TPOPSecurity security, const std::string& host,
                             const std::string& pin) {
        auto pop = std::make_unique<TQBPOP3>();
        pop->Host = host;
        pop->Port = security == TPOPSecurity::Tls ? server.Pop3sPort : server.Pop3Port;
        pop->TLS = security;
        pop->Username = kUser;
        pop->Password = kPassword;
        pop->PinnedKey = pin;
        pop->ConnectTimeout = pop->ReadTimeout = 20000;
        return pop;
    };

    // Refused: the certificate and its details come with the failure, for both ways into TLS.
    for (const TPOPSecurity security : {TPOPSecurity::Tls, TPOPSecurity::StartTls}) {
        SCOPED_TRACE(static_cast<int>(security));
        std::string text;
        const auto pop = session(security, "localhost", "");
        const auto refused = Refusal(*pop, text);
        EXPECT_THAT(text, StartsWith("Certificate verification failed: self"));
        EXPECT_THAT(text, HasSubstr("signed certificate"));
        ASSERT_NE(refused, nullptr);
        EXPECT_EQ(refused->Host, "localhost");
        EXPECT_EQ(refused->Subject, "O=Quobel self1,CN=localhost");
        EXPECT_EQ(refused->Issuer, refused->Subject);
        EXPECT_THAT(refused->ValidFrom, ::testing::MatchesRegex("20[0-9-]+ [0-9:]+ UTC"));
        EXPECT_THAT(refused->ValidUntil, ::testing::MatchesRegex("20[0-9-]+ [0-9:]+ UTC"));
        EXPECT_EQ(refused->Fingerprint, OpenSslFingerprint(server.CertificateFile));
        EXPECT_EQ(refused->KeyPin, firstPin);
    }

    // Pinned: accepted, also under a name the certificate is not made out for.
    for (const char* host : {"localhost", "127.0.0.1"}) {
        SCOPED_TRACE(host);
        for (const TPOPSecurity security : {TPOPSecurity::Tls, TPOPSecurity::StartTls}) {
            const auto pop = session(security, host, firstPin);
            ASSERT_NO_THROW(pop->Connect());
            EXPECT_EQ(pop->MessageCount(), 2);
            pop->Disconnect();
        }
    }
    // Without the pin the name still counts.
    {
        std::string text;
        const auto pop = session(TPOPSecurity::Tls, "127.0.0.1", "");
        EXPECT_NE(Refusal(*pop, text), nullptr);
        EXPECT_THAT(text, StartsWith("Certificate verification failed: "));
    }

    // Another certificate with another key on the same host: refused, both keys named.
    server.PresentNewSelfSignedCertificate();
    const std::string secondPin = server.PresentedKeyPin();
    ASSERT_NE(secondPin, firstPin);
    std::string text;
    const auto pop = session(TPOPSecurity::Tls, "localhost", firstPin);
    const auto refused = Refusal(*pop, text);
    EXPECT_EQ(text,
              "Certificate verification failed: the server's certificate changed. Trusted key "
              "SHA-256: " +
                  FormatFingerprint(firstPin) +
                  "; the server's key SHA-256: " + FormatFingerprint(secondPin));
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(refused->KeyPin, secondPin);
    EXPECT_EQ(refused->Subject, "O=Quobel self2,CN=localhost");
    EXPECT_FALSE(pop->Connected());
}

TEST(AccountTestAgainstDovecot, SaysWhatHappened) {
    PrivateDovecot server({Ann()});
    server.PresentNewSelfSignedCertificate();
    const int closedPort = UnusedLoopbackPort();
    struct Case {
        const char* name;
        TPOPSecurity security;
        int port;
        std::string password;
        std::string sentence;
        bool certificate;
    };
    const Case cases[] = {
        {"good login", TPOPSecurity::None, server.Pop3Port, kPassword,
         "Connected: 2 messages on the server", false},
        {"wrong password", TPOPSecurity::None, server.Pop3Port, "wrong",
         "[AUTH] Authentication failed.", false},
        {"TLS refused", TPOPSecurity::Tls, server.Pop3sPort, kPassword,
         "Certificate verification failed: self", true},
        {"closed port", TPOPSecurity::None, closedPort, kPassword,
         "Socket Error # 111: Connection refused", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAccount account;
        account.POP = {
            "localhost", c.port, kUser, c.password, false, c.security, TAuthentication::Password,
            {},          {}};
        std::promise<TAccountTestResult> done;
        const TAccountTest test(account,
                                [&](const TAccountTestResult& result) { done.set_value(result); });
        auto future = done.get_future();
        ASSERT_EQ(future.wait_for(std::chrono::seconds(30)), std::future_status::ready);
        const TAccountTestResult result = future.get();
        EXPECT_THAT(AccountTestSentence(result), StartsWith(c.sentence));
        EXPECT_EQ(result.Certificate != nullptr, c.certificate);
    }
}

TEST(AccountTestAgainstDovecot, CancelEndsASilentServerAtOnce) {
    // Accepts the connection but never greets.
    LoopbackListener silent;
    TAccount account;
    account.POP = {"127.0.0.1",
                   silent.Port(),
                   kUser,
                   kPassword,
                   false,
                   TPOPSecurity::None,
                   TAuthentication::Password,
                   {},
                   {}};
    bool told = false;
    const auto started = std::chrono::steady_clock::now();
    {
        TAccountTest test(account, [&](const TAccountTestResult&) { told = true; });
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        test.Cancel();
    }  // waits for its thread
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_FALSE(told);
}

}  // namespace
}  // namespace quobel

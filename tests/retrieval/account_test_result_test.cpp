// Testing an account: the message count from "STAT" and the one sentence the user reads.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/error.h"
#include "core/server_certificate.h"
#include "platform/memory_transport.h"
#include "retrieval/account_test.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using testing::ErrorOf;

TEST(AccountTestSentence, SaysTheCountOrTheFailureInOneLine) {
    struct Case {
        bool connected;
        int64_t messages;
        std::string failure;
        std::string sentence;
    };
    const Case cases[] = {
        {true, 0, "", "Connected: 0 messages on the server"},
        {true, 1, "", "Connected: 1 message on the server"},
        {true, 999, "", "Connected: 999 messages on the server"},
        {true, 1234, "", "Connected: 1,234 messages on the server"},
        {true, 1234567, "", "Connected: 1,234,567 messages on the server"},
        {false, 0, "[AUTH] Authentication failed.\r\n", "[AUTH] Authentication failed."},
        {false, 0, "Socket Error # 111\r\nConnection refused",
         "Socket Error # 111: Connection refused"},
        {false, 0, "Connect timed out.", "Connect timed out."},
        {false, 0, "Certificate verification failed: self-signed certificate",
         "Certificate verification failed: self-signed certificate"},
        {false, 0, "first line.\r\n\r\nsecond\r\n", "first line. second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        TAccountTestResult result;
        result.Connected = c.connected;
        result.Messages = c.messages;
        result.Failure = c.failure;
        EXPECT_EQ(AccountTestSentence(result), c.sentence);
    }
}

TEST(AccountTestRun, LogsInCountsWithStatAndSaysGoodbye) {
    struct Case {
        const char* name;
        std::string server;
        bool connected;
        int64_t messages;
        std::string failure;
        std::string client;
    };
    const std::string login = "CAPA\r\nUSER u\r\nPASS p\r\n";
    const Case cases[] = {
        {"count", "+OK hi\r\n-ERR\r\n+OK\r\n+OK\r\n+OK 1234 567890\r\n", true, 1234, "",
         login + "STAT\r\nQUIT\r\n"},
        {"count without size", "+OK hi\r\n-ERR\r\n+OK\r\n+OK\r\n+OK 7\r\n", true, 7, "",
         login + "STAT\r\nQUIT\r\n"},
        {"refused login", "+OK hi\r\n-ERR\r\n+OK\r\n-ERR [AUTH] Authentication failed.\r\n", false,
         0, "[AUTH] Authentication failed.\r\n", login + "QUIT\r\n"},
        {"refused STAT", "+OK hi\r\n-ERR\r\n+OK\r\n+OK\r\n-ERR locked\r\n", false, 0, "locked\r\n",
         login + "STAT\r\nQUIT\r\n"},
        {"garbled STAT", "+OK hi\r\n-ERR\r\n+OK\r\n+OK\r\n+OK many\r\n", false, 0,
         "Unrecognized STAT reply: many", login + "STAT\r\nQUIT\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::make_shared<TMemoryPeer>();
        peer->ServerBytes = c.server;
        TQBPOP3 session;
        session.Host = "mail.example";
        session.Username = "u";
        session.Password = "p";
        session.Connector = TMemoryTransport::ConnectorFor(peer);
        const TAccountTestResult result = RunAccountTest(session);
        EXPECT_EQ(result.Connected, c.connected);
        EXPECT_EQ(result.Messages, c.messages);
        EXPECT_EQ(result.Failure, c.failure);
        EXPECT_EQ(peer->ClientBytes, c.client);
        EXPECT_FALSE(session.Connected());
    }
}

TEST(AccountTestRun, ACertificateRefusalTravelsWithTheResult) {
    // A transport whose handshake refuses the certificate, as the socket transport does.
    class RefusingTransport : public TMemoryTransport {
      public:
        using TMemoryTransport::TMemoryTransport;
        void StartTls(const TTlsTrust& trust) override {
            auto certificate = std::make_shared<TServerCertificate>();
            certificate->Host = trust.HostName;
            certificate->KeyPin = "ab";
            throw Error("Certificate verification failed: self-signed certificate", certificate);
        }
    };
    auto peer = std::make_shared<TMemoryPeer>();
    TQBPOP3 session;
    session.Host = "mail.example";
    session.TLS = TPOPSecurity::Tls;
    session.Connector = [peer](const TConnectRequest&) {
        return std::make_unique<RefusingTransport>(peer);
    };
    const TAccountTestResult result = RunAccountTest(session);
    EXPECT_FALSE(result.Connected);
    EXPECT_EQ(AccountTestSentence(result),
              "Certificate verification failed: self-signed certificate");
    ASSERT_NE(result.Certificate, nullptr);
    EXPECT_EQ(result.Certificate->Host, "mail.example");
    EXPECT_EQ(peer->ClientBytes, "");  // not a byte after a refused handshake
}

TEST(ServerCertificate, FingerprintsReadAsColonPartedUpperCaseBytes) {
    EXPECT_EQ(FormatFingerprint("0a1bff"), "0A:1B:FF");
    EXPECT_EQ(FormatFingerprint(""), "");
}

}  // namespace
}  // namespace quobel

// Logging in with SASL PLAIN (RFC 5034, RFC 4616): when, and what goes over the wire.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "accounts/base64.h"
#include "platform/memory_transport.h"
#include "retrieval/qbpop3.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using testing::ErrorOf;

const char kCapaPlain[] = "+OK\r\nUSER\r\nSASL PLAIN LOGIN\r\n.\r\n";

TEST(SaslPlain, UsedUnderTlsWhenTheServerListsItAndApopIsNotChosen) {
    const std::string plain = "AUTH PLAIN\r\n" + Base64Encode(std::string("\0u\0p w", 6)) + "\r\n";
    struct Case {
        const char* name;
        TPOPSecurity security;
        bool apop;
        std::string capa;     // the answer to CAPA
        std::string replies;  // to the login commands
        std::string login;    // what the client sends after CAPA
    };
    const Case cases[] = {
        {"TLS, PLAIN listed", TPOPSecurity::Tls, false, kCapaPlain, "+ \r\n+OK in\r\n", plain},
        {"mechanism names ignore case", TPOPSecurity::Tls, false,
         "+OK\r\nSASL login plain\r\n.\r\n", "+\r\n+OK in\r\n", plain},
        {"no TLS", TPOPSecurity::None, false, kCapaPlain, "+OK\r\n+OK\r\n",
         "USER u\r\nPASS p w\r\n"},
        {"only LOGIN listed", TPOPSecurity::Tls, false, "+OK\r\nSASL LOGIN\r\n.\r\n",
         "+OK\r\n+OK\r\n", "USER u\r\nPASS p w\r\n"},
        {"no capabilities", TPOPSecurity::Tls, false, "-ERR\r\n", "+OK\r\n+OK\r\n",
         "USER u\r\nPASS p w\r\n"},
        {"APOP chosen", TPOPSecurity::Tls, true, kCapaPlain, "+OK\r\n",
         "APOP u f453bc9761bae6e0a367bec8663c5dcd\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::make_shared<TMemoryPeer>();
        peer->ServerBytes = "+OK ready <1.2@h>\r\n" + c.capa + c.replies;
        TQBPOP3 pop;
        pop.Host = "mail.example";
        pop.Username = "u";
        pop.Password = "p w";
        pop.TLS = c.security;
        pop.APOP = c.apop;
        pop.Connector = TMemoryTransport::ConnectorFor(peer);
        ASSERT_EQ(ErrorOf([&] { pop.Connect(); }), "(no error)");
        const std::string tls = c.security == TPOPSecurity::Tls ? "[TLS]\r\n" : "";
        EXPECT_EQ(peer->ClientBytes, tls + "CAPA\r\n" + c.login);
    }
}

TEST(SaslPlain, RefusalsFailWithTheServersText) {
    struct Case {
        const char* name;
        std::string replies;
        std::string error;
        bool credentialsSent;
    };
    const Case cases[] = {
        {"wrong password", "+ \r\n-ERR [AUTH] Authentication failed.\r\n",
         "[AUTH] Authentication failed.\r\n", true},
        {"mechanism refused", "-ERR [SYS/TEMP] not now\r\n", "[SYS/TEMP] not now\r\n", false},
        {"no continuation", "* what\r\n", "Unrecognized POP3 Response Header:\n\"* what\r\n\"",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::make_shared<TMemoryPeer>();
        peer->ServerBytes = std::string("+OK ready\r\n") + kCapaPlain + c.replies;
        TQBPOP3 pop;
        pop.Host = "mail.example";
        pop.Username = "u";
        pop.Password = "p";
        pop.TLS = TPOPSecurity::Tls;
        pop.Connector = TMemoryTransport::ConnectorFor(peer);
        EXPECT_EQ(ErrorOf([&] { pop.Connect(); }), c.error);
        EXPECT_FALSE(pop.Connected());
        EXPECT_EQ(
            peer->ClientBytes.find(Base64Encode(std::string("\0u\0p", 4))) != std::string::npos,
            c.credentialsSent);
        EXPECT_TRUE(peer->Closed);
    }
}

}  // namespace
}  // namespace quobel

// SASL PLAIN against Dovecot, which lists "SASL PLAIN LOGIN": what the session sends, seen on
// the wire through a recording transport around the real socket.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dovecot_helper/dovecot.h"
#include "platform/socket_transport.h"
#include "retrieval/qbpop3.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using testing::Configure;
using testing::CreateMailUser;
using testing::Dovecot;
using testing::ErrorOf;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::PutMessage;

// The real transport, with every command the client writes kept.
class RecordingTransport : public TTransport {
  public:
    RecordingTransport(std::unique_ptr<TTransport> inner, std::shared_ptr<std::string> sent)
        : inner_(std::move(inner)), sent_(std::move(sent)) {}
    void Write(std::string_view bytes) override {
        *sent_ += bytes;
        inner_->Write(bytes);
    }
    size_t Read(char* buffer, size_t capacity) override { return inner_->Read(buffer, capacity); }
    void StartTls(const TTlsTrust& trust) override { inner_->StartTls(trust); }
    void Close() noexcept override { inner_->Close(); }

  private:
    std::unique_ptr<TTransport> inner_;
    std::shared_ptr<std::string> sent_;
};

TEST(DovecotSaslPlain, LogsInWithAuthPlainOnlyUnderTls) {
    const char kPassword[] = "pass word";
    const std::string user = CreateMailUser("sasl", kPassword);
    PutMessage(user, "only", "Subject: x\n\nx\n");
    struct Case {
        const char* name;
        TPOPSecurity tls;
        bool apop;
        std::string password;
        const char* login;  // the command the session logs in with
        std::string error;
    };
    const Case cases[] = {
        {"STLS", TPOPSecurity::StartTls, false, kPassword, "AUTH PLAIN\r\n", "(no error)"},
        {"POP3S", TPOPSecurity::Tls, false, kPassword, "AUTH PLAIN\r\n", "(no error)"},
        {"POP3S, wrong password", TPOPSecurity::Tls, false, "wrong", "AUTH PLAIN\r\n",
         "[AUTH] Authentication failed.\r\n"},
        {"plain TCP", TPOPSecurity::None, false, kPassword, "USER ", "(no error)"},
        {"APOP chosen", TPOPSecurity::StartTls, true, kPassword, "APOP ", "(no error)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto sent = std::make_shared<std::string>();
        TQBPOP3 pop;
        Configure(pop, user, c.password);
        pop.Host = "localhost";  // the test certificate is made out for it
        pop.TLS = c.tls;
        pop.APOP = c.apop;
        if (c.tls == TPOPSecurity::Tls) {
            pop.Port = Dovecot().Pop3sPort;
        }
        pop.Connector = [sent](const TConnectRequest& request) {
            return std::make_unique<RecordingTransport>(ConnectSocket(request), sent);
        };
        EXPECT_EQ(ErrorOf([&] { pop.Connect(); }), c.error);
        EXPECT_THAT(*sent, HasSubstr(c.login));
        if (c.error == "(no error)") {
            EXPECT_EQ(pop.MessageCount(), 1);
            pop.Disconnect();
        }
        if (std::string(c.login) == "AUTH PLAIN\r\n") {
            EXPECT_THAT(*sent, Not(HasSubstr("USER ")));
            EXPECT_THAT(*sent, Not(HasSubstr("PASS ")));
        }
    }
}

}  // namespace
}  // namespace quobel

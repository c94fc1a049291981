// The POP3 session against a real Dovecot server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/digest.h"
#include "core/error.h"
#include "dovecot_helper/dovecot.h"
#include "retrieval/qbpop3.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using testing::Configure;
using testing::CreateMailUser;
using testing::Dovecot;
using ::testing::ElementsAre;
using testing::PutMessage;

const char kPassword[] = "pass word";

// A message that exercises the wire format: dot-stuffing, a line near the length limit,
// 8-bit bytes, a trailing blank and an empty line in the body.
std::string AwkwardMessage() {
    return "From: Ann <ann@example.org>\n"
           "Subject: dots\n"
           "\n"
           ".\n"
           "..\n"
           ".leading dot\n"
           " .\n"
           "caf\xc3\xa9 \xff\n"
           "trailing blank \n"
           "\n" +
           std::string(16000, 'x') + "\n" + "end\n";
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

using testing::ErrorOf;

TEST(DovecotSessionTest, ListsAndRetrievesMessagesByteExact) {
    const std::string user = CreateMailUser("exact", kPassword);
    const std::string first = "Subject: one\n\nfirst body\n";
    PutMessage(user, "m1-first", first);
    PutMessage(user, "m2-awkward", AwkwardMessage());

    TQBPOP3 pop;
    Configure(pop, user, kPassword);
    pop.Connect();
    EXPECT_THAT(pop.ListUniqueIds(), ElementsAre("1 m1-first", "2 m2-awkward"));
    // The server counts the size with CR LF line ends.
    const std::vector<std::string> expected = SplitLines(AwkwardMessage());
    EXPECT_EQ(pop.MessageSize(2), static_cast<int64_t>(AwkwardMessage().size() + expected.size()));

    std::vector<std::string> header;
    pop.RetrieveHeader(2, header);
    EXPECT_THAT(header, ElementsAre("From: Ann <ann@example.org>", "Subject: dots", ""));

    std::vector<std::string> lines;
    pop.RetrieveRaw(2, lines);
    EXPECT_EQ(lines, expected);

    std::vector<std::string> firstLines;
    pop.RetrieveRaw(1, firstLines);
    EXPECT_EQ(firstLines, SplitLines(first));
    pop.Disconnect();
    EXPECT_FALSE(pop.Connected());
}

TEST(DovecotSessionTest, EmptyMailboxAndMissingMessages) {
    const std::string user = CreateMailUser("empty", kPassword);
    TQBPOP3 pop;
    Configure(pop, user, kPassword);
    pop.Connect();
    EXPECT_TRUE(pop.ListUniqueIds().empty());
    std::vector<std::string> lines;
    pop.RetrieveRaw(1, lines);  // -ERR: empty, no failure
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(ErrorOf([&] { pop.MessageSize(1); }), "There's no message 1.\r\n");
    EXPECT_EQ(ErrorOf([&] { pop.DeleteOnServer(1); }), "There's no message 1.\r\n");
    EXPECT_TRUE(pop.Connected());
    pop.Disconnect();
}

TEST(DovecotSessionTest, DeletionTakesEffectOnlyAfterQuit) {
    const std::string user = CreateMailUser("dele", kPassword);
    PutMessage(user, "a", "Subject: a\n\na\n");
    PutMessage(user, "b", "Subject: b\n\nb\n");
    {
        // Closed without "QUIT": the server rolls the deletion back.
        TQBPOP3 pop;
        Configure(pop, user, kPassword);
        pop.Connect();
        pop.DeleteOnServer(1);
    }
    TQBPOP3 pop;
    Configure(pop, user, kPassword);
    pop.Connect();
    EXPECT_THAT(pop.ListUniqueIds(), ElementsAre("1 a", "2 b"));
    pop.DeleteOnServer(1);
    pop.Disconnect();
    pop.Connect();
    EXPECT_THAT(pop.ListUniqueIds(), ElementsAre("1 b"));
    pop.Disconnect();
}

TEST(DovecotSessionTest, LoginsOverEveryTransport) {
    const std::string user = CreateMailUser("login", kPassword);
    PutMessage(user, "only", "Subject: x\n\nx\n");
    struct Case {
        const char* name;
        TPOPSecurity tls;
        bool apop;
    };
    const Case cases[] = {
        {"USER/PASS", TPOPSecurity::None, false}, {"APOP", TPOPSecurity::None, true},
        {"STLS", TPOPSecurity::StartTls, false},  {"STLS APOP", TPOPSecurity::StartTls, true},
        {"POP3S", TPOPSecurity::Tls, false},      {"POP3S APOP", TPOPSecurity::Tls, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQBPOP3 pop;
        Configure(pop, user, kPassword);
        // The test certificate is made out for localhost.
        pop.Host = "localhost";
        pop.TLS = c.tls;
        pop.APOP = c.apop;
        if (c.tls == TPOPSecurity::Tls) {
            pop.Port = Dovecot().Pop3sPort;
        }
        ASSERT_NO_THROW(pop.Connect());
        // Dovecot offers STLS only on the plain connection, and pipelines everywhere.
        EXPECT_TRUE(pop.Capabilities().Pipelining());
        EXPECT_EQ(pop.Capabilities().Has("STLS"), c.tls == TPOPSecurity::None);
        EXPECT_THAT(pop.ListUniqueIds(), ElementsAre("1 only"));
        pop.Disconnect();
    }
}

TEST(DovecotSessionTest, RefusedLoginsAndUntrustedCertificates) {
    const std::string user = CreateMailUser("refused", kPassword);
    struct Case {
        const char* name;
        std::string host;
        TPOPSecurity tls;
        bool apop;
        std::string password;
        bool trustCA;
        std::string error;
    };
    const Case cases[] = {
        {"wrong password", "localhost", TPOPSecurity::None, false, "wrong", true,
         "[AUTH] Authentication failed.\r\n"},
        {"wrong APOP secret", "localhost", TPOPSecurity::StartTls, true, "wrong", true,
         "[AUTH] Authentication failed.\r\n"},
        {"unknown CA", "localhost", TPOPSecurity::Tls, false, kPassword, false,
         "Certificate verification failed: unable to get local issuer certificate"},
        {"wrong host name", "127.0.0.1", TPOPSecurity::StartTls, false, kPassword, true,
         "Certificate verification failed: IP address mismatch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TQBPOP3 pop;
        Configure(pop, user, c.password);
        pop.Host = c.host;
        pop.TLS = c.tls;
        pop.APOP = c.apop;
        if (!c.trustCA) {
            pop.CAFile.clear();
        }
        if (c.tls == TPOPSecurity::Tls) {
            pop.Port = Dovecot().Pop3sPort;
        }
        EXPECT_EQ(ErrorOf([&] { pop.Connect(); }), c.error);
        EXPECT_FALSE(pop.Connected());
    }
}

// The inspect tool is how users find out why an account fails.
TEST(DovecotSessionTest, InspectToolRunsOneCommand) {
    const std::string user = CreateMailUser("inspect", kPassword);
    const std::string message = "Subject: hi\n\nbody\n";
    PutMessage(user, "u1", message);
    const auto run = [&](const std::string& password, const std::string& command, int& status) {
        const std::string line = std::string(QUOBEL_INSPECT_PATH) + " pop3 --host localhost" +
                                 " --port " + std::to_string(Dovecot().Pop3Port) + " --user " +
                                 user + " --password '" + password + "' --tls stls --ca " +
                                 Dovecot().CAFile + " " + command;
        FILE* pipe = popen(line.c_str(), "r");
        std::string output;
        std::array<char, 4096> buffer;
        while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) {
            output.append(buffer.data(), n);
        }
        status = WEXITSTATUS(pclose(pipe));
        SCOPED_TRACE(output);
        std::fprintf(stderr, "%s\n", output.c_str());
        return nlohmann::json::parse(output);
    };
    int status = -1;
    EXPECT_EQ(run(kPassword, "uidl", status)["lines"], nlohmann::json::array({"1 u1"}));
    EXPECT_EQ(status, 0);
    const nlohmann::json retr = run(kPassword, "retr 1", status);
    EXPECT_EQ(retr["sha256"], Sha256Hex("Subject: hi\r\n\r\nbody\r\n"));
    EXPECT_EQ(retr["length"], message.size() + 3);
    const nlohmann::json capa = run(kPassword, "capa", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(capa["pipelining"], true);
    EXPECT_THAT(capa["capabilities"].get<std::vector<std::string>>(),
                ::testing::Contains("PIPELINING"));
    EXPECT_EQ(run("nope", "list 1", status)["error"], "[AUTH] Authentication failed.\r\n");
    EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace quobel

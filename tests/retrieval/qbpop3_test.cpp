// Transcript tests of the POP3 session: server bytes in, client bytes out.
#include "retrieval/qbpop3.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/digest.h"
#include "core/error.h"
#include "platform/memory_transport.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The greeting and a server without capabilities refusing CAPA.
const char kGreeting[] = "+OK ready\r\n-ERR unknown command\r\n";
const char kLoginReplies[] = "+OK\r\n+OK logged in\r\n";
const char kLogin[] = "CAPA\r\nUSER u\r\nPASS p\r\n";

struct Session {
    std::shared_ptr<TMemoryPeer> peer = std::make_shared<TMemoryPeer>();
    TQBPOP3 pop;

    explicit Session(std::string serverBytes, size_t chunk = 65536) {
        peer->ServerBytes = std::move(serverBytes);
        peer->ChunkSize = chunk;
        pop.Host = "mail.example";
        pop.Username = "u";
        pop.Password = "p";
        pop.Connector = TMemoryTransport::ConnectorFor(peer);
    }
    // The client's bytes after the login.
    std::string Sent() const { return peer->ClientBytes.substr(sizeof kLogin - 1); }
};

using testing::ErrorOf;

// The session must read correctly however the server splits its bytes.
class ChunkedTest : public ::testing::TestWithParam<size_t> {};

TEST_P(ChunkedTest, CommandsSendExactLinesAndReadResponses) {
    Session s(std::string(kGreeting) + kLoginReplies +
                  "+OK\r\n1 uid-a\r\n2 uid b \r\n.\r\n"            // UIDL
                  "+OK 2 1200\r\n"                                 // LIST 2
                  "+OK\r\nSubject: x\r\n\r\n.\r\n"                 // TOP 2 0
                  "+OK 9 octets\r\n...\r\n .\r\n..x\r\n\r\n.\r\n"  // RETR 2
                  "+OK deleted\r\n",                               // DELE 2
              GetParam());
    s.pop.Connect();
    ASSERT_TRUE(s.pop.Connected());
    EXPECT_THAT(s.pop.ListUniqueIds(), ElementsAre("1 uid-a", "2 uid b "));
    EXPECT_EQ(s.pop.MessageSize(2), 1200);
    std::vector<std::string> header;
    s.pop.RetrieveHeader(2, header);
    EXPECT_THAT(header, ElementsAre("Subject: x", ""));
    std::vector<std::string> message;
    s.pop.RetrieveRaw(2, message);
    EXPECT_THAT(message, ElementsAre("..", " .", ".x", ""));
    s.pop.DeleteOnServer(2);
    s.pop.Disconnect();
    EXPECT_FALSE(s.pop.Connected());
    EXPECT_TRUE(s.peer->Closed);
    EXPECT_EQ(s.peer->ClientBytes,
              std::string(kLogin) + "UIDL\r\nLIST 2\r\nTOP 2 0\r\nRETR 2\r\nDELE 2\r\nQUIT\r\n");
}

TEST_P(ChunkedTest, CapabilitiesAreReadAfterTheGreeting) {
    Session s(
        "+OK ready\r\n"
        "+OK\r\nUSER\r\n\r\nsasl PLAIN  LOGIN\r\nLOGIN-DELAY 900 USER\r\n..x\r\n.\r\n" +
            std::string(kLoginReplies),
        GetParam());
    s.pop.Connect();
    const TPopCapabilities& capabilities = s.pop.Capabilities();
    EXPECT_THAT(capabilities.Lines(),
                ElementsAre("USER", "sasl PLAIN  LOGIN", "LOGIN-DELAY 900 USER", ".x"));
    EXPECT_FALSE(capabilities.Pipelining());
    EXPECT_TRUE(capabilities.Has("user"));
    EXPECT_THAT(capabilities.SaslMechanisms(), ElementsAre("PLAIN", "LOGIN"));
    EXPECT_EQ(capabilities.LoginDelaySeconds(), 900);
    EXPECT_EQ(s.peer->ClientBytes, kLogin);
}

INSTANTIATE_TEST_SUITE_P(Splits, ChunkedTest, ::testing::Values(1, 2, 7, 65536));

TEST(QBPOP3Test, AServerWithoutCapabilitiesIsNoFailure) {
    struct Case {
        const char* answer;  // to CAPA
        const char* error;   // of Connect, empty when it logs in
        bool pipelining;
    };
    const Case cases[] = {
        {"+OK\r\nPIPELINING\r\nTOP\r\n.\r\n", "", true},
        {"-ERR unknown command\r\n", "", false},
        {"-ERR\r\n", "", false},
        {"+OK\r\n.\r\n", "", false},
        // Not a POP3 status at all: taken as a refusal.
        {"? what\r\n", "", false},
        // The connection lost during the answer leaves nothing to log in over.
        {"+OK\r\nPIPELINING\r\n", "Connection Closed Gracefully.", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Session s(std::string("+OK ready\r\n") + c.answer + (c.error[0] == 0 ? kLoginReplies : ""));
        EXPECT_EQ(ErrorOf([&] { s.pop.Connect(); }), c.error[0] == 0 ? "(no error)" : c.error);
        EXPECT_EQ(s.pop.Connected(), c.error[0] == 0);
        EXPECT_EQ(s.pop.Capabilities().Pipelining(), c.pipelining);
        if (c.error[0] == 0) {
            EXPECT_EQ(s.peer->ClientBytes, kLogin);
        }
    }
}

TEST(QBPOP3Test, CapabilityArgumentsAreReadLeniently) {
    const TPopCapabilities capabilities(
        {"  Pipelining ", "LOGIN-DELAY soon", "SASL", "EXPIRE 30  USER", ""});
    EXPECT_TRUE(capabilities.Pipelining());
    EXPECT_TRUE(capabilities.Has("sasl"));
    EXPECT_THAT(capabilities.SaslMechanisms(), IsEmpty());
    EXPECT_EQ(capabilities.LoginDelaySeconds(), std::nullopt);
    EXPECT_THAT(capabilities.Arguments("expire"), ElementsAre("30", "USER"));
    EXPECT_FALSE(capabilities.Has("PIPE"));
    EXPECT_THAT(capabilities.Lines(),
                ElementsAre("Pipelining", "LOGIN-DELAY soon", "SASL", "EXPIRE 30  USER"));
    EXPECT_TRUE(TPopCapabilities().Empty());
    EXPECT_EQ(TPopCapabilities({"LOGIN-DELAY -5"}).LoginDelaySeconds(), std::nullopt);
    EXPECT_EQ(TPopCapabilities({"LOGIN-DELAY 0"}).LoginDelaySeconds(), 0);
}

TEST(QBPOP3Test, StatusLinesAreParsedAsTheTableSays) {
    struct Case {
        const char* reply;
        const char* outcome;  // "size N", or the error text
    };
    const Case cases[] = {
        {"+ok 1 5\r\n", "size 5"},
        {"+Ok 1 5\r\n", "size 5"},
        {"\r\n  \r\n\t\r\n+OK 1 5\r\n", "size 5"},  // blank lines before the status
        {"  +OK 1 5  \r\n", "size 5"},
        {"+OK\r\n", "size -1"},
        {"+OK 1\r\n", "size 1"},
        {"+OK 77\r\n", "size 77"},  // no blank: the whole text
        {"+OK 1 big\r\n", "size -1"},
        {"-ERR no such message\r\n", "no such message\r\n"},
        {"-err\r\n", "\r\n"},
        {"OK 1 5\r\n", "Unrecognized POP3 Response Header:\n\" 5\r\n\""},
        {"* 1 5\r\n", "Unrecognized POP3 Response Header:\n\"5\r\n\""},
        // Continuation lines, ended by the status code and a blank.
        {"+OK-first\r\n+OK-second\r\n+ok 1 9\r\n", "size 9"},
        {"+OK-1\r\nx\r\n", "size 1"},  // a line shorter than four ends it
        {"-ERR-x\r\n", "-x\r\n"},      // only a three-letter code continues
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        Session s(std::string(kGreeting) + kLoginReplies + c.reply);
        s.pop.Connect();
        std::string outcome;
        try {
            outcome = "size " + std::to_string(s.pop.MessageSize(1));
        } catch (const Error& error) {
            outcome = error.what();
        }
        EXPECT_EQ(outcome, c.outcome);
    }
}

TEST(QBPOP3Test, RefusedUidlAndRetrGiveEmptyResultsWithoutError) {
    Session s(std::string(kGreeting) + kLoginReplies + "-ERR unknown command\r\n-ERR gone\r\n");
    s.pop.Connect();
    EXPECT_THAT(s.pop.ListUniqueIds(), IsEmpty());
    std::vector<std::string> lines;
    s.pop.RetrieveRaw(4, lines);
    EXPECT_THAT(lines, IsEmpty());
    EXPECT_TRUE(s.pop.Connected());
}

TEST(QBPOP3Test, RefusedCommandsFailWithTheServersText) {
    Session s(std::string(kGreeting) + kLoginReplies +
              "-ERR no top\r\n-ERR [IN-USE] locked\r\n-ERR no list\r\n");
    s.pop.Connect();
    std::vector<std::string> lines;
    EXPECT_EQ(ErrorOf([&] { s.pop.RetrieveHeader(1, lines); }), "no top\r\n");
    EXPECT_EQ(ErrorOf([&] { s.pop.DeleteOnServer(1); }), "[IN-USE] locked\r\n");
    EXPECT_EQ(ErrorOf([&] { s.pop.MessageSize(1); }), "no list\r\n");
    EXPECT_TRUE(s.pop.Connected());
}

TEST(QBPOP3Test, LoginFailuresDisconnectWithQuit) {
    struct Case {
        const char* server;
        bool apop;
        const char* error;
        const char* client;
    };
    const Case cases[] = {
        {"-ERR busy\r\n", false, "busy\r\n", "QUIT\r\n"},
        {"+OK\r\n-ERR [AUTH] Authentication failed.\r\n", false,
         "[AUTH] Authentication failed.\r\n", "CAPA\r\nUSER u\r\nPASS p\r\nQUIT\r\n"},
        {"+OK ready\r\n-ERR\r\n", true, "Server do not support APOP (no timestamp)",
         "CAPA\r\nQUIT\r\n"},
        {"+OK ready <no end\r\n-ERR\r\n", true, "Server do not support APOP (no timestamp)",
         "CAPA\r\nQUIT\r\n"},
        {"+OK ready > <\r\n-ERR\r\n", true, "Server do not support APOP (no timestamp)",
         "CAPA\r\nQUIT\r\n"},
        {"", false, "Connection Closed Gracefully.", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        Session s(c.server[0] == 0 ? std::string() : std::string(c.server));
        if (std::string(c.server).starts_with("+OK\r\n")) {
            s.peer->ServerBytes = std::string(kGreeting) + c.server;
        }
        s.pop.APOP = c.apop;
        EXPECT_EQ(ErrorOf([&] { s.pop.Connect(); }), c.error);
        EXPECT_FALSE(s.pop.Connected());
        EXPECT_TRUE(s.peer->Closed);
        EXPECT_EQ(s.peer->ClientBytes, c.client);
    }
}

TEST(QBPOP3Test, ApopSendsTheDigestOfTimestampAndSecret) {
    // The example of RFC 1939.
    Session s(
        "+OK POP3 server ready <1896.697170952@dbc.mtview.ca.us>\r\n-ERR\r\n"
        "+OK maildrop\r\n");
    s.pop.APOP = true;
    s.pop.Username = "mrose";
    s.pop.Password = "tanstaaf";
    s.pop.Connect();
    EXPECT_EQ(s.peer->ClientBytes, "CAPA\r\nAPOP mrose c4c9334bac560ecc979e58001b3e22fb\r\n");
}

TEST(QBPOP3Test, StartTlsComesAfterTheGreetingAndBeforeTheLogin) {
    // One byte at a time: a real server sends nothing more until the handshake is done.
    Session s("+OK ready <1.2@h>\r\n-ERR\r\n+OK begin\r\n-ERR\r\n+OK\r\n", 1);
    s.pop.TLS = TPOPSecurity::StartTls;
    s.pop.APOP = true;
    s.pop.Connect();
    // The greeting's timestamp still counts after the handshake.
    EXPECT_EQ(s.peer->ClientBytes,
              "CAPA\r\nSTLS\r\n[TLS]\r\nCAPA\r\nAPOP u " + Md5Hex("<1.2@h>p") + "\r\n");

    Session refused("+OK ready\r\n-ERR\r\n-ERR not here\r\n");
    refused.pop.TLS = TPOPSecurity::StartTls;
    EXPECT_EQ(ErrorOf([&] { refused.pop.Connect(); }), "STLS not supported by server");
    EXPECT_EQ(refused.peer->ClientBytes, "CAPA\r\nSTLS\r\nQUIT\r\n");

    Session direct(std::string(kGreeting) + kLoginReplies);
    direct.pop.TLS = TPOPSecurity::Tls;
    direct.pop.Connect();
    EXPECT_EQ(direct.peer->ClientBytes, std::string("[TLS]\r\n") + kLogin);
}

TEST(QBPOP3Test, CapabilitiesAreAskedAgainAfterStlsAndTheEarlierAnswerForgotten) {
    // One byte at a time: a real server sends nothing more until the handshake is done.
    Session s(
        "+OK ready\r\n"
        "+OK\r\nSTLS\r\nPIPELINING\r\nSASL PLAIN\r\n.\r\n"  // CAPA
        "+OK begin\r\n"                                     // STLS
        "+OK\r\nSASL PLAIN EXTERNAL\r\n.\r\n"               // CAPA
        "+ \r\n+OK logged in\r\n",                          // AUTH PLAIN
        1);
    s.pop.TLS = TPOPSecurity::StartTls;
    s.pop.Connect();
    EXPECT_THAT(s.pop.Capabilities().Lines(), ElementsAre("SASL PLAIN EXTERNAL"));
    EXPECT_FALSE(s.pop.Capabilities().Pipelining());
    // The protected answer lists PLAIN: the login uses it ("\0u\0p" in Base64).
    EXPECT_EQ(s.peer->ClientBytes, "CAPA\r\nSTLS\r\n[TLS]\r\nCAPA\r\nAUTH PLAIN\r\nAHUAcA==\r\n");

    Session refused("+OK ready\r\n+OK\r\nSTLS\r\nPIPELINING\r\n.\r\n+OK begin\r\n-ERR\r\n" +
                        std::string(kLoginReplies),
                    1);
    refused.pop.TLS = TPOPSecurity::StartTls;
    refused.pop.Connect();
    EXPECT_TRUE(refused.pop.Capabilities().Empty());
}

TEST(QBPOP3Test, PlaintextInjectedBeforeTheHandshakeIsDropped) {
    // An attacker on the path appends a fake reply to the STLS answer.
    Session s("+OK ready\r\n-ERR\r\n+OK begin\r\n+OK injected\r\nPIPELINING\r\n.\r\n");
    s.pop.TLS = TPOPSecurity::StartTls;
    s.peer->ChunkSize = 65536;
    // After the handshake the real server's replies arrive; the injected lines must not be read
    // as the reply to CAPA. The memory peer has no more bytes, so the read finds the end.
    EXPECT_EQ(ErrorOf([&] { s.pop.Connect(); }), "Connection Closed Gracefully.");
    EXPECT_EQ(s.peer->ClientBytes, "CAPA\r\nSTLS\r\n[TLS]\r\nCAPA\r\n");
    EXPECT_TRUE(s.pop.Capabilities().Empty());
}

TEST(QBPOP3Test, LineLengthIsLimitedCountingTheCarriageReturn) {
    const std::string fits(16383, 'a');
    Session ok(std::string(kGreeting) + kLoginReplies + "+OK\r\n" + fits + "\r\n.\r\n");
    ok.pop.Connect();
    std::vector<std::string> lines;
    ok.pop.RetrieveRaw(1, lines);
    EXPECT_THAT(lines, ElementsAre(fits));

    for (const std::string& line : {std::string(16384, 'b') + "\r", std::string(20000, 'c')}) {
        Session s(std::string(kGreeting) + kLoginReplies + "+OK\r\nfirst\r\n" + line +
                  "\n.\r\n+OK\r\n");
        s.pop.Connect();
        std::vector<std::string> got;
        EXPECT_EQ(ErrorOf([&] { s.pop.RetrieveRaw(1, got); }), "Max line length exceeded.");
        EXPECT_THAT(got, ElementsAre("first"));
        // The rest of the line is still due: the session does not read it as a reply.
        EXPECT_FALSE(s.pop.Connected());
        EXPECT_EQ(ErrorOf([&] { s.pop.DeleteOnServer(1); }), "Not Connected");
    }
}

TEST(QBPOP3Test, ServerClosingMidResponseKeepsLinesReadSoFar) {
    Session s(std::string(kGreeting) + kLoginReplies + "+OK\r\nline 1\r\nline 2\r\npart");
    s.pop.Connect();
    std::vector<std::string> lines;
    EXPECT_EQ(ErrorOf([&] { s.pop.RetrieveRaw(1, lines); }), "Connection Closed Gracefully.");
    EXPECT_THAT(lines, ElementsAre("line 1", "line 2"));
    EXPECT_FALSE(s.pop.Connected());
    EXPECT_EQ(ErrorOf([&] { s.pop.ListUniqueIds(); }), "Not Connected");
    s.pop.Disconnect();  // nothing to do, no failure
}

TEST(QBPOP3Test, ReadFailureClosesTheSession) {
    Session s(std::string(kGreeting) + kLoginReplies);
    s.peer->SilentAtEnd = true;
    s.pop.Connect();
    EXPECT_EQ(ErrorOf([&] { s.pop.MessageSize(1); }), "Read timed out.");
    EXPECT_FALSE(s.pop.Connected());
}

TEST(QBPOP3Test, OnWorkCountsBytesOfEachMultiLineResponse) {
    std::string body;
    for (int i = 0; i < 100; ++i) {
        body += "0123456789012345678\r\n";  // 21 bytes a line
    }
    Session s(
        std::string(kGreeting) + kLoginReplies + "+OK\r\n" + body + ".\r\n+OK\r\n" + body + ".\r\n",
        700);
    s.pop.Connect();
    std::vector<int64_t> counts;
    s.pop.OnWork = [&](TQBPOP3& sender, int64_t count) {
        EXPECT_EQ(&sender, &s.pop);
        counts.push_back(count);
    };
    std::vector<std::string> lines;
    s.pop.RetrieveRaw(1, lines);
    ASSERT_FALSE(counts.empty());
    EXPECT_LT(counts.front(), 1400);
    for (size_t i = 1; i < counts.size(); ++i) {
        EXPECT_GT(counts[i], counts[i - 1]);
    }
    EXPECT_GE(counts.back(), static_cast<int64_t>(body.size()));
    EXPECT_LE(counts.back(), static_cast<int64_t>(body.size() + 700));
    // The next response starts counting again from 0.
    const size_t first = counts.size();
    s.pop.RetrieveRaw(1, lines);
    ASSERT_GT(counts.size(), first);
    EXPECT_LT(counts[first], 1400);
    EXPECT_EQ(lines.size(), 200u);
}

TEST(QBPOP3Test, CommandsOnAClosedSessionFail) {
    TQBPOP3 pop;
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(ErrorOf([&] { pop.ListUniqueIds(); }), "Not Connected");
    EXPECT_EQ(ErrorOf([&] { pop.MessageSize(1); }), "Not Connected");
    pop.Disconnect();
}

// The check's conversation: sizes and header blocks of many messages.
namespace headers {

const char kPipelining[] = "+OK ready\r\n+OK\r\nPIPELINING\r\n.\r\n";
const char kLoginPipelining[] = "CAPA\r\nUSER u\r\nPASS p\r\n";

// What RetrieveHeaders handed over, one text per message, and how it ended.
struct Outcome {
    std::vector<std::string> headers;
    std::string error = "(no error)";
};

Outcome Retrieve(Session& s, const std::vector<int>& numbers) {
    Outcome outcome;
    s.pop.Connect();
    try {
        s.pop.RetrieveHeaders(numbers, [&](TQBPOP3::THeader& header) {
            std::string text = std::to_string(header.Number) + " ";
            if (header.Refused) {
                text += "refused " + header.Error;
            } else {
                text += std::to_string(header.Size);
                for (const std::string& line : header.Lines) {
                    text += "|" + line;
                }
            }
            outcome.headers.push_back(text);
        });
    } catch (const Error& error) {
        outcome.error = error.what();
    }
    return outcome;
}

class PipelinedTest : public ::testing::TestWithParam<size_t> {};

TEST_P(PipelinedTest, RepliesAreReadInOrderAndARefusalStaysWithItsMessage) {
    Session s(std::string(kPipelining) + kLoginReplies +
                  "+OK 1 100\r\n+OK\r\nSubject: one\r\n..dot\r\n.\r\n"  // 1
                  "-ERR no such message\r\n-ERR no such message\r\n"    // 2
                  "+OK 7 300\r\n-ERR busy\r\n"                          // 7
                  "+OK 9 400\r\n+OK\r\n.\r\n",                          // 9
              GetParam());
    s.pop.PipelineWindow = 2;
    const Outcome outcome = Retrieve(s, {1, 2, 7, 9});
    EXPECT_THAT(outcome.headers,
                ElementsAre("1 100|Subject: one|.dot", "2 refused no such message\r\n",
                            "7 refused busy\r\n", "9 400"));
    EXPECT_EQ(outcome.error, "(no error)");
    EXPECT_EQ(s.peer->ClientBytes.substr(sizeof kLoginPipelining - 1),
              "LIST 1\r\nTOP 1 0\r\nLIST 2\r\nTOP 2 0\r\nLIST 7\r\nTOP 7 0\r\n"
              "LIST 9\r\nTOP 9 0\r\n");
    EXPECT_TRUE(s.pop.Connected());
}

TEST_P(PipelinedTest, AConnectionLostMidWindowEndsWithTheMessagesAnswered) {
    for (const char* cut : {"+OK 2 20\r\n+OK\r\nSubject: t", "+OK 2 20\r\n", ""}) {
        SCOPED_TRACE(cut);
        Session s(
            std::string(kPipelining) + kLoginReplies + "+OK 1 10\r\n+OK\r\nS: 1\r\n.\r\n" + cut,
            GetParam());
        const Outcome outcome = Retrieve(s, {1, 2, 3});
        EXPECT_THAT(outcome.headers, ElementsAre("1 10|S: 1"));
        EXPECT_EQ(outcome.error, "Connection Closed Gracefully.");
        EXPECT_FALSE(s.pop.Connected());
    }
}

INSTANTIATE_TEST_SUITE_P(Splits, PipelinedTest, ::testing::Values(1, 3, 65536));

TEST(QBPOP3HeadersTest, WithoutPipeliningOneListBringsTheSizesWhenManyAreNew) {
    struct Case {
        const char* name;
        std::vector<int> numbers;
        std::string server;  // after the login
        std::vector<std::string> headers;
        std::string client;  // after the login
    };
    const std::string top = "+OK\r\nS\r\n.\r\n";
    const Case cases[] = {
        {"a handful: each LIST n",
         {2, 5},
         "+OK 2 20\r\n" + top + "+OK 5 50\r\n" + top,
         {"2 20|S", "5 50|S"},
         "LIST 2\r\nTOP 2 0\r\nLIST 5\r\nTOP 5 0\r\n"},
        {"many, with gaps in the numbering",
         {1, 3, 4, 6, 8, 9},
         // Message 8 is missing from the listing: it is asked for alone.
         "+OK 7 messages\r\n1 10\r\n3 30\r\n4 40\r\n6 60\r\n9 90\r\n10 100\r\n.\r\n" + top + top +
             top + top + "-ERR no message 8\r\n" + top,
         {"1 10|S", "3 30|S", "4 40|S", "6 60|S", "8 refused no message 8\r\n", "9 90|S"},
         "LIST\r\nTOP 1 0\r\nTOP 3 0\r\nTOP 4 0\r\nTOP 6 0\r\nLIST 8\r\nTOP 9 0\r\n"},
        {"LIST refused: each LIST n",
         {1, 2, 3, 4, 5, 6},
         "-ERR say which\r\n+OK 1 1\r\n" + top + "+OK 2 2\r\n" + top + "+OK 3 3\r\n" + top +
             "+OK 4 4\r\n" + top + "+OK 5 5\r\n" + top + "+OK 6 many\r\n" + top,
         {"1 1|S", "2 2|S", "3 3|S", "4 4|S", "5 5|S", "6 -1|S"},
         "LIST\r\nLIST 1\r\nTOP 1 0\r\nLIST 2\r\nTOP 2 0\r\nLIST 3\r\nTOP 3 0\r\nLIST 4\r\nTOP 4 "
         "0\r\nLIST 5\r\nTOP 5 0\r\nLIST 6\r\nTOP 6 0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const size_t chunk : {size_t{1}, size_t{65536}}) {
            Session s(std::string(kGreeting) + kLoginReplies + c.server, chunk);
            const Outcome outcome = Retrieve(s, c.numbers);
            EXPECT_EQ(outcome.headers, c.headers);
            EXPECT_EQ(outcome.error, "(no error)");
            EXPECT_EQ(s.Sent(), c.client);
        }
    }
}

TEST(QBPOP3HeadersTest, PipeliningCanBeDeclined) {
    Session s(std::string(kPipelining) + kLoginReplies + "+OK 1 10\r\n+OK\r\n.\r\n");
    s.pop.AllowPipelining = false;
    const Outcome outcome = Retrieve(s, {1});
    EXPECT_THAT(outcome.headers, ElementsAre("1 10"));
    EXPECT_EQ(s.peer->ClientBytes.substr(sizeof kLoginPipelining - 1), "LIST 1\r\nTOP 1 0\r\n");
}

}  // namespace headers
}  // namespace
}  // namespace quobel

// The mailto: URIs that Compose, Reply, Reply to all and Forward hand to the user's mail
// program, and the links that messages carry: what each command writes, that the URI keeps to
// RFC 6068's characters and length, and that reading it back gives what was written.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "message/mailto_reply.h"
#include "message/mailto_uri.h"
#include "message/qb_message.h"

namespace quobel {
namespace {

// Characters a mailto: URI may hold as they are (RFC 6068 with RFC 3986's percent-encoding).
bool AllowedInUri(char c) {
    const std::string_view allowed = "-._~!$'()*+,;:@%?&=";
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           allowed.find(c) != std::string_view::npos;
}

void ExpectWellFormed(const std::string& uri) {
    ASSERT_TRUE(uri.starts_with("mailto:"));
    for (std::size_t i = 0; i < uri.size(); ++i) {
        ASSERT_TRUE(AllowedInUri(uri[i])) << "character " << i << " of " << uri;
        if (uri[i] == '%') {
            ASSERT_LT(i + 2, uri.size());
            ASSERT_TRUE(std::isxdigit(uri[i + 1]) && std::isxdigit(uri[i + 2])) << uri;
        }
    }
}

std::string Message(const std::string& headers, const std::string& body = "Hello\r\n") {
    return headers + "Content-Type: text/plain; charset=utf-8\r\n\r\n" + body;
}

std::string ManyAddresses(const char* prefix, int count) {
    std::string list;
    for (int i = 0; i < count; ++i) {
        list += (i > 0 ? ", " : "") + std::string("\"Person ") + std::to_string(i) + "\" <" +
                prefix + std::to_string(i) + "@example.org>";
    }
    return list;
}

struct CommandCase {
    const char* what;
    std::string message;
    std::string shown;
    TMailCommand command;
    TMailTo expected;  // the body as written, before any cut
};

TEST(MailToTest, EachCommandWritesWhatItMeansAndReadsBack) {
    const std::string oddSubject = "Re:  50% off? A&B = \"deal\" #1 + more";
    const std::string plain = Message(
        "From: \"Mara Ko\" <mara@example.org>\r\nTo: me@example.org, Bo "
        "<bo@example.org>\r\nCc: cy@example.org, ME@Example.org\r\nSubject: Lunch "
        "plans\r\nDate: Tue, 01 Dec 2026 10:00:00 +0000\r\nMessage-ID: "
        "<abc.123@mail.example.org>\r\n");
    const std::string withReplyTo = Message(
        "From: list@example.org\r\nReply-To: \"The list\" <talk@lists.example.org>\r\nTo: "
        "me@example.org\r\nSubject: " +
        oddSubject + "\r\n");
    const std::string nonAscii = Message(
        "From: =?utf-8?q?Zo=C3=AB_=C3=9Cnal?= <zoe@example.org>\r\nTo: "
        "=?utf-8?b?5bGx55Sw?= <yamada@example.jp>\r\nSubject: =?utf-8?q?Gr=C3=BC=C3=9Fe_"
        "=E6=97=A5=E6=9C=AC?=\r\nDate: Wed, 02 Dec 2026 08:30:00 +0100\r\n");
    const std::string crowd =
        Message("From: boss@example.org\r\nTo: " + ManyAddresses("to", 60) +
                "\r\nCc: " + ManyAddresses("cc", 60) + "\r\nSubject: All hands\r\n");
    const std::vector<std::string> own = {"me@example.org"};

    const std::vector<CommandCase> cases = {
        {"compose", plain, "Hello", TMailCommand::Compose, {}},
        {"reply",
         plain,
         "Hello\r\n\r\n> earlier\r\nBye\r\n\r\n",
         TMailCommand::Reply,
         {{"mara@example.org"},
          {},
          "Re: Lunch plans",
          "On Tue, 01 Dec 2026 10:00:00 +0000, Mara Ko wrote:\r\n> Hello\r\n>\r\n>> "
          "earlier\r\n> Bye\r\n",
          "<abc.123@mail.example.org>"}},
        {"reply to all leaves out the user and repeats",
         plain,
         "Hello",
         TMailCommand::ReplyAll,
         {{"mara@example.org", "bo@example.org"},
          {"cy@example.org"},
          "Re: Lunch plans",
          "On Tue, 01 Dec 2026 10:00:00 +0000, Mara Ko wrote:\r\n> Hello\r\n",
          "<abc.123@mail.example.org>"}},
        {"forward",
         plain,
         "Hello\nsecond line",
         TMailCommand::Forward,
         {{},
          {},
          "Fwd: Lunch plans",
          "\r\n-------- Forwarded message --------\r\nSubject: Lunch plans\r\nDate: Tue, 01 Dec "
          "2026 10:00:00 +0000\r\nFrom: Mara Ko <mara@example.org>\r\nTo: me@example.org, "
          "bo@example.org\r\nCc: cy@example.org, ME@Example.org\r\n\r\nHello\r\nsecond line\r\n",
          ""}},
        {"reply goes to Reply-To; odd subject not prefixed twice",
         withReplyTo,
         "",
         TMailCommand::Reply,
         {{"talk@lists.example.org"}, {}, oddSubject, "", ""}},
        {"forward of an odd subject",
         withReplyTo,
         "",
         TMailCommand::Forward,
         {{},
          {},
          "Fwd: " + oddSubject,
          "\r\n-------- Forwarded message --------\r\nSubject: " + oddSubject +
              "\r\nFrom: list@example.org\r\nTo: me@example.org\r\n\r\n",
          ""}},
        {"non-ASCII names and subject",
         nonAscii,
         "Gr\xC3\xBC\xC3\x9F Gott",
         TMailCommand::Reply,
         {{"zoe@example.org"},
          {},
          "Re: Gr\xC3\xBC\xC3\x9F"
          "e \xE6\x97\xA5\xE6\x9C\xAC",
          "On Wed, 02 Dec 2026 08:30:00 +0100, Zo\xC3\xAB \xC3\x9Cnal wrote:\r\n> "
          "Gr\xC3\xBC\xC3\x9F Gott\r\n",
          ""}},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        TQBMessage message;
        message.LoadFromText(c.message);
        const TMailTo mail = MailToFor(c.command, message, c.shown, own);
        EXPECT_EQ(mail.To, c.expected.To);
        EXPECT_EQ(mail.Cc, c.expected.Cc);
        EXPECT_EQ(mail.Subject, c.expected.Subject);
        EXPECT_EQ(mail.Body, c.expected.Body);
        EXPECT_EQ(mail.InReplyTo, c.expected.InReplyTo);
        const std::string uri = MailToUri(mail);
        ExpectWellFormed(uri);
        EXPECT_LE(uri.size(), kMaxMailToLength);
        EXPECT_EQ(ParseMailToUri(uri), mail) << uri;
    }

    // Many recipients: none is cut, even when they alone are longer than the limit; the body
    // then goes.
    TQBMessage message;
    message.LoadFromText(crowd);
    const TMailTo all = MailToFor(TMailCommand::ReplyAll, message, "text", own);
    EXPECT_EQ(all.To.size(), 61u);
    EXPECT_EQ(all.Cc.size(), 60u);
    const std::string uri = MailToUri(all);
    ExpectWellFormed(uri);
    EXPECT_GT(uri.size(), kMaxMailToLength);
    TMailTo back = ParseMailToUri(uri);
    EXPECT_EQ(back.To, all.To);
    EXPECT_EQ(back.Cc, all.Cc);
    EXPECT_EQ(back.Body, "");
}

TEST(MailToTest, ALongBodyIsCutAtALineToFitTheLimit) {
    struct Case {
        const char* what;
        std::string body;
    };
    std::string lines;
    for (int i = 0; i < 400; ++i) {
        lines += "> line " + std::to_string(i) + " \xE2\x82\xAC & more\r\n";
    }
    std::string oneLine;
    for (int i = 0; i < 900; ++i) {
        oneLine += "\xC3\xA9";  // two bytes, six characters encoded
    }
    const Case cases[] = {{"many lines", lines}, {"one long line of non-ASCII", oneLine}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TMailTo mail;
        mail.To = {"a@example.org"};
        mail.Subject = "s";
        mail.Body = c.body;
        const std::string uri = MailToUri(mail);
        ExpectWellFormed(uri);
        EXPECT_LE(uri.size(), kMaxMailToLength);
        EXPECT_GT(uri.size(), kMaxMailToLength - 60);  // the room is used
        const TMailTo back = ParseMailToUri(uri);
        const std::string mark = "\r\n" + std::string(kMailToCutMark);
        ASSERT_TRUE(back.Body.ends_with(mark)) << back.Body.substr(back.Body.size() - 20);
        const std::string kept = back.Body.substr(0, back.Body.size() - mark.size());
        EXPECT_TRUE(c.body.starts_with(kept));
        EXPECT_FALSE(kept.empty());
        if (c.body == lines) {
            EXPECT_TRUE(c.body.substr(kept.size()).starts_with("\r\n"));  // at a line's end
        }
    }
    TMailTo small;
    small.Body = "short";
    EXPECT_EQ(MailToUri(small), "mailto:?body=short");
    EXPECT_EQ(MailToUri(small, 10), "mailto:");  // not even the mark fits
}

TEST(MailToTest, SubjectPrefixesAreNotDoubled) {
    const std::pair<const char*, const char*> replies[] = {
        {"Lunch", "Re: Lunch"},      {"Re: Lunch", "Re: Lunch"}, {"RE:Lunch", "RE:Lunch"},
        {"  re: x", "  re: x"},      {"Fwd: x", "Re: Fwd: x"},   {"", "Re: "},
        {"a\r\nb\tc", "Re: a  b c"}, {"Return", "Re: Return"},
    };
    for (const auto& [subject, expected] : replies) {
        EXPECT_EQ(ReplySubject(subject), expected) << subject;
    }
    const std::pair<const char*, const char*> forwards[] = {
        {"Lunch", "Fwd: Lunch"}, {"Fwd: Lunch", "Fwd: Lunch"}, {"FW: Lunch", "FW: Lunch"},
        {"Re: x", "Fwd: Re: x"}, {"Fwdx", "Fwd: Fwdx"},
    };
    for (const auto& [subject, expected] : forwards) {
        EXPECT_EQ(ForwardSubject(subject), expected) << subject;
    }
}

TEST(MailToTest, LinksInMessagesKeepOnlyWhatWritingNeeds) {
    struct Case {
        const char* link;
        TMailTo expected;
    };
    const Case cases[] = {
        {"joe@example.org", {{"joe@example.org"}, {}, "", "", ""}},
        {"MAILTO:joe@example.org,%20ann@example.org",
         {{"joe@example.org", "ann@example.org"}, {}, "", "", ""}},
        {"mailto:joe@example.org?Subject=Hi%20there&body=line1%0Aline2&CC=x@example.org",
         {{"joe@example.org"}, {"x@example.org"}, "Hi there", "line1\r\nline2", ""}},
        {"mailto:?to=joe@example.org&attach=/home/me/.ssh/id_rsa&bcc=spy@example.org",
         {{"joe@example.org"}, {}, "", "", ""}},
        {"mailto:a@example.org?subject=x%0D%0ABcc:%20spy@example.org",
         {{"a@example.org"}, {}, "x  Bcc: spy@example.org", "", ""}},
        {"mailto:a@example.org?in-reply-to=%3Cid@x%3E&body=100%25%zz",
         {{"a@example.org"}, {}, "", "100%%zz", "<id@x>"}},
        {"mailto:a@example.org?broken&subject", {{"a@example.org"}, {}, "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        const TMailTo mail = ParseMailToUri(c.link);
        EXPECT_EQ(mail, c.expected);
        const std::string uri = MailToUri(mail);
        ExpectWellFormed(uri);
        EXPECT_EQ(ParseMailToUri(uri), mail);
    }
}

}  // namespace
}  // namespace quobel

#include "message/qb_message.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

using namespace std::string_literals;

#include "core/date_time.h"
#include "core/file_util.h"
#include "message/header_values.h"
#include "message/internet_date.h"
#include "message_test_util.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using message_test::Crlf;

std::unique_ptr<TQBMessage> Load(std::string_view text) {
    auto message = std::make_unique<TQBMessage>();
    message->LoadFromText(std::string(text));
    return message;
}

TEST(QBMessageTest, LoadsASampleWithAttachments) {
    std::istringstream stream("ignored prefix" + message_test::ReadSample("mixed_attachment.eml"));
    stream.seekg(14);
    TQBMessage message;
    int progress = 0;
    message.OnProgress = [&](TQBMessage&) { ++progress; };
    message.LoadFromStream(stream);
    EXPECT_EQ(stream.tellg(), 14);
    EXPECT_EQ(message.Source, message_test::ReadSample("mixed_attachment.eml"));
    EXPECT_EQ(message.Decoder.Subject, "Report with attachment");
    EXPECT_EQ(message.Decoder.Priority, 1);
    EXPECT_EQ(message.From.Address, "carl@example.com");
    EXPECT_EQ(FormatDateTimeMdy(message.Date), "03-10-2026 09:00:00");
    // The epilogue is read as the header of a fifth part that never gets data.
    ASSERT_EQ(message.PartCount(), 4);
    EXPECT_EQ(message.Parts[0].DataSize(), 0u);  // an empty preamble
    EXPECT_EQ(message.Parts[2].ContentType, "application/pdf");
    EXPECT_EQ(message.Parts[2].FileName, "report.pdf");
    EXPECT_EQ(message.Parts[2].ContentID, "part2@example.com");
    std::string pdf;
    for (int i = 0; i < 5; ++i) {
        for (int b = 0; b < 256; ++b)
            pdf.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(*message.Parts[2].Data, pdf);
    EXPECT_EQ(message.Parts[3].FileName, "Attached.eml");
    EXPECT_TRUE(message.Parts[3].IsAttachment);
    EXPECT_EQ(message.AttachmentCount, 2);
    EXPECT_GT(progress, 20);
    // Two Received headers: slot 1 the topmost, slot 0 the second one.
    EXPECT_EQ(message.Received[1].SourceIP, "198.51.100.2");
    EXPECT_EQ(message.Received[1].ForAddress, "carl@quobel.test");
    EXPECT_EQ(message.Received[0].SourceIP, "203.0.113.9");
    EXPECT_EQ(message.Received[0].ForAddress, "list@example.com");
    EXPECT_EQ(message.DeliveredFor(), "carl@quobel.test");
}

TEST(QBMessageTest, PartWithoutDataIsAnEmptyEntry) {
    const auto message = Load(
        Crlf("Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\n--b\n"
             "Content-Disposition: attachment\n\nx\n--b--\n"));
    ASSERT_EQ(message->PartCount(), 3);
    EXPECT_FALSE(message->Parts[1].Data.has_value());
    EXPECT_EQ(message->Parts[1].ContentType, "");
    EXPECT_EQ(*message->Parts[2].Data, "x\r\n");
    EXPECT_EQ(message->AttachmentCount, 1);
}

TEST(QBMessageTest, TerminatorCut) {
    const std::pair<std::string, std::string> cases[] = {
        {"A: 1\r\n\r\nbody\r\n.\r\n", "A: 1\r\n\r\nbody\r\n"},
        {"A: 1\r\n\r\nx\r\n.\r\n\r\n.\r\n", "A: 1\r\n\r\nx\r\n.\r\n\r\n"},
        {"A: 1\r\n\r\nno terminator\r\n", "A: 1\r\n\r\nno terminator\r\n"},
        {"", ""},
    };
    for (const auto& [text, source] : cases) {
        EXPECT_EQ(Load(text)->Source, source);
    }
}

TEST(QBMessageTest, SaveToFileWritesTheSource) {
    const quobel::testing::TempFolder scratch;
    const std::string folder = scratch.File("qbmessage_save");
    ForceFolders(folder);
    const std::string path = JoinPath(folder, "m.qbe");
    const auto message = Load("A: 1\r\n\r\n\xff\x00x\r\n.\r\n"s);
    message->SaveToFile(path);
    std::string written;
    ASSERT_TRUE(ReadWholeFile(path, written));
    EXPECT_EQ(written, message->Source);
}

TEST(QBMessageTest, Addresses) {
    struct Case {
        const char* header;
        std::vector<std::pair<std::string, std::string>> contacts;
    };
    const Case cases[] = {
        {"\"Doe, John\" <john@x.org>", {{"", "Doe"}, {"", "john@x.org"}}},
        {"\"Anna\" <anna@x.org>, bob@y.org", {{"Anna", "anna@x.org"}, {"", " bob@y.org"}}},
        {"Plain Name <p@x.org>", {{"", "p@x.org"}}},
        {"<broken@x.org", {{"", ""}}},
        {"a@x,,b@y,", {{"", "a@x"}, {"", ""}, {"", "b@y"}}},
        {"\"=?utf-8?q?J=C3=BCrgen?=\" <j@x.de>", {{"Jürgen", "j@x.de"}}},
        {"", {}},
    };
    for (const Case& c : cases) {
        const auto message =
            Load(Crlf("To: " + std::string(c.header) + "\nCC: " + c.header + "\n"));
        std::vector<std::pair<std::string, std::string>> to, cc;
        for (const TQBContact& contact : message->To)
            to.emplace_back(contact.Name, contact.Address);
        for (const TQBContact& contact : message->CC)
            cc.emplace_back(contact.Name, contact.Address);
        EXPECT_EQ(to, c.contacts) << c.header;
        EXPECT_EQ(cc, c.contacts) << c.header;
    }
    EXPECT_EQ(SplitText("a,b,", ","), (TSplitArray{"a", "b"}));
    EXPECT_EQ(SplitText(",", ","), (TSplitArray{""}));
}

TEST(QBMessageTest, Dates) {
    const std::pair<const char*, const char*> cases[] = {
        {"Mon, 5 Jan 2026 10:20:30 +0100", "01-05-2026 10:20:30"},
        {"  tue,   10 Mar 2026 09:00 -0500 (EST)", "03-10-2026 09:00:00"},
        {"5 Jan 26 23:59:59 GMT", "01-05-2026 23:59:59"},
        {"5 Jan 99 00:00:01", "01-05-1999 00:00:01"},
        {"Jan 5 2026 08:07:06", "01-05-2026 08:07:06"},
        {"Wed Jan  7 08:07:06 2026", "01-07-2026 08:07:06"},
        {"7-Feb-2026 18:05", "02-07-2026 18:05:00"},
        {"1 Feb 2026", "02-01-2026 00:00:00"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatDateTimeMdy(ParseInternetDate(value)), text) << value;
    }
    for (const char* invalid : {"", "   ", "garbage", "31 Feb 2026 10:00:00", "5 Foo 2026",
                                "5 Jan 2026 24:00:00", "5 Jan 2026 10:61:00", "Mon,"}) {
        EXPECT_EQ(ParseInternetDate(invalid), 0) << invalid;
    }
    EXPECT_EQ(Load("Subject: no date\r\n")->Date, 0);
}

TEST(QBMessageTest, ReceivedSlots) {
    struct Case {
        const char* name;
        const char* headers;
        TQBReceived slot0, slot1;
        std::string deliveredFor;
    };
    const Case cases[] = {
        {"none", "Subject: x\n", {}, {}, "(unknown)"},
        {"loopback abandons the line",
         "Received: from h ([127.0.0.1]) by me for <a@b>\n",
         {},
         {},
         "(unknown)"},
        {"by before the bracket: no IP, but the for-address",
         "Received: by mx [10.0.0.1] for <a@b>\n",
         {"", "a@b"},
         {},
         "a@b"},
        {"folded line with the IP",
         "Received: from host\n\t([192.0.2.1])\n by mx for <x@y>\n",
         {"192.0.2.1", "x@y"},
         {},
         "x@y"},
        {"a blank after the colon is needed",
         "Received:from h ([1.2.3.4]) by x\n",
         {},
         {},
         "(unknown)"},
        {"second header fills what it has, third is ignored",
         "Received: from a ([1.1.1.1]) by x for <top@x>\nReceived: from b ([2.2.2.2]) by y\n"
         "Received: from c ([3.3.3.3]) by z for <third@z>\n",
         {"2.2.2.2", "top@x"},
         {"1.1.1.1", "top@x"},
         "top@x"},
        {"via before the bracket",
         "Received: via relay [5.5.5.5] for <v@w>\n",
         {"", "v@w"},
         {},
         "v@w"},
        {"for without angle brackets",
         "Received: from a ([1.1.1.1]) by x for plain@x\n",
         {"1.1.1.1", ""},
         {},
         "(unknown)"},
    };
    for (const Case& c : cases) {
        const auto message = Load(Crlf(c.headers));
        EXPECT_EQ(message->Received[0].SourceIP, c.slot0.SourceIP) << c.name;
        EXPECT_EQ(message->Received[0].ForAddress, c.slot0.ForAddress) << c.name;
        EXPECT_EQ(message->Received[1].SourceIP, c.slot1.SourceIP) << c.name;
        EXPECT_EQ(message->Received[1].ForAddress, c.slot1.ForAddress) << c.name;
        EXPECT_EQ(message->DeliveredFor(), c.deliveredFor) << c.name;
    }
}

TEST(QBMessageTest, HeaderValuesAreDecodedToUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"=?iso-8859-1?q?Gr=FC=DFe_=3Dok?=", "Grüße =ok"},
        {"=?UTF-8?B?Q2Fmw6k=?= =?UTF-8?B?IOKYlQ==?=", "Café ☕"},
        // A character split across two adjacent words of one charset survives.
        {"=?utf-8?b?ww==?= =?utf-8?b?qQ==?=", "é"},
        {"=?utf-8?q?a?=  x  =?utf-8?q?b?=", "a  x  b"},
        {"=?windows-1252?Q?=93Hi=94?=", "\u201cHi\u201d"},
        {"=?KOI8-R?B?8NLJ18XU?=", "Привет"},
        {"=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", "テスト"},
        {"=?x-unknown?q?caf=E9?=", "café"},
        {"=?iso-8859-1?q?bad=ZZescape?=", "bad=ZZescape"},
        {"=?utf-8?q?unterminated", "q?unterminated"},
        {"=?US-ASCII?B?aGVsbG8=", "hello"},
        {"plain caf\xe9 text", "plain café text"},
        {"already UTF-8 ☕", "already UTF-8 ☕"},
        {"=?utf-8?b?AGEA?=x", "ax"},
    };
    for (const auto& [raw, decoded] : cases) {
        EXPECT_EQ(DecodeHeaderValue(raw), decoded) << raw;
    }
    EXPECT_EQ(Load("Subject: =?iso-8859-1?q?=E9t=E9?=\r\n")->Decoder.Subject, "été");
}

// Hostile shapes: time stays about linear and what is kept stays bounded. The time limits are
// generous for loaded machines and sanitizers; quadratic work would take minutes.
TEST(QBMessageTest, HostileInputIsBounded) {
    const auto seconds = [](const std::string& text, TQBMessage& message) {
        const auto start = std::chrono::steady_clock::now();
        message.LoadFromText(text);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::string boundaries = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    for (int i = 0; i < 100000; ++i)
        boundaries += "--b\r\n\r\nx\r\n";
    TQBMessage many;
    EXPECT_LT(seconds(boundaries, many), 20.0);
    EXPECT_EQ(many.PartCount(), TMimeDecode::kMaxParts + 1);
    // Beyond the limit the boundaries stay in the last part as data: nothing is lost.
    EXPECT_GT(many.Parts.back().DataSize(), 500000u);

    std::string headers;
    for (int i = 0; i < 100000; ++i)
        headers += "X: " + std::to_string(i) + "\r\n";
    headers += "Subject: last\r\n";
    TQBMessage longHeader;
    EXPECT_LT(seconds(headers, longHeader), 20.0);
    EXPECT_EQ(longHeader.HeaderLines.size(), TMimeDecode::kMaxHeaderLines);
    EXPECT_EQ(longHeader.Decoder.Subject, "last");

    std::string words = "Subject: ";
    for (int i = 0; i < 100000; ++i)
        words += "=?a?b=?x?";
    std::string to = "To: ";
    for (int i = 0; i < 100000; ++i)
        to += "\"a\" <b@c>, ";
    TQBMessage wordy;
    EXPECT_LT(seconds(words + "\r\n" + to + "\r\nReceived: " + std::string(500000, '[') +
                          "\r\n\r\n" + std::string(500000, '<'),
                      wordy),
              20.0);
    EXPECT_EQ(wordy.To.size(), 100001u);  // the blank after the last comma is one more
}

}  // namespace
}  // namespace quobel

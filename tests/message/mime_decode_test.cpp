#include "message/mime_decode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>

#include "message_test_util.h"

namespace quobel {
namespace {

using testing::Crlf;

// Records every event with the values it carries, so two runs can be compared whole.
struct Recorder {
    std::vector<std::string> log;

    void Attach(TMimeDecode& d) {
        const auto note = [this](std::string text) { log.push_back(std::move(text)); };
        d.OnHeaderBegin = [note](TMimeDecode&) { note("HeaderBegin"); };
        d.OnHeaderLine = [note](TMimeDecode& s) {
            note("HeaderLine " + std::string(s.CurrentLine()));
        };
        d.OnHeaderEnd = [note](TMimeDecode&) { note("HeaderEnd"); };
        d.OnPartHeaderBegin = [note](TMimeDecode& s) {
            note("PartHeaderBegin " + std::to_string(s.PartNumber));
        };
        d.OnPartHeaderLine = [note](TMimeDecode& s) {
            note("PartHeaderLine " + std::string(s.CurrentLine()));
        };
        d.OnPartHeaderEnd = [note](TMimeDecode&) { note("PartHeaderEnd"); };
        d.OnPartBegin = [note](TMimeDecode& s) {
            note("PartBegin " + std::to_string(s.PartNumber) + " " + s.PartContentType + "|" +
                 s.PartEncoding + "|" + s.PartName + "|" + s.PartDisposition + "|" +
                 s.PartFileName + "|" + s.PartContentID + "|" + s.PartCharset);
        };
        d.OnPartLine = [note](TMimeDecode& s, const char* data, std::size_t length) {
            note("PartLine " + std::to_string(s.PartNumber) + " " + std::string(data, length));
        };
        d.OnPartEnd = [note](TMimeDecode&) { note("PartEnd"); };
        d.OnMessageEnd = [note](TMimeDecode& s) {
            note("MessageEnd " + s.From + "|" + s.To + "|" + s.CC + "|" + s.Subject + "|" + s.Date +
                 "|" + std::to_string(s.Priority) + "|" + s.ContentType + "|" + s.Boundary + "|" +
                 s.Encoding + "|" + s.Charset + "|" + std::to_string(s.HeaderLines.size()));
        };
        d.OnInlineDecodeBegin = [note](TMimeDecode&, const std::string& f) {
            note("InlineBegin " + f);
        };
        d.OnInlineDecodeLine = [note](TMimeDecode&, std::string_view l) {
            note("InlineLine " + std::string(l));
        };
        d.OnInlineDecodeEnd = [note](TMimeDecode&, const std::string& f) {
            note("InlineEnd " + f);
        };
    }
};

std::vector<std::string> DecodeInBlocks(std::string_view text,
                                        const std::vector<std::size_t>& cuts) {
    TMimeDecode decoder;
    Recorder recorder;
    recorder.Attach(decoder);
    decoder.Begin();
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        decoder.Feed(text.substr(from, cut - from));
        from = cut;
    }
    decoder.Feed(text.substr(from));
    decoder.Finish();
    return recorder.log;
}

// Decoded data per part number (all OnPartLine pieces joined).
std::map<int, std::string> PartData(std::string_view text, TMimeDecode* out = nullptr) {
    TMimeDecode local;
    TMimeDecode& decoder = out ? *out : local;
    std::map<int, std::string> parts;
    decoder.OnPartLine = [&](TMimeDecode& s, const char* data, std::size_t length) {
        parts[s.PartNumber].append(data, length);
    };
    decoder.DecodeText(text);
    return parts;
}

const char* const kFoldedMultipart =
    "Subject: folded\n"
    "\tsubject line\n"
    "Content-Type: multipart/mixed;\n"
    " boundary=\"B1\"\n"
    "\n"
    "pre\n"
    "--B1\n"
    "Content-Type: text/plain;\n"
    "  charset=utf-8\n"
    "Content-Transfer-Encoding: base64\n"
    "\n"
    "aGVs\n"
    "bG8=\n"
    "--B1\n"
    "Content-Type: text/plain\n"
    "\n"
    "begin 666 a.bin\n"
    "#86)C\n"
    "end\n"
    "--B1--\n"
    "epilogue";

TEST(MimeDecodeTest, SameEventsWhateverTheBlockSize) {
    std::vector<std::string> texts = {Crlf(kFoldedMultipart), std::string(kFoldedMultipart),
                                      Crlf("From: a\n\n begin 666 x\n!80``\nend\n")};
    for (const std::string& name : testing::SampleNames()) {
        texts.push_back(testing::ReadSample(name));
    }
    for (const std::string& text : texts) {
        const std::vector<std::string> whole = DecodeInBlocks(text, {});
        ASSERT_FALSE(whole.empty());
        for (std::size_t cut = 1; cut < text.size(); ++cut) {
            ASSERT_EQ(DecodeInBlocks(text, {cut}), whole) << "split at " << cut << " of\n" << text;
        }
        std::vector<std::size_t> everyByte;
        for (std::size_t i = 1; i < text.size(); ++i)
            everyByte.push_back(i);
        EXPECT_EQ(DecodeInBlocks(text, everyByte), whole);

        TMimeDecode decoder;
        Recorder recorder;
        recorder.Attach(decoder);
        std::istringstream stream(text);
        decoder.DecodeStream(stream);
        EXPECT_EQ(recorder.log, whole);
    }
}

TEST(MimeDecodeTest, EventOrderOfAMultipartMessage) {
    const std::vector<std::string> expected = {
        "HeaderBegin",
        "HeaderLine Subject: folded   subject line",
        "HeaderLine Content-Type: multipart/mixed;   boundary=\"B1\"",
        "HeaderEnd",
        "PartBegin 0 ||||||",
        "PartLine 0 pre",
        "PartEnd",
        "PartHeaderBegin 1",
        "PartHeaderLine Content-Type: text/plain;    charset=utf-8",
        "PartHeaderLine Content-Transfer-Encoding: base64",
        "PartHeaderEnd",
        "PartBegin 1 text/plain|base64|||||utf-8",
        "PartLine 1 hel",
        "PartLine 1 lo",
        "PartEnd",
        "PartHeaderBegin 2",
        "PartHeaderLine Content-Type: text/plain",
        "PartHeaderEnd",
        "PartBegin 2 text/plain||||||",
        "PartLine 2 begin 666 a.bin",
        "PartLine 2 \r\n",
        "PartLine 2 #86)C",
        "PartLine 2 \r\n",
        "PartLine 2 end",
        "PartLine 2 \r\n",
        "PartEnd",
        "PartHeaderBegin 3",
        // The epilogue is read as the header of one more part that never gets data.
        "PartHeaderLine epilogue",
        "MessageEnd |||folded   subject line||0|multipart/mixed|--b1|||2",
    };
    EXPECT_EQ(DecodeInBlocks(Crlf(kFoldedMultipart), {}), expected);
}

TEST(MimeDecodeTest, MessageWithoutBodyHasNoHeaderEndAndNoPartBegin) {
    const std::vector<std::string> expected = {"HeaderBegin", "HeaderLine From: a@b",
                                               "HeaderLine To: c@d", "PartEnd",
                                               "MessageEnd a@b|c@d||||0|||||2"};
    EXPECT_EQ(DecodeInBlocks(Crlf("From: a@b\nTo: c@d"), {}), expected);
    EXPECT_EQ(DecodeInBlocks(Crlf("From: a@b\nTo: c@d\n"), {}), expected);
}

TEST(MimeDecodeTest, InlineUuencodedBlockLeavesThePartData) {
    TMimeDecode decoder;
    Recorder recorder;
    recorder.Attach(decoder);
    decoder.DecodeText(
        Crlf("From: a\n\ntext\n  begin 666 hello.txt\n+:&5L;&\\@=V]R;&0*\n`\nend\nafter\n"));
    const std::vector<std::string> expected = {"HeaderBegin",
                                               "HeaderLine From: a",
                                               "HeaderEnd",
                                               "PartBegin 0 ||||||",
                                               "PartLine 0 text",
                                               "PartLine 0 \r\n",
                                               "InlineBegin hello.txt",
                                               "PartLine 0 \r\n",
                                               "InlineLine hello world",
                                               "PartLine 0 \r\n",
                                               "InlineLine ",
                                               "PartLine 0 \r\n",
                                               "InlineEnd hello.txt",
                                               "PartLine 0 \r\n",
                                               "PartLine 0 after",
                                               "PartLine 0 \r\n",
                                               "PartEnd",
                                               "MessageEnd a|||||0|||||1"};
    EXPECT_EQ(recorder.log, expected);
}

struct BodyCase {
    const char* name;
    const char* message;
    std::map<int, std::string> parts;
};

TEST(MimeDecodeTest, BodiesAndBoundaries) {
    const BodyCase cases[] = {
        {"base64 in upper case is still base64",
         "Content-Transfer-Encoding: BASE64\n\naGVsbG8g\nd29y bGQ=\n  IQ==\n",
         {{0, "hello wor!"}}},
        {"base64 with missing padding and junk",
         "Content-Transfer-Encoding: base64\n\naGk\naA\n",
         {{0, "hih"}}},
        {"quoted-printable soft break, escapes, bad escapes",
         "Content-Transfer-Encoding: quoted-printable\n\nab=\ncd=3D=41=4a=zz=1A=\n=7\nend",
         {{0, "abcd=AJC'\a\r\nend\r\n"}}},
        {"unknown encoding passes lines through",
         "Content-Transfer-Encoding: x-gzip64\n\nline\n\n",
         {{0, "line\r\n\r\n"}}},
        {"x-uuencode part keeps only begin/end contents",
         "Content-Transfer-Encoding: x-uuencode\n\nnoise\nbegin 644 f.txt\n#86)C\nend\nnoise\n",
         {{0, "abc"}}},
        {"final boundary, epilogue is one more part",
         "Content-Type: multipart/mixed; boundary=XyZ\n\n--xyz\n\none\n--XYZ--\n\nepi\n",
         {{1, "one\r\n"}, {2, "epi\r\n"}}},
        {"boundary with trailing blank is data",
         "Content-Type: multipart/mixed; boundary=b\n\n--b\n\none\n--b \ntwo\n--b--\n",
         {{1, "one\r\n--b \r\ntwo\r\n"}}},
        {"nested boundaries end parts; a boundary right after a boundary is a header line",
         "Content-Type: multipart/mixed; boundary=o\n\n--o\nContent-Type: multipart/alternative; "
         "boundary=i\n\nin-pre\n--i\n\nx\n--i--\n--o--\n",
         {{1, "in-pre\r\n"}, {2, "x\r\n"}}},
        {"part without header starts with a blank line of body",
         "Content-Type: multipart/mixed; boundary=b\n\n--b\n indented\n--b--\n",
         {{1, " indented\r\n"}}},
    };
    for (const BodyCase& c : cases) {
        EXPECT_EQ(PartData(Crlf(c.message)), c.parts) << c.name;
    }
}

TEST(MimeDecodeTest, HeaderFieldsAndPartFields) {
    TMimeDecode decoder;
    std::vector<std::string> seen;
    decoder.OnPartBegin = [&](TMimeDecode& s) {
        seen.push_back(s.PartContentType + "|" + s.PartName + "|" + s.PartDisposition + "|" +
                       s.PartFileName + "|" + s.PartContentID + "|" + s.PartCharset);
    };
    decoder.DecodeText(
        Crlf("Content-Type: Multipart/Mixed; Boundary=\"AbC\"; charset=UTF-8\n"
             "Content-Type : text/plain\n"
             "X-Priority: 2 (High)\n"
             "\n"
             "--abc\n"
             "Content-Type: text/plain (comment); charset=x\n"
             "Content-Disposition: attachment; size=10; filename=a.txt\n"
             "\n1\n--abc\n"
             "Content-Type: application/octet-stream; name=\"My File.bin\"\n"
             "Content-Disposition: ATTACHMENT; filename=\"q u.bin\"; size=3\n"
             "Content-ID: <id@x>\n"
             "\n2\n--abc\n"
             "Content-Disposition: inline; filename=rest of line; x=1\n"
             "Content-ID: <\n"
             "\n3\n--abc\n"
             "Content-Description: filename=\"desc.txt\"\n"
             "\n4\n--abc--\n"));
    EXPECT_EQ(decoder.ContentType, "multipart/mixed");
    EXPECT_EQ(decoder.Boundary, "--abc");
    EXPECT_EQ(decoder.Charset, "utf-8");
    EXPECT_EQ(decoder.Priority, 2);
    const std::vector<std::string> expected = {
        "|||||",  // text before the first boundary
        "text/plain||attachment|||",
        "application/octet-stream|My File.bin|attachment|q u.bin|id@x|",
        "||inline|rest of line; x=1|<|",
        "|||desc.txt||",
    };
    EXPECT_EQ(seen, expected);
}

TEST(MimeDecodeTest, ParsePriority) {
    const std::pair<const char*, int> cases[] = {
        {"1", 1},      {"2 (High)", 2}, {" 5 ", 5},         {"Urgent", 1}, {"non-priority", 5},
        {"normal", 3}, {"", 3},         {"99999999999", 3}, {"-1", -1},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ParsePriority(value), expected) << value;
    }
}

TEST(MimeDecodeTest, PositionIsAfterTheCurrentLine) {
    TMimeDecode decoder;
    std::vector<std::int64_t> positions;
    decoder.OnHeaderLine = [&](TMimeDecode& s) { positions.push_back(s.Position); };
    decoder.OnPartLine = [&](TMimeDecode& s, const char*, std::size_t length) {
        if (length > 0)
            positions.push_back(s.Position);
    };
    decoder.DecodeText("A: 1\r\nB: 2\r\n folded\r\n\r\nbody\r\n");
    EXPECT_EQ(positions, (std::vector<std::int64_t>{6, 21, 29, 29}));
}

// Hostile shapes must stay roughly linear in time and memory.
TEST(MimeDecodeTest, HostileInputStaysLinear) {
    const auto timed = [](const std::string& text) {
        const auto start = std::chrono::steady_clock::now();
        TMimeDecode decoder;
        std::size_t bytes = 0;
        decoder.OnPartLine = [&](TMimeDecode&, const char*, std::size_t length) {
            bytes += length;
        };
        decoder.DecodeText(text);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::string folding = "Subject: x\r\n";
    for (int i = 0; i < 200000; ++i)
        folding += " y\r\n";
    std::string boundaries = "Content-Type: multipart/mixed; boundary=b\r\n\r\n";
    std::string nested = boundaries;
    for (int i = 0; i < 200000; ++i) {
        boundaries += "--b\r\n\r\nx\r\n";
        nested += "--b" + std::to_string(i) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                  std::to_string(i + 1) + "\r\n\r\n";
    }
    for (const std::string* text : {&folding, &boundaries, &nested}) {
        EXPECT_LT(timed(*text), 5.0);
    }
}

}  // namespace
}  // namespace quobel

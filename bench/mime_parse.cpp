// Parsing and decoding whole messages with the message model against GMime 3 on the same
// generated inputs. Prints the median time ratios (Quobel / GMime) on its last line.
#include <benchmark/benchmark.h>
#include <gmime/gmime.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "accounts/base64.h"
#include "message/qb_message.h"
#include "message/shown_text.h"

namespace {

struct Rng {
    std::uint64_t state = 0x9E3779B97F4A7C15ULL;
    std::uint32_t Next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
};

std::string Wrap(const std::string& text, std::size_t width) {
    std::string out;
    out.reserve(text.size() + text.size() / width * 2 + 2);
    for (std::size_t i = 0; i < text.size(); i += width) {
        out.append(text, i, width);
        out += "\r\n";
    }
    return out;
}

std::string Base64Message(std::size_t approximateSize) {
    Rng rng;
    std::string binary(approximateSize / 4 * 3, '\0');
    for (char& c : binary)
        c = static_cast<char>(rng.Next());
    return "From: Sender <sender@example.org>\r\nTo: anna@quobel.test\r\nSubject: big file\r\n"
           "Date: Mon, 5 Jan 2026 10:20:30 +0100\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"==bench==\"\r\n\r\n"
           "--==bench==\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nSee attachment.\r\n"
           "--==bench==\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "Content-Disposition: attachment; filename=\"data.bin\"\r\n\r\n" +
           Wrap(quobel::Base64Encode(binary), 76) + "--==bench==--\r\n";
}

// Quoted-printable text with accented words, "=" escapes and soft line breaks.
std::string QuotedPrintableBody(std::size_t size, Rng& rng) {
    static const char* const kWords[] = {"Stra=C3=9Fe", "caf=C3=A9", "the",   "message",
                                         "=E2=82=AC",   "quobel",    "mail",  "gr=C3=BC=C3=9Fe",
                                         "and",         "header",    "a=3Db", "line"};
    std::string out;
    out.reserve(size + 128);
    std::size_t column = 0;
    while (out.size() < size) {
        const char* word = kWords[rng.Next() % 12];
        const std::size_t length = std::char_traits<char>::length(word);
        if (column + length + 1 > 74) {
            out += (rng.Next() % 3 == 0) ? "\r\n" : "=\r\n";
            column = 0;
        }
        out += word;
        out += ' ';
        column += length + 1;
    }
    return out + "\r\n";
}

std::string QuotedPrintableMessage(std::size_t size) {
    Rng rng;
    return "From: Sender <sender@example.org>\r\nTo: anna@quobel.test\r\nSubject: long text\r\n"
           "Date: Mon, 5 Jan 2026 10:20:30 +0100\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=utf-8\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
           QuotedPrintableBody(size, rng);
}

std::vector<std::string> SmallMessages(int count) {
    Rng rng;
    std::vector<std::string> messages;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        std::string m =
            "Return-Path: <list-" + n +
            "@example.org>\r\n"
            "Received: from relay.example.org (relay.example.org [198.51.100." +
            std::to_string(i % 250) + "])\r\n\tby mx.quobel.test (Postfix) with ESMTPS id " + n +
            "\r\n\tfor <anna@quobel.test>; Mon, 5 Jan 2026 10:20:30 +0100\r\n"
            "Received: from laptop ([203.0.113.9]) by relay.example.org with ESMTPSA\r\n"
            "From: =?UTF-8?Q?J=C3=BCrgen_M=C3=BCller?= <juergen" +
            n +
            "@example.org>\r\n"
            "To: \"Anna\" <anna@quobel.test>, bob@quobel.test\r\n"
            "Subject: =?UTF-8?B?R3LDvMOfZSBhdXMgS8O2bG4=?= #" +
            n +
            "\r\n"
            "Date: Tue, 6 Jan 2026 08:15:00 +0100\r\n"
            "Message-ID: <" +
            n +
            ".bench@example.org>\r\nMIME-Version: 1.0\r\n"
            "Content-Type: multipart/alternative; boundary=\"alt-" +
            n +
            "\"\r\n\r\n"
            "--alt-" +
            n +
            "\r\nContent-Type: text/plain; charset=utf-8\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n\r\n" +
            QuotedPrintableBody(500, rng) + "--alt-" + n +
            "\r\nContent-Type: text/html; charset=utf-8\r\n"
            "Content-Transfer-Encoding: quoted-printable\r\n\r\n<html><body><p>" +
            QuotedPrintableBody(550, rng) + "</p></body></html>\r\n--alt-" + n + "--\r\n";
        messages.push_back(std::move(m));
    }
    return messages;
}

const std::string& BigBase64() {
    static const std::string text = Base64Message(50u << 20);
    return text;
}
const std::string& BigQuotedPrintable() {
    static const std::string text = QuotedPrintableMessage(20u << 20);
    return text;
}
const std::vector<std::string>& Small() {
    static const std::vector<std::string> messages = SmallMessages(10000);
    return messages;
}

std::size_t QuobelParse(const std::string& text) {
    quobel::TQBMessage message;
    message.LoadFromText(text);
    std::size_t decoded = message.Decoder.Subject.size() + message.To.size();
    for (const quobel::TQBMessagePart& part : message.Parts)
        decoded += part.DataSize();
    return decoded;
}

void DecodePart(GMimeObject*, GMimeObject* part, gpointer data) {
    if (!GMIME_IS_PART(part))
        return;
    GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(part));
    if (content == nullptr)
        return;
    GMimeStream* out = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, out);
    *static_cast<std::size_t*>(data) += static_cast<std::size_t>(g_mime_stream_length(out));
    g_object_unref(out);
}

std::size_t GMimeParse(const std::string& text) {
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(text.data(), text.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    GMimeMessage* message = g_mime_parser_construct_message(parser, nullptr);
    std::size_t decoded = 0;
    if (message != nullptr) {
        const char* subject = g_mime_message_get_subject(message);
        decoded += subject ? std::char_traits<char>::length(subject) : 0;
        decoded +=
            static_cast<std::size_t>(internet_address_list_length(g_mime_message_get_to(message)));
        g_mime_message_foreach(message, DecodePart, &decoded);
        g_object_unref(message);
    }
    g_object_unref(parser);
    g_object_unref(stream);
    return decoded;
}

template <std::size_t (*Parse)(const std::string&)>
void BM_Base64_50MB(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Parse(BigBase64()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BigBase64().size()));
}

template <std::size_t (*Parse)(const std::string&)>
void BM_QuotedPrintable_20MB(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(Parse(BigQuotedPrintable()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BigQuotedPrintable().size()));
}

template <std::size_t (*Parse)(const std::string&)>
void BM_Small_10000x2KB(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::string& text : Small())
            benchmark::DoNotOptimize(Parse(text));
    }
}

// Keeps the median CPU time of every benchmark so the ratios can be printed last.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") {
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
};

}  // namespace

#define QUOBEL_BENCH_PAIR(name)          \
    BENCHMARK(name<QuobelParse>)         \
        ->Name("Quobel/" #name)          \
        ->Repetitions(5)                 \
        ->Unit(benchmark::kMillisecond); \
    BENCHMARK(name<GMimeParse>)          \
        ->Name("GMime/" #name)           \
        ->Repetitions(5)                 \
        ->Unit(benchmark::kMillisecond);

QUOBEL_BENCH_PAIR(BM_Base64_50MB)
QUOBEL_BENCH_PAIR(BM_QuotedPrintable_20MB)
QUOBEL_BENCH_PAIR(BM_Small_10000x2KB)

int main(int argc, char** argv) {
    g_mime_init();
    // Inputs are generated before timing starts.
    // Both sides must decode the same amount, or the comparison means nothing.
    std::printf(
        "decoded bytes (Quobel / GMime): base64 %zu / %zu, quoted-printable %zu / %zu, "
        "first small message %zu / %zu (%zu bytes)\n",
        QuobelParse(BigBase64()), GMimeParse(BigBase64()), QuobelParse(BigQuotedPrintable()),
        GMimeParse(BigQuotedPrintable()), QuobelParse(Small()[0]), GMimeParse(Small()[0]),
        Small()[0].size());
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    g_mime_shutdown();
    std::string line = "ratios (Quobel/GMime, median CPU time):";
    for (const char* name : {"BM_Base64_50MB", "BM_QuotedPrintable_20MB", "BM_Small_10000x2KB"}) {
        const auto quobel = reporter.medians.find(std::string("Quobel/") + name);
        const auto gmime = reporter.medians.find(std::string("GMime/") + name);
        if (quobel == reporter.medians.end() || gmime == reporter.medians.end() ||
            gmime->second <= 0) {
            continue;
        }
        char ratio[64];
        std::snprintf(ratio, sizeof ratio, " %s=%.2f", name + 3, quobel->second / gmime->second);
        line += ratio;
    }
    std::printf("%s\n", line.c_str());
    return 0;
}

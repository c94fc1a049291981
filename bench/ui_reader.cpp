// Showing a large message must cost about what parsing it costs: the pane puts the first piece of
// each text in at once and the rest from the event loop. Measures, for a 20 MB message with a
// base64 attachment and for a 20 MB plain-text message, the parse alone, the pane's ShowItem with
// its first paint (until the window answers again), and ShowItem with every piece in. Prints the
// ratios; the window is held up for "ShowItem / parse" times the parse.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <map>
#include <string>

#include "core/file_util.h"
#include "core/options.h"
#include "message/qb_message.h"
#include "qt_bench_runner.h"
#include "store/mail_item.h"
#include "ui/reader/fra_reader.h"
#include "ui/reader/reader_text_view.h"

namespace {

using namespace quobel;

const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = "/tmp/quobel-bench-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    return folder;
}

std::string Header(const std::string& contentType) {
    return "From: \"Mara\" <mara@example.org>\r\nTo: me@example.org\r\nSubject: big\r\n"
           "Date: Tue, 01 Dec 2026 10:00:00 +0000\r\nMIME-Version: 1.0\r\nContent-Type: " +
           contentType + "\r\n\r\n";
}

std::string TextLines(size_t bytes) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) {
        text += "Line " + std::to_string(i) + " of the report, see https://example.org/item/" +
                std::to_string(i) + " for details.\r\n";
    }
    return text;
}

// 20 MB: a short text part and an attachment of base64 lines.
const std::string& AttachmentMessage() {
    static const std::string message = [] {
        std::string m = Header("multipart/mixed; boundary=b") +
                        "--b\r\nContent-Type: text/plain\r\n\r\n" + TextLines(4000) +
                        "--b\r\nContent-Type: application/octet-stream; name=\"data.bin\"\r\n"
                        "Content-Transfer-Encoding: base64\r\nContent-Disposition: attachment; "
                        "filename=\"data.bin\"\r\n\r\n";
        const std::string line =
            "QUJDREVGR0hJSktMTU5PUFFSU1RVVldYWVphYmNkZWZnaGlqa2xtbm9wcXJzdHV2d3h5ejAxMjM0\r\n";
        while (m.size() < 20 * 1024 * 1024) {
            m += line;
        }
        return m + "--b--\r\n";
    }();
    return message;
}

// 20 MB of text to read, a link on every line.
const std::string& TextMessage() {
    static const std::string message =
        Header("text/plain; charset=utf-8") + TextLines(20 * 1024 * 1024);
    return message;
}

void Parse(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        TQBMessage message;
        message.LoadFromText(bytes);
        benchmark::DoNotOptimize(message.Parts.size());
    }
}

void Show(benchmark::State& state, const std::string& bytes, bool complete) {
    TOptions options(Folder() + "/settings.ini");
    TMailItems items;
    TMailItem& item = items.Add();
    item.Folder = Folder();
    item.Cache = complete ? "complete.qbe" : "first.qbe";
    item.Downloaded = true;
    item.WriteCacheFile(bytes);
    TfraReader pane(TfraReader::Services{options, nullptr, {}, {}, {}});
    pane.resize(800, 600);
    pane.show();
    for (auto _ : state) {
        pane.ShowItem(item);
        if (complete) {
            pane.rtfText->FinishText();
            pane.rtfSource->FinishText();
        }
        benchmark::DoNotOptimize(pane.grab());
        state.PauseTiming();
        pane.Clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void BM_ParseAttachmentMessage(benchmark::State& state) {
    Parse(state, AttachmentMessage());
}
BENCHMARK(BM_ParseAttachmentMessage)->Unit(benchmark::kMillisecond);
void BM_ShowAttachmentMessage(benchmark::State& state) {
    Show(state, AttachmentMessage(), false);
}
BENCHMARK(BM_ShowAttachmentMessage)->Unit(benchmark::kMillisecond);
void BM_ShowAttachmentMessageComplete(benchmark::State& state) {
    Show(state, AttachmentMessage(), true);
}
BENCHMARK(BM_ShowAttachmentMessageComplete)->Unit(benchmark::kMillisecond);

void BM_ParseTextMessage(benchmark::State& state) {
    Parse(state, TextMessage());
}
BENCHMARK(BM_ParseTextMessage)->Unit(benchmark::kMillisecond);
void BM_ShowTextMessage(benchmark::State& state) {
    Show(state, TextMessage(), false);
}
BENCHMARK(BM_ShowTextMessage)->Unit(benchmark::kMillisecond);
void BM_ShowTextMessageComplete(benchmark::State& state) {
    Show(state, TextMessage(), true);
}
BENCHMARK(BM_ShowTextMessageComplete)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, double> seconds = quobel::bench::RunQtBenchmarks(argc, argv);
    for (const char* kind : {"Attachment", "Text"}) {
        const double parse = seconds[std::string("BM_Parse") + kind + "Message"];
        const double show = seconds[std::string("BM_Show") + kind + "Message"];
        const double all = seconds[std::string("BM_Show") + kind + "MessageComplete"];
        if (parse > 0) {
            std::printf("%s message, 20 MB: ShowItem / parse %.2f, every piece in / parse %.2f\n",
                        kind, show / parse, all / parse);
        }
    }
    return 0;
}

// The bar is laid out, composed off-screen and copied after every pointer movement over it, so a
// paint must stay far below a frame, also for a large Inbox. The bar fills only the shown
// messages' texts; filling every item's texts on each paint is measured beside it. Prints the
// ratios; compare them within one run.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <map>
#include <string>

#include "bar/skin.h"
#include "bar/ticker_layout.h"
#include "core/options.h"
#include "qt_bench_runner.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/tickerbar/bar_painter.h"
#include "ui/tickerbar/frm_bar.h"

namespace {

using namespace quobel;

class NullHost : public TBarHost {
  public:
    void OpenMessage(TMailItem&) override {}
    void MarkMessageRead(TMailItem&, bool) override {}
    void DeleteMessage(TMailItem&) override {}
    void StartNext() override {}
    bool MainWindowVisible() override { return true; }
    void HideToTray() override {}
    void LeaveTray() override {}
    void CheckAllAccounts() override {}
    void CheckAccount(TAccount&) override {}
    std::vector<TAccount*> Accounts() override { return {}; }
    void ShowOptions() override {}
    void ComposeMail() override {}
    void CloseProgram() override {}
};

std::string SkinFolder() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path() / "skins" / "Graphite")
        .string();
}

std::string SettingsFile() {
    static const std::string file = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quobel-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern + "/settings.ini";
    }();
    return file;
}

// An Inbox of `count` items whose last 20 are unread.
void Fill(TMailBox& box, int count) {
    for (int i = 0; i < count; ++i) {
        TMailItem& item = box.Items.Add();
        item.Read = i < count - 20;
        item.CachedData.Subject = "Quarterly report, draft " + std::to_string(i);
        item.CachedData.From = "Ann Example";
        item.CachedData.To = "me@example.org";
        item.CachedData.DateStr = "12-09-2026 10:00:00";
    }
}

// One pointer movement over a 1280-pixel bar: the hot button changes with each.
void BM_BarPaint(benchmark::State& state) {
    TOptions options(SettingsFile());
    TMailBox box;
    Fill(box, static_cast<int>(state.range(0)));
    NullHost host;
    TSkin skin("Graphite", SkinFolder());
    TfrmBar bar(host, options, TfrmBar::TShellFactory{});
    bar.MailBox = &box;
    bar.ApplySkin(&skin);
    bar.resize(1280, bar.height());
    int x = 100;
    for (auto _ : state) {
        bar.Pointer().PointerAt(x, 5);
        bar.FormPaint();
        benchmark::DoNotOptimize(bar.BackBuffer().constBits());
        x = x >= 1100 ? 100 : x + 37;
    }
}
BENCHMARK(BM_BarPaint)->Arg(20)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same paint with every item's texts copied first, as a bar that refilled its whole input.
void BM_BarPaintFillingEveryItem(benchmark::State& state) {
    TMailBox box;
    Fill(box, static_cast<int>(state.range(0)));
    TSkin skin("Graphite", SkinFolder());
    skin.Load();
    TBarPainter painter;
    painter.SetSkin(&skin);
    TBarLayoutInput input;
    input.ClientWidth = 1280;
    input.HotY = 5;
    int x = 100;
    for (auto _ : state) {
        std::vector<TBarMessage> items(box.Items.Count());
        for (size_t i = 0; i < items.size(); ++i) {
            const TMailItem& item = box.Items.Items(i);
            items[i].Read = item.Read;
            items[i].Subject = item.CachedData.Subject;
            items[i].SenderText = item.CachedData.From;
            items[i].RecipientsText = item.CachedData.To;
            items[i].DateText = item.CachedData.DateStr;
        }
        input.HotX = x;
        const TBarLayout layout = LayoutBar(skin, items, input);
        painter.Compose(layout, items, 1280);
        benchmark::DoNotOptimize(painter.BackBuffer().constBits());
        x = x >= 1100 ? 100 : x + 37;
    }
}
BENCHMARK(BM_BarPaintFillingEveryItem)->Arg(20)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, double> seconds = quobel::bench::RunQtBenchmarks(argc, argv);
    const double small = seconds["BM_BarPaint/20"];
    const double large = seconds["BM_BarPaint/10000"];
    const double refill = seconds["BM_BarPaintFillingEveryItem/10000"];
    if (small > 0 && large > 0) {
        std::printf("bar paint, Inbox of 10,000 / Inbox of 20: %.2f\n", large / small);
    }
    if (large > 0 && refill > 0) {
        std::printf("filling every item's texts / the bar's paint, Inbox of 10,000: %.2f\n",
                    refill / large);
    }
    return 0;
}

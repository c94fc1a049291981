// The bar is laid out again after every pointer movement over it, so the layout must stay far
// below a frame even for a large Inbox. Compare the ratios within one run: a small Inbox against
// a large one (mostly read), and the layout against filling its input from scratch.
#include <benchmark/benchmark.h>

#include "bar/ticker_layout.h"

namespace quobel {
namespace {

TSkin BenchSkin() {
    TSkin skin("Bench", "/skins/Bench");
    skin.Height = 24;
    skin.Background = TBmpImage(16, 24);
    skin.Arrows = {TBmpImage(8 + 8 + 3 * 70, 24), 8, 8, 14, 14, 14, 14, 14};
    skin.MenuButton = {TBmpImage(72, 24), 24};
    skin.Button.Image = TBmpImage(120, 24);
    skin.Button.Width = 40;
    skin.Button.BorderLeft = 6;
    skin.Button.BorderRight = 6;
    return skin;
}

// An Inbox of `count` items whose last 20 are unread.
std::vector<TBarMessage> Inbox(int count) {
    std::vector<TBarMessage> items(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TBarMessage& item = items[static_cast<size_t>(i)];
        item.Read = i < count - 20;
        item.Subject = "Quarterly report, draft " + std::to_string(i);
        item.SenderText = "Ann Example <ann@example.org>";
        item.RecipientsText = "me@example.org";
        item.DateText = "12-09-2026 10:00:00";
    }
    return items;
}

void BM_Layout(benchmark::State& state) {
    const TSkin skin = BenchSkin();
    const std::vector<TBarMessage> items = Inbox(static_cast<int>(state.range(0)));
    TBarLayoutInput input;
    input.ClientWidth = 1280;
    input.HotX = 400;
    input.HotY = 5;
    for (auto _ : state) {
        TBarLayout layout = LayoutBar(skin, items, input);
        benchmark::DoNotOptimize(layout);
        input.FirstIndex = layout.FirstIndex;
    }
}
BENCHMARK(BM_Layout)->Arg(20)->Arg(10000);

void BM_FillAndLayout(benchmark::State& state) {
    const TSkin skin = BenchSkin();
    const int count = static_cast<int>(state.range(0));
    TBarLayoutInput input;
    input.ClientWidth = 1280;
    input.HotX = 400;
    input.HotY = 5;
    for (auto _ : state) {
        const std::vector<TBarMessage> items = Inbox(count);
        TBarLayout layout = LayoutBar(skin, items, input);
        benchmark::DoNotOptimize(layout);
    }
}
BENCHMARK(BM_FillAndLayout)->Arg(20)->Arg(10000);

}  // namespace
}  // namespace quobel

BENCHMARK_MAIN();

// The message list is a view over the items, not a copy: listing 100,000 items and painting the
// main window should cost a small multiple of painting it empty. Prints the ratios; the last
// line is listed / empty.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QMainWindow>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/app.h"
#include "platform/url_opener.h"
#include "qt_bench_runner.h"
#include "ui/app/quobel_context.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/tasks/frm_tasks.h"

namespace {

using namespace quobel;

struct Item {
    std::string From, Subject, DateStr, SizeText;
    double Date;
    int64_t Size;
    bool Read;
};

class Rows : public TMessageRowSource {
  public:
    TMessageRowFields Fields(TRowKey key) const override {
        const auto& item = *static_cast<const Item*>(key.Address());
        TMessageRowFields fields;
        fields.From = item.From;
        fields.Subject = item.Subject;
        fields.DateStr = item.DateStr;
        fields.SizeText = item.SizeText;
        fields.Date = item.Date;
        fields.Size = item.Size;
        fields.Read = item.Read;
        return fields;
    }
};

class NoOpener : public UrlOpener {
  public:
    void OpenUrl(const std::string&) override {}
};

std::vector<Item>& Items() {
    static std::vector<Item> items = [] {
        std::mt19937 random(7);
        std::vector<Item> made(100000);
        for (size_t i = 0; i < made.size(); ++i) {
            Item& item = made[i];
            item.From = "Sender " + std::to_string(random() % 5000);
            item.Subject = "Re: topic " + std::to_string(random() % 20000);
            item.Date = 46000.0 + static_cast<double>(random() % 1000000) / 1000.0;
            item.DateStr = "12-10-2026 10:00:00";
            item.Size = random() % 2000000;
            item.SizeText = std::to_string(item.Size / 1024) + " Kb";
            item.Read = i % 3 != 0;
        }
        return made;
    }();
    return items;
}

std::vector<TRowKey> Keys() {
    std::vector<TRowKey> keys;
    for (const Item& item : Items()) {
        keys.push_back(TRowKey(&item));
    }
    return keys;
}

TQuobelContext& Context() {
    // The windows write their view settings: give them a scratch data folder.
    static const std::string folder = [] {
        std::string pattern = "/tmp/quobel-bench-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    static TQuobelContext context(TApp(folder, folder));
    return context;
}

void FirstPaint(benchmark::State& state, const std::vector<TRowKey>& keys) {
    Rows rows;
    NoOpener opener;
    for (auto _ : state) {
        TfrmTasks tasks(Context().Options);
        TfrmMsgList window(Context(), tasks, opener);
        window.Messages().SetSource(&rows);
        window.FillMessageRows(keys);
        window.show();
        benchmark::DoNotOptimize(window.grab());
    }
}

void BM_MainWindowEmptyFirstPaint(benchmark::State& state) {
    FirstPaint(state, {});
}
BENCHMARK(BM_MainWindowEmptyFirstPaint)->Unit(benchmark::kMillisecond);

void BM_MainWindowWith100kFirstPaint(benchmark::State& state) {
    FirstPaint(state, Keys());
}
BENCHMARK(BM_MainWindowWith100kFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ResortBySubject100k(benchmark::State& state) {
    const std::vector<TRowKey> keys = Keys();
    Rows rows;
    NoOpener opener;
    TfrmTasks tasks(Context().Options);
    TfrmMsgList window(Context(), tasks, opener);
    window.Messages().SetSource(&rows);
    window.FillMessageRows(keys);
    window.show();
    for (auto _ : state) {
        window.HeaderClick(kColSubject, TMouseButton::Left);  // alternates the direction
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_ResortBySubject100k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, double> seconds = quobel::bench::RunQtBenchmarks(argc, argv);
    const double empty = seconds["BM_MainWindowEmptyFirstPaint"];
    const double full = seconds["BM_MainWindowWith100kFirstPaint"];
    const double sort = seconds["BM_ResortBySubject100k"];
    if (empty > 0 && full > 0) {
        std::printf("re-sort by subject / first paint with 100,000 rows: %.2f\n", sort / full);
        std::printf("main window with 100,000 rows / empty main window, first paint: %.2f\n",
                    full / empty);
    }
    return 0;
}

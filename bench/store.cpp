// Mailbox table speed on a generated box.dat of 100,000 rows with realistic texts:
//   loading into items against reading the file's bytes (target: at most 15x),
//   saving with flush against writing and flushing the same number of bytes (at most 5x),
//   finding and updating one row by "UIDL" in a table of 100,000 rows against one of 10,000
//   (constant time: about 1x; both tables are larger than the caches, so the ratio shows how the
//   work grows, not the caches).
// The last line prints the ratios of the medians.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "box_generator.h"
#include "core/date_time.h"
#include "core/digest.h"
#include "core/error.h"
#include "core/file_util.h"
#include "store/mail_box.h"

namespace {

using namespace quobel;
using quobel::bench::FillBox;

constexpr int kRows = 100000;

std::string BenchFolder() {
    static const std::string folder = [] {
        std::string base = std::filesystem::temp_directory_path().string() + "/quobel_bench_store";
        std::filesystem::remove_all(base);
        std::filesystem::create_directories(base);
        return base;
    }();
    return folder;
}

std::unique_ptr<TMailBox> MakeBox(const std::string& name, int rows) {
    auto box = std::make_unique<TMailBox>();
    box->Name = name;
    box->Path = BenchFolder() + "/" + name;
    std::filesystem::create_directories(box->Path);
    std::filesystem::remove(box->TableFileName());
    box->EnsureLoaded();
    FillBox(*box, rows);
    return box;
}

const std::string& BigTableFile() {
    static const std::string file = [] {
        // Kept, so that no freed memory of it is left for the measured reads and loads.
        static const std::unique_ptr<TMailBox> box = MakeBox("Big", kRows);
        box->SaveTable();
        return box->TableFileName();
    }();
    return file;
}

void BM_ReadFileBytes(benchmark::State& state) {
    const std::string& file = BigTableFile();
    // Like the boxes of BM_LoadItems, each read goes into memory of its own that stays until the
    // timing ends, as when the program starts: both sides of the ratio pay for fresh memory.
    std::vector<std::string> reads;
    reads.reserve(16);
    for (auto _ : state) {
        std::string& bytes = reads.emplace_back();
        if (!ReadWholeFile(file, bytes)) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(file)));
}

// The same read into one buffer used again and again, whose pages are in memory already: the
// floor of reading (memory copies only), printed beside the ratio for comparison.
void BM_ReadFileBytesReused(benchmark::State& state) {
    const std::string& file = BigTableFile();
    // Kept across the repetitions, and filled once before any is timed.
    static std::string bytes = [&] {
        std::string first;
        ReadWholeFile(file, first);
        return first;
    }();
    for (auto _ : state) {
        if (!ReadWholeFile(file, bytes)) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_LoadItems(benchmark::State& state) {
    const std::string folder = ExtractFolder(BigTableFile());
    // The loaded boxes stay until the timing ends: the allocator merges freed memory lazily, at
    // a later allocation, so freeing one box inside the loop would bill its destruction to the
    // next load (the program loads a box once and keeps it), and a freed box would leave
    // memory behind that the next load reuses without the page faults of a real start.
    std::vector<std::unique_ptr<TMailBox>> loaded;
    loaded.reserve(16);
    for (auto _ : state) {
        auto& box = loaded.emplace_back(std::make_unique<TMailBox>());
        box->Path = folder;
        box->EnsureLoaded();
        if (box->Items.Count() != kRows) {
            state.SkipWithError("wrong row count");
        }
    }
}

void BM_WriteFlushBytes(benchmark::State& state) {
    const std::string bytes(std::filesystem::file_size(BigTableFile()), 'x');
    const std::string file = BenchFolder() + "/plain.bin";
    for (auto _ : state) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                state.SkipWithError("write failed");
                break;
            }
            done += static_cast<size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
    }
}

void BM_SaveTable(benchmark::State& state) {
    const std::string folder = ExtractFolder(BigTableFile());
    auto box = std::make_unique<TMailBox>();
    box->Path = folder;
    box->EnsureLoaded();
    for (auto _ : state) {
        box->SaveTable();
    }
}

TMailBox& BoxOf(int rows) {
    static std::map<int, std::unique_ptr<TMailBox>> boxes;
    auto& box = boxes[rows];
    if (!box) {
        box = MakeBox("Rows" + std::to_string(rows), rows);
    }
    return *box;
}

void BM_FindByUidl(benchmark::State& state) {
    TMailBox& box = BoxOf(static_cast<int>(state.range(0)));
    std::mt19937 random(1);
    const int uidl = box.Table.FieldByName("UIDL");
    for (auto _ : state) {
        const TMailItem& item = box.Items.Items(random() % box.Items.Count());
        benchmark::DoNotOptimize(box.Table.Locate(uidl, item.UIDL));
    }
}

void BM_UpdateRow(benchmark::State& state) {
    TMailBox& box = BoxOf(static_cast<int>(state.range(0)));
    std::mt19937 random(2);
    for (auto _ : state) {
        TMailItem& item = box.Items.Items(random() % box.Items.Count());
        item.Read = !item.Read;
        item.Changed();
    }
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_ReadFileBytesReused)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_LoadItems)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_WriteFlushBytes)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_SaveTable)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_FindByUidl)->Arg(kRows / 10)->Arg(kRows)->Repetitions(5);
BENCHMARK(BM_UpdateRow)->Arg(kRows / 10)->Arg(kRows)->Repetitions(5);

// Keeps the median real time of every benchmark for the closing line.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.str()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Median(const std::string& name) const {
        const auto found = medians_.find(name);
        return found == medians_.end() ? 0 : found->second;
    }

  private:
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&](const std::string& a, const std::string& b) {
        const double denominator = reporter.Median(b);
        return denominator > 0 ? reporter.Median(a) / denominator : 0.0;
    };
    std::printf(
        "ratios: load/read %.2f (max 15; %.2f against the reused buffer), save/write %.2f (max 5), "
        "find 100000/10000 rows %.2f, update 100000/10000 rows %.2f\n",
        ratio("BM_LoadItems/iterations:1/repeats:5", "BM_ReadFileBytes/iterations:1/repeats:5"),
        ratio("BM_LoadItems/iterations:1/repeats:5",
              "BM_ReadFileBytesReused/iterations:1/repeats:5"),
        ratio("BM_SaveTable/iterations:1/repeats:5", "BM_WriteFlushBytes/iterations:1/repeats:5"),
        ratio("BM_FindByUidl/100000/repeats:5", "BM_FindByUidl/10000/repeats:5"),
        ratio("BM_UpdateRow/100000/repeats:5", "BM_UpdateRow/10000/repeats:5"));
    std::filesystem::remove_all(BenchFolder());
    benchmark::Shutdown();
    return 0;
}

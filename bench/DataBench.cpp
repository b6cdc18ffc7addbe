// Loading and saving a large city list beside raw I/O of the same bytes, and the cost of the
// daylight-saving test. Prints the ratios after the table.
#include "data/CityListU.h"
#include "data/StreamU.h"

#include "BenchReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TSummerTimeRule Rule(int ordinal, int month, int hour) {
    TSummerTimeRule r;
    r.Kind = RuleKindWeekday;
    r.WeekOrdinal = static_cast<std::uint8_t>(ordinal);
    r.WeekDay = 7;
    r.RuleMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hour / 24.0;
    return r;
}

std::string Numbered(const char* prefix, int i) {
    std::string s(prefix);
    s += std::to_string(i);
    return s;
}

// Names of everyday lengths. Ids are given directly: giving each of 200,000 items the next id would
// scan the whole collection every time.
void Fill(TCityList& d) {
    for (int i = 0; i < 250; ++i) {
        TCountry& c = d.Countries.Add();
        c.UniqueId = i + 1;
        c.Name = Numbered("Country ", i);
        c.Code = Numbered("C", i % 100);
        c.UTCOffset = (i % 27) - 12;
        c.DSTStart = Rule(3, 3, 2);
        c.DSTEnd = Rule(3, 10, 3);
    }
    for (int i = 0; i < 5000; ++i) {
        TState& s = d.States.Add();
        s.UniqueID = i + 1;
        s.Name = Numbered("Province ", i);
        s.CountryId = i % 250 + 1;
        s.UTCOffset = (i % 55) * 0.5 - 12;
    }
    for (int i = 0; i < 200000; ++i) {
        TCity& c = d.Cities.Add();
        c.UniqueID = i + 1;
        c.SetShortName(Numbered("City", i));
        c.LongName = Numbered("City ", i);
        c.StateId = i % 3 == 0 ? i % 5000 + 1 : 0;
        c.CountryId = i % 250 + 1;
        c.Default = i % 100 == 0;
    }
    for (int i = 0; i < 50000; ++i) {
        TAirport& a = d.Airports.Add();
        a.UniqueID = i + 1;
        a.Name = Numbered("Airport ", i) + " International";
        a.SetCodes(1, Numbered("A", i % 10000));
        a.SetCodes(2, Numbered("B", i % 10000));
        for (int k = 1; k <= 10; ++k)
            a.SetClosestCities(k, (i * 7 + k) % 200000 + 1);
        a.CountryId = i % 250 + 1;
    }
}

struct Fixture {
    Fixture() {
        Dir = fs::temp_directory_path() / (Numbered("tavik-bench-", ::getpid()));
        fs::create_directories(Dir);
        File = (Dir / "big.tvk").string();
        Fill(Data);
        SaveCityListFile(File, Data);
        Bytes = ReadWholeFile(File);
    }
    ~Fixture() { fs::remove_all(Dir); }
    fs::path Dir;
    std::string File;
    TCityList Data;
    std::vector<std::uint8_t> Bytes;
};

Fixture& Big() {
    static Fixture f;
    return f;
}

void BM_RawRead(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadWholeFile(Big().File));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Big().Bytes.size()));
}

void BM_Load(benchmark::State& state) {
    for (auto _ : state) {
        auto d = std::make_unique<TCityList>();
        LoadCityListFile(Big().File, *d);
        benchmark::DoNotOptimize(d->Cities.Count());
        // A load at start-up has nothing to free; freeing the result is not part of it.
        state.PauseTiming();
        d.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Big().Bytes.size()));
}

void BM_RawWrite(benchmark::State& state) {
    const std::string out = (Big().Dir / "raw.tvk").string();
    for (auto _ : state)
        ReplaceFileContent(out, Big().Bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Big().Bytes.size()));
}

void BM_Save(benchmark::State& state) {
    const std::string out = (Big().Dir / "saved.tvk").string();
    for (auto _ : state)
        SaveCityListFile(out, Big().Data);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Big().Bytes.size()));
}

void BM_IsInDST(benchmark::State& state) {
    const TSummerTimeRule start = Rule(3, 3, 2), end = Rule(3, 10, 3);
    TDateTime t = 46023.0; // 2026-01-01
    std::int64_t inForce = 0;
    for (auto _ : state) {
        inForce += IsInDST(start, end, t);
        t += 0.37;
        if (t > 47848.0)
            t = 46023.0;
    }
    benchmark::DoNotOptimize(inForce);
    state.SetItemsProcessed(state.iterations());
}

// Loading first: a process that has just freed large read buffers gives later allocations a
// different shape of heap, which is not what a program's start-up sees.
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IsInDST);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Big(); // builds the file before anything is timed
    TBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.Real;
    const auto ratio = [&](const char* a, const char* b) {
        if (s.count(a) && s.count(b) && s[b] > 0)
            std::printf("%-32s %6.2f x  (aim: at most 4)\n", (std::string(a) + " / " + b).c_str(),
                        s[a] / s[b]);
    };
    std::printf("\nFile of %zu bytes: 250 countries, 5,000 states, 200,000 cities, 50,000 "
                "airports\n",
                Big().Bytes.size());
    ratio("BM_Load/real_time", "BM_RawRead/real_time");
    ratio("BM_Save/real_time", "BM_RawWrite/real_time");
    if (s.count("BM_IsInDST") && s["BM_IsInDST"] > 0)
        std::printf("IsInDST: %.1f million evaluations a second (aim: at least 5)\n",
                    1e-6 / s["BM_IsInDST"]);
    return 0;
}

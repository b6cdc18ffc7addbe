#include "data/CityListU.h"
#include "data/ZoneCheckU.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <string>

// The check window's work on the shipped world: every place against the zones of its cities
// over the coming year, zone files read afresh each time as the window does.

namespace {

struct TWorld {
    TCityList Data;
    TZoneMap Zones;
    bool Ok = false;
};

const TWorld& World() {
    static TWorld w;
    static bool read = false;
    if (!read) {
        read = true;
        try {
            LoadCityListFile(TAVIK_BIN_DIR "/default.tvk", w.Data);
            w.Ok = ReadZoneMapFile(TAVIK_BIN_DIR "/default.zones", w.Zones);
        } catch (const EStreamError&) {
        }
    }
    return w;
}

void BM_CheckWorld(benchmark::State& state) {
    const TWorld& w = World();
    if (!w.Ok) {
        state.SkipWithError("default.tvk or default.zones missing: build default_world first");
        return;
    }
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    std::size_t differ = 0;
    for (auto _ : state) {
        const TZoneCheckResult r = CheckZones(w.Data, w.Zones, now);
        differ = r.Count(TZoneCheckItem::Differs);
        benchmark::DoNotOptimize(differ);
    }
    state.counters["cities"] = static_cast<double>(w.Data.Cities.Count());
    state.counters["differ"] = static_cast<double>(differ);
}

BENCHMARK(BM_CheckWorld)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nThe check of the %d cities of the shipped world (aim: under 200 ms)\n",
                World().Data.Cities.Count());
    return 0;
}

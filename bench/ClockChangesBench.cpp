// Opening the Clock Changes window with 50 cities on the dial: the lines alone, and a fresh
// window built, filled and shown. Prints the opening time against its aim after the table.
#include "FakeClockHost.h"
#include "changes/ClockChangesFormU.h"
#include "data/ClockChangesU.h"

#include "BenchReporter.h"
#include <QApplication>
#include <QListWidget>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

TFakeClockHost* Host = nullptr;

TSummerTimeRule Fixed(int day, int month, int hour) {
    TSummerTimeRule r;
    r.Kind = RuleKindFixed;
    r.FixedDay = static_cast<std::uint16_t>(day);
    r.FixedMonth = static_cast<std::uint16_t>(month);
    r.ChangeTime = hour / 24.0;
    return r;
}

// 25 countries with the rule pairs met around the world (north and south, after-day and last
// week rules, fixed dates, none) at whole and fractional offsets; 50 of 10,000 cities on the
// dial, My City among them.
void Fill(TCityList& d) {
    d.MyCity = d.CurrentCity = nullptr;
    d.Cities.Clear();
    d.States.Clear();
    d.Countries.Clear();
    d.Airports.Clear();
    const struct {
        TSummerTimeRule Start, End;
    } rules[] = {
        {WeekRule(3, 7, 0, 3, 2), WeekRule(3, 7, 0, 10, 3)},
        {WeekRule(1, 7, 0, 3, 2), WeekRule(0, 7, 0, 11, 2)},
        {WeekRule(0, 7, 0, 10, 2), WeekRule(0, 7, 0, 4, 3)},
        {WeekRule(0, 7, 1, 9, 0), WeekRule(0, 7, 1, 4, 0)},
        {Fixed(22, 3, 0), Fixed(22, 9, 0)},
        {TSummerTimeRule{}, TSummerTimeRule{}},
    };
    const double offsets[] = {1, -5, 10, -4, 3.5, 5.75, -3.5, 0, 12.75, 9.5};
    for (int i = 0; i < 25; ++i) {
        TCountry& c = d.Countries.Add();
        c.UniqueId = i + 1;
        c.Name = "Country " + std::to_string(i + 1);
        c.UTCOffset = offsets[i % 10];
        c.DSTStart = rules[i % 6].Start;
        c.DSTEnd = rules[i % 6].End;
    }
    for (int i = 0; i < 10000; ++i) {
        TCity& c = d.Cities.Add();
        c.UniqueID = i + 1;
        c.LongName = "City " + std::to_string(i + 1);
        c.CountryId = i % 25 + 1;
        c.Default = i % 200 == 0;
    }
    d.MyCity = d.CurrentCity = d.Cities.FindById(1);
}

void BM_ClockChangeEntries(benchmark::State& state) {
    std::size_t lines = 0;
    for (auto _ : state)
        lines = ClockChangeEntries(Host->Data, Host->P.Now, ClockChangeDays, true).size();
    state.counters["lines"] = static_cast<double>(lines);
}

// What the menu entry costs: a window that has shown nothing yet is filled and shown.
void BM_OpenClockChanges(benchmark::State& state) {
    for (auto _ : state) {
        TClockChangesForm fresh(*Host);
        fresh.Refresh();
        fresh.show();
        QApplication::processEvents();
        state.counters["lines"] = static_cast<double>(fresh.ChangesListBox->count());
        fresh.hide();
    }
}

} // namespace

BENCHMARK(BM_ClockChangeEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenClockChanges)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TFakeClockHost host;
    Fill(host.Data);
    TryEncodeDateTime(2027, 2, 25, 9, 0, 0, 0, host.P.Now); // changes in both hemispheres ahead
    Host = &host;

    benchmark::Initialize(&argc, argv);
    TBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double lines = reporter.Cpu["BM_ClockChangeEntries"];
    const double open = reporter.Real["BM_OpenClockChanges/iterations:20"];
    if (lines > 0 && open > 0)
        std::printf(
            "\n50 cities on the dial: the lines %.2f ms of CPU; the window opened and shown "
            "%.1f ms (aim: under 50 ms)\n",
            lines * 1e3, open * 1e3);
    return 0;
}

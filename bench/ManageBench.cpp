// Opening the location data window on each of its pages, and the Search dialog, over 100,000
// cities, as the Location menu does: each opening refills the window's lists. The openings are
// repeated on the same windows, so that anything that piles up from one to the next shows.
#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "manage/ManageU.h"
#include "select/SearchU.h"

#include "BenchReporter.h"
#include "BenchWorld.h"
#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

TFakeClockHost* Host = nullptr;
TCompanionWindows* Companions = nullptr;

void OpenManage(TManagePage page, TManageMode mode) {
    Companions->OpenManage(page, mode, 0);
    QApplication::processEvents();
    Companions->Manage().close();
}

void OpenSearch() {
    Companions->OpenSearch();
    QApplication::processEvents();
    Companions->Search().close();
}

void BM_OpenManage(benchmark::State& state) {
    const auto page = static_cast<TManagePage>(state.range(0));
    for (auto _ : state)
        OpenManage(page, TManageMode::Edit);
}

void BM_AddCity(benchmark::State& state) {
    for (auto _ : state)
        OpenManage(TManagePage::Cities, TManageMode::New);
}

void BM_OpenSearch(benchmark::State& state) {
    for (auto _ : state)
        OpenSearch();
}

// Milliseconds of each of a row of openings.
template <typename F> std::vector<double> Row(int count, F open) {
    std::vector<double> ms;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer t;
        t.start();
        open();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return ms;
}

void PrintRow(const char* what, const std::vector<double>& ms) {
    std::printf("%-28s", what);
    for (double m : ms)
        std::printf(" %6.0f", m);
    std::printf("   (ms; first %.0f, last %.0f)\n", ms.front(), ms.back());
}

} // namespace

BENCHMARK(BM_OpenManage)
    ->Arg(static_cast<int>(TManagePage::Countries))
    ->Arg(static_cast<int>(TManagePage::States))
    ->Arg(static_cast<int>(TManagePage::Cities))
    ->Arg(static_cast<int>(TManagePage::Airports))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_AddCity)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenSearch)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TFakeClockHost host;
    bench::Fill(host.Data);
    host.Window.show();
    TCompanionWindows companions(host);
    Host = &host;
    Companions = &companions;

    // A filter picks benchmarks to study: the rows below are left out then.
    bool rows = true;
    for (int i = 1; i < argc; ++i)
        rows = rows && std::strncmp(argv[i], "--benchmark_filter", 18) != 0;
    benchmark::Initialize(&argc, argv);
    TBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (!rows)
        return 0;
    {
        // A window that has filled nothing yet, as after the program starts or after an edit
        // changed what its lists show.
        TCompanionWindows fresh(host);
        Companions = &fresh;
        PrintRow("First opening (lists filled)",
                 Row(1, [] { OpenManage(TManagePage::Cities, TManageMode::Edit); }));
        PrintRow("First Search", Row(1, [] { OpenSearch(); }));
        Companions = &companions;
    }
    std::printf("\nOpenings one after another over 100,000 cities (aim: each under 300 ms, the "
                "last no slower than the first):\n");
    PrintRow("Location > Edit > City",
             Row(8, [] { OpenManage(TManagePage::Cities, TManageMode::Edit); }));
    PrintRow("Location > Edit > Airport",
             Row(8, [] { OpenManage(TManagePage::Airports, TManageMode::Edit); }));
    PrintRow("Location > Add > City",
             Row(8, [] { OpenManage(TManagePage::Cities, TManageMode::New); }));
    PrintRow("Search", Row(8, [] { OpenSearch(); }));
    return 0;
}

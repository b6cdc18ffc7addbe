// One tick of the clock (recomposing the whole skin with seconds, analog clock, captions and
// hour scale, and rewriting the centre texts) beside only copying the two skin pictures.
#include "FakePlatform.h"
#include "SkinU.h"
#include "TavikU.h"
#include "TestWorld.h"

#include "BenchReporter.h"
#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

TFakePlatform* Platform = nullptr;
TTavikForm* Form = nullptr;

void BM_SkinCopyOnly(benchmark::State& state) {
    const TSkin& skin = TSkin::Standard();
    QImage& buffer = Form->SkinImage->Buffer;
    for (auto _ : state) {
        QPainter p(&buffer);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, skin.TopLarge);
        p.drawImage(0, skin.TopLarge.height(), skin.BottomLarge);
    }
}

void BM_RedrawDial(benchmark::State& state) {
    for (auto _ : state) {
        Platform->Now += 1.0 / 86400.0 * 1.7; // seconds and minutes move
        Form->RedrawDial();
    }
}

// 20,000 cities in 5,000 states and 250 countries, 2,000 of them on the dial.
void FillBig(TCityList& d) {
    d.MyCity = d.CurrentCity = nullptr;
    d.Airports.Clear();
    d.Cities.Clear();
    d.States.Clear();
    d.Countries.Clear();
    for (int i = 0; i < 250; ++i) {
        TCountry& c = d.Countries.Add();
        c.UniqueId = i + 1;
        c.Name = "Country";
        c.UTCOffset = i % 24 - 11;
    }
    for (int i = 0; i < 5000; ++i) {
        TState& s = d.States.Add();
        s.UniqueID = i + 1;
        s.Name = "State";
        s.CountryId = i % 250 + 1;
        s.UTCOffset = (i % 48) * 0.5 - 11;
    }
    for (int i = 0; i < 20000; ++i) {
        TCity& c = d.Cities.Add();
        c.UniqueID = i + 1;
        c.LongName = "City";
        c.SetShortName("City");
        c.StateId = i % 2 ? (i * 7) % 5000 + 1 : 0;
        c.CountryId = i % 250 + 1;
        c.Default = i % 10 == 0;
    }
    d.CurrentCity = &d.Cities.Items(0);
    d.MyCity = d.CurrentCity;
}

void BM_RefreshDialLargeDatabase(benchmark::State& state) {
    FillBig(Form->Data);
    for (auto _ : state)
        Form->RefreshDial();
    state.counters["labels"] = static_cast<double>(Form->CityLabels.size());
}

BENCHMARK(BM_SkinCopyOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawDial)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshDialLargeDatabase)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TFakePlatform platform;
    Platform = &platform;
    WriteTestWorld(platform.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm form(platform.Platform, TSkin::Standard());
    form.Data.CurrentCity = form.Data.Cities.FindById(2); // Kathmandu, with state and airport
    form.RefreshDial();
    Form = &form;
    TBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double tick = reporter.Cpu["BM_RedrawDial"], copy = reporter.Cpu["BM_SkinCopyOnly"];
    if (tick > 0 && copy > 0)
        std::printf("\nOne tick: %.3f ms of CPU, %.2f x the bare skin copy (aims: under 1 ms, "
                    "within 4 x)\n",
                    tick * 1e3, tick / copy);
    const double refresh = reporter.Cpu["BM_RefreshDialLargeDatabase"];
    if (refresh > 0)
        std::printf(
            "RefreshDial with 2,000 of 20,000 cities on the dial: %.2f ms of CPU (aim: well "
            "under 20 ms)\n",
            refresh * 1e3);
    return 0;
}

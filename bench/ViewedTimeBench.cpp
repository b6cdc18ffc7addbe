// A turn of the wheel over the face with 50 cities on the dial: the wheel event as the desktop
// delivers it, the face brought to the new instant and its paint delivered. Beside it, the full
// RefreshDial that any change of the data or the options costs. The steps walk a whole day
// forward and back, so that every column, band and date change of the day is among them.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"

#include "BenchReporter.h"
#include <QApplication>
#include <QWheelEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

TTavikForm* Form = nullptr;
TFakePlatform* Platform = nullptr;

// 50 cities chosen for the dial, the test world's nine and more in countries from UTC -11 to +13
// by whole and half hours, some with summer time, so that the columns and both bands are full.
void BuildBenchWorld(TCityList& d) {
    BuildTestWorld(d, 1);
    int n = 0;
    for (int k = 0; n < 50 - 9; ++k) {
        TCountry& c = d.Countries.AddWithNewId();
        c.Name = "Country " + std::to_string(k);
        c.UTCOffset = (k % 25) - 11 + (k % 4 == 3 ? 0.5 : 0);
        if (k % 3 == 0) {
            c.DSTStart = WeekRule(3, 7, 0, 3, 2);
            c.DSTEnd = WeekRule(3, 7, 0, 10, 3);
        }
        for (int i = 0; i < 2 && n < 50 - 9; ++i, ++n) {
            TCity& city = d.Cities.AddWithNewId();
            city.LongName = "City " + std::to_string(n);
            city.SetShortName("City" + std::to_string(n));
            city.CountryId = c.UniqueId;
            city.Default = true;
        }
    }
}

void DeliverPaint() {
    QCoreApplication::sendPostedEvents();
    QEvent update(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(Form, &update);
}

void Wheel(int delta, Qt::KeyboardModifiers mods) {
    const QPointF at(300, 150);
    QWheelEvent e(at, Form->SkinImage->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Form->SkinImage, &e);
    DeliverPaint();
}

// The slowest step seen, over and above the mean that the table shows.
void Walk(benchmark::State& state, Qt::KeyboardModifiers mods, int stepsADay) {
    int i = 0;
    double slowest = 0;
    for (auto _ : state) {
        const int delta = i++ % (2 * stepsADay) < stepsADay ? 120 : -120;
        const auto t0 = std::chrono::steady_clock::now();
        Wheel(delta, mods);
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - t0)
                                        .count());
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["labels"] = static_cast<double>(Form->CityLabels.size());
}

void BM_WheelStepHour(benchmark::State& state) {
    Walk(state, Qt::NoModifier, 24);
}

void BM_WheelStepQuarter(benchmark::State& state) {
    Walk(state, Qt::ShiftModifier, 96);
}

void BM_RefreshDial(benchmark::State& state) {
    Form->BackToNow1Click();
    for (auto _ : state) {
        Form->RefreshDial();
        DeliverPaint();
    }
}

BENCHMARK(BM_WheelStepHour)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WheelStepQuarter)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshDial)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TFakePlatform platform;
    Platform = &platform;
    {
        TCityList world;
        BuildBenchWorld(world);
        SaveCityListFile(platform.File(QStringLiteral("user.tvk")).toStdString(), world);
    }
    TTavikForm form(platform.Platform, TSkin::Standard());
    Form = &form;
    form.show();
    for (int i = 0; i < 200 && !(form.windowHandle() && form.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    // The small labels, so that as many of the 50 as the slots hold are shown.
    TDisplayOptions o = form.Options;
    o.SmallCityFont = 1;
    form.ApplyDisplayOptions(o);
    DeliverPaint();
    std::printf("50 cities chosen for the dial, %zu of them with a label\n",
                form.CityLabels.size());

    TBenchReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double hour = reporter.Cpu["BM_WheelStepHour"];
    const double quarter = reporter.Cpu["BM_WheelStepQuarter"];
    const double refresh = reporter.Cpu["BM_RefreshDial"];
    if (hour > 0 && quarter > 0 && refresh > 0)
        std::printf("\nA wheel step with 50 cities on the dial (%zu labels): %.3f ms of CPU for an "
                    "hour, %.3f "
                    "ms for a quarter (aim: under 5 ms); a full RefreshDial %.3f ms\n",
                    form.CityLabels.size(), hour * 1e3, quarter * 1e3, refresh * 1e3);
    return 0;
}

// The one-second tick: what it repaints, what it allocates, and what a mere activation rebuilds.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/CityLabelU.h"
#include "clock/DialU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"

#include <QCoreApplication>
#include <QFile>
#include <QHelpEvent>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

// Counts the operator new calls of the main thread while asked to.
namespace {
thread_local bool Counting = false;
long News = 0;
} // namespace

void* operator new(std::size_t n) {
    if (Counting)
        ++News;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr TDateTime Second = 1.0 / 86400.0;

TDateTime Utc(int h, int mi, int s) {
    TDateTime t = 0;
    TryEncodeDateTime(2026, 12, 8, h, mi, s, 0, t);
    return t;
}

class Tick : public ::testing::Test {
protected:
    std::unique_ptr<TTavikForm> Start(int myCity = 1) {
        if (!QFile::exists(P.File(QStringLiteral("user.tvk"))))
            WriteTestWorld(P.File(QStringLiteral("user.tvk")).toStdString(), myCity);
        return std::make_unique<TTavikForm>(P.Platform, TSkin::Standard());
    }

    // The composed part of the window's skin.
    static QImage Shown(const TTavikForm& f) {
        return f.SkinImage->Buffer.copy(ComposedArea(f.ShownScene, TSkin::Standard()));
    }
    // The same scene composed from nothing.
    static QImage ComposedAfresh(const TTavikForm& f) {
        QImage img(600, 533, QImage::Format_RGB32);
        img.fill(Qt::magenta);
        PaintDial(img, f.ShownScene, TSkin::Standard(), f.Dial);
        return img.copy(ComposedArea(f.ShownScene, TSkin::Standard()));
    }
    // Every pixel that changed lies in a rectangle handed to the screen.
    static int PixelsChangedOutside(const QImage& before, const QImage& after,
                                    const TDirtyRects& rects) {
        if (before.size() != after.size())
            return 0;
        int outside = 0;
        for (int y = 0; y < after.height(); ++y) {
            const auto* b = reinterpret_cast<const QRgb*>(before.constScanLine(y));
            const auto* a = reinterpret_cast<const QRgb*>(after.constScanLine(y));
            for (int x = 0; x < after.width(); ++x)
                if (a[x] != b[x] && !rects.Contains(QRect(x, y, 1, 1)))
                    ++outside;
        }
        return outside;
    }

    TFakePlatform P;
};

} // namespace

TEST_F(Tick, RepaintingWhatChangedGivesTheFullComposition) {
    P.Now = Utc(19, 58, 50);
    auto f = Start(1);
    const struct {
        bool Analog, Seconds, Cities, Country;
        int DaytimeEndMinute;
    } layouts[] = {{true, true, true, true, 0},
                   {true, true, false, false, 30},
                   {true, false, true, true, 0},
                   {false, true, true, true, 0},
                   {false, false, false, true, 30}};
    for (const auto& l : layouts) {
        TDisplayOptions o = f->Options;
        o.AnalogClock = l.Analog;
        o.ShowSeconds = l.Seconds;
        o.ShowCities = l.Cities;
        o.ShowCountryName = l.Country;
        o.DaytimeEndMinute = static_cast<std::uint8_t>(l.DaytimeEndMinute);
        P.Now = Utc(19, 59, 4);
        f->Data.CurrentCity = f->Data.Cities.FindById(1);
        f->ApplyDisplayOptions(o);
        const std::string name = "analog " + std::to_string(l.Analog) + " seconds " +
                                 std::to_string(l.Seconds) + " cities " + std::to_string(l.Cities);
        QImage before = Shown(*f);
        // Second by second through a whole minute into the hour and the evening (20:00, or
        // 20:30 local), then jumps forward and back, another city, and none.
        std::vector<TDateTime> instants;
        for (int s = 0; s < 66; ++s)
            instants.push_back(Utc(19, 59, 5) + s * Second);
        for (int s = 0; s < 10; ++s)
            instants.push_back(Utc(20, 29, 55) + s * Second);
        for (TDateTime t : {Utc(21, 3, 7), Utc(21, 2, 59), Utc(20, 2, 0), Utc(23, 59, 59),
                            Utc(0, 0, 1) + 1, Utc(7, 59, 59) + 1, Utc(8, 0, 0) + 1})
            instants.push_back(t);
        for (std::size_t i = 0; i < instants.size(); ++i) {
            P.Now = instants[i];
            if (i == instants.size() - 3) {
                f->Data.CurrentCity = f->Data.Cities.FindById(2); // Kathmandu, +5.75
                f->RefreshDial();
            } else if (i == instants.size() - 1) {
                f->Data.CurrentCity = nullptr;
                f->RefreshDial();
            } else {
                f->RedrawDial();
            }
            const QImage after = Shown(*f);
            ASSERT_EQ(after, ComposedAfresh(*f)) << name << ", instant " << i;
            ASSERT_EQ(PixelsChangedOutside(before, after, f->LastRepainted), 0)
                << name << ", instant " << i;
            before = after;
        }
    }

    // A window started afresh at the same moment shows the same face.
    P.Now = Utc(20, 30, 17);
    f->Data.CurrentCity = f->Data.Cities.FindById(4); // St. John's, -3.5
    f->RefreshDial();
    for (int s = 0; s < 75; ++s) {
        P.Now += Second;
        f->RedrawDial();
    }
    auto g = Start(1);
    g->Data.CurrentCity = g->Data.Cities.FindById(4);
    g->ApplyDisplayOptions(f->Options);
    EXPECT_EQ(Shown(*g), Shown(*f));
}

TEST_F(Tick, AQuietTickRepaintsLittleAndAllocatesAlmostNothing) {
    P.Now = Utc(12, 10, 0);
    auto f = Start(1);
    f->Data.CurrentCity = f->Data.Cities.FindById(2); // a difference text and a delta sign
    f->RefreshDial();
    int hintsSet = 0;
    struct Counter : QObject {
        int& N;
        explicit Counter(int& n) : N(n) {}
        bool eventFilter(QObject*, QEvent* e) override {
            N += e->type() == QEvent::ToolTipChange;
            return false;
        }
    } counter(hintsSet);
    f->DeltaImage->installEventFilter(&counter);

    auto quietTicks = [&](const char* layout) {
        for (int s = 1; s < 60; ++s) {
            P.Now = Utc(12, 10, s);
            News = 0;
            Counting = true;
            f->RedrawDial();
            Counting = false;
            EXPECT_LT(News, 10) << layout << ", second " << s;
            const QRect r = f->LastRepainted.Bounds();
            EXPECT_LE(r.width() * r.height(), 20 * 20) << layout << ", second " << s;
            if (s % 5 == 0 || !f->Options.AnalogClock || !f->Options.ShowSeconds) {
                EXPECT_EQ(f->LastRepainted.Count(), 0) << layout << ", second " << s;
            }
        }
    };
    quietTicks("analog");
    TDisplayOptions o = f->Options;
    o.AnalogClock = 0;
    o.ShowSeconds = 0;
    o.TimeStyle = 1;
    P.Now = Utc(12, 10, 0);
    f->ApplyDisplayOptions(o);
    hintsSet = 0;
    quietTicks("24 hours without seconds");
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("17:10"));
    EXPECT_EQ(hintsSet, 0) << "the delta sign's hint is set only when it changes";

    // A changed minute is shown, and only the row of hour texts is recomposed.
    P.Now = Utc(12, 11, 0);
    f->RedrawDial();
    EXPECT_EQ(f->CurrentCityTimeLabel->text(), QStringLiteral("17:11"));
    EXPECT_LE(f->LastRepainted.Bounds().height(), 40);
    EXPECT_EQ(hintsSet, 0);
}

TEST_F(Tick, TextsFollowDataChangedInPlaceAtTheNextTick) {
    P.Now = Utc(12, 0, 0);
    auto f = Start(1);
    f->Data.CurrentCity = f->Data.Cities.FindById(3); // Delhi
    f->RefreshDial();
    ASSERT_EQ(f->DifferenceMyCityLabel->text(),
              QStringLiteral("Delhi is 5\u00BD hours later than London"));
    f->Data.MyCity->LongName = "Londinium";
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->DifferenceMyCityLabel->text(),
              QStringLiteral("Delhi is 5\u00BD hours later than Londinium"));
    f->Data.Countries.FindById(f->Data.MyCity->CountryId)->UTCOffset = 1;
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->DifferenceMyCityLabel->text(),
              QStringLiteral("Delhi is 4\u00BD hours later than Londinium"));

    // The current city's state deleted and another made with its id, in the same slot: the
    // tick finds the new one, as a search by id would.
    f->Data.CurrentCity = f->Data.Cities.FindById(4); // St. John's, in state 2 at index 1
    f->RefreshDial();
    EXPECT_EQ(f->CurrentUtcOffset, -3.5);
    const TState* old = &f->Data.States.Items(1);
    f->Data.States.Delete(1);
    TState& again = f->Data.States.Add();
    again.UniqueID = 2;
    again.UTCOffset = -2.5;
    EXPECT_EQ(&again, old) << "the slot is reused";
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->CurrentUtcOffset, -2.5);
    // Moved to another index: found there.
    f->Data.States.Delete(0);
    again.UTCOffset = -1.5;
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->CurrentUtcOffset, -1.5);
    // Gone, its slot taken by a state with another id: the last values stay.
    f->Data.States.Delete(0);
    TState& other = f->Data.States.Add();
    other.UniqueID = 99;
    other.UTCOffset = 7;
    EXPECT_EQ(&other, old);
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->CurrentUtcOffset, -1.5);
    // The city moved to another state in place.
    TState& third = f->Data.States.AddWithNewId();
    third.UTCOffset = 9;
    f->Data.CurrentCity->StateId = third.UniqueID;
    P.Now += Second;
    f->RedrawDial();
    EXPECT_EQ(f->CurrentUtcOffset, 9);
}

TEST_F(Tick, ActivationRebuildsTheLabelsOnlyWhenTheyWouldDiffer) {
    P.Now = Utc(12, 0, 0);
    auto f = Start(1);
    f->RefreshDial();
    const std::vector<TCityLabel*> first = f->CityLabels;
    ASSERT_FALSE(first.empty());
    auto rebuilt = [&] {
        const std::vector<TCityLabel*> before = f->CityLabels;
        f->FormActivate();
        return f->CityLabels != before;
    };
    auto label = [&](int id) -> TCityLabel* {
        for (TCityLabel* l : f->CityLabels)
            if (l->Id() == id)
                return l;
        return nullptr;
    };

    P.Now = Utc(12, 59, 58);
    f->RedrawDial();
    EXPECT_FALSE(rebuilt()) << "nothing changed within the hour";
    EXPECT_EQ(f->CityLabels, first);

    // Data changed in place by another window, with no refresh of its own.
    f->Data.Cities.FindById(3)->SetShortName("Dilli");
    EXPECT_TRUE(rebuilt());
    EXPECT_EQ(label(3)->text(), QStringLiteral("Dilli+\u00BD"));
    f->Data.States.FindById(1)->Name = "Bagmati Province";
    EXPECT_TRUE(rebuilt()) << "a hint's name";
    EXPECT_TRUE(label(2)->toolTip().contains(QStringLiteral("Bagmati Province")));
    f->Data.Countries.FindById(3)->UTCOffset = 6.5;
    EXPECT_TRUE(rebuilt()) << "Delhi moves a column on";
    EXPECT_EQ(label(3)->x(), 12 + 53 * 5);
    f->Data.Cities.FindById(5)->Default = false;
    EXPECT_TRUE(rebuilt());
    EXPECT_EQ(label(5), nullptr);
    f->Data.Countries.FindById(1)->Name = "Britain"; // the centre's country
    EXPECT_TRUE(rebuilt());
    EXPECT_EQ(f->CurrentCountryLabel->text(), QStringLiteral("Britain"));
    EXPECT_FALSE(rebuilt());

    // The hour, the options and the city in the centre.
    P.Now = Utc(13, 0, 1);
    f->RedrawDial();
    EXPECT_FALSE(rebuilt()) << "the tick that began the hour brought them up to date";
    TDisplayOptions o = f->Options;
    o.SmallCityFont = 1;
    f->ApplyDisplayOptions(o);
    EXPECT_FALSE(rebuilt()) << "applying the options refreshed already";
    f->Options.DaytimeStartHour = 14; // changed in place
    EXPECT_TRUE(rebuilt());
    f->Data.CurrentCity = f->Data.Cities.FindById(7);
    f->ComputeCurrentCityTime();
    EXPECT_TRUE(rebuilt());
    EXPECT_EQ(label(7), nullptr);
    EXPECT_FALSE(rebuilt());
}

namespace {

TDateTime UtcOn(int month, int day, int h, int mi, int s) {
    TDateTime t = 0;
    TryEncodeDateTime(2026, month, day, h, mi, s, 0, t);
    return t;
}

// What a label shows: caption, place, size, colour and hint.
QString Described(const TCityLabel& l) {
    return QStringLiteral("%1 %2 at %3,%4 %5x%6 %7 [%8]")
        .arg(l.Id())
        .arg(l.text())
        .arg(l.x())
        .arg(l.y())
        .arg(l.width())
        .arg(l.height())
        .arg(l.palette().color(QPalette::WindowText).name(), l.toolTip());
}

std::string Described(const TTavikForm& f) {
    QStringList r;
    for (const TCityLabel* l : f.CityLabels)
        r.append(Described(*l));
    return r.join(QLatin1Char('\n')).toStdString();
}

QString HintAsShown(TCityLabel& l) {
    QHelpEvent e(QEvent::ToolTip, QPoint(1, 1), l.mapToGlobal(QPoint(1, 1)));
    QCoreApplication::sendEvent(&l, &e);
    return l.toolTip();
}

} // namespace

TEST_F(Tick, LabelsKeptRunningMatchAFreshStartAcrossClockChangesBandsAndMidnight) {
    // From the afternoon of 24 October to the night after: London and Berlin leave summer
    // time at 01:00 UTC, the daytime window's edges pass in every zone, and midnight too.
    P.Now = UtcOn(10, 24, 16, 0, 0);
    auto f = Start(1);
    TDisplayOptions o = f->Options;
    o.ShowSeconds = 0;
    f->Data.CurrentCity = f->Data.Cities.FindById(3); // Delhi, no clock change
    f->ComputeCurrentCityTime();
    f->ApplyDisplayOptions(o);
    auto label = [](const TTavikForm& w, int id) -> TCityLabel* {
        for (TCityLabel* l : w.CityLabels)
            if (l->Id() == id)
                return l;
        return nullptr;
    };
    ASSERT_NE(label(*f, 1), nullptr);
    ASSERT_NE(label(*f, 4), nullptr);
    const int londonBefore = label(*f, 1)->x();
    const QColor stJohnsBefore = label(*f, 4)->palette().color(QPalette::WindowText);

    int compared = 0;
    const TDateTime end = UtcOn(10, 25, 3, 0, 0);
    std::int64_t lastQuarter = -1;
    for (TDateTime t = P.Now; t < end; t += 7 * Second) {
        P.Now = t;
        f->RedrawDial();
        const TTimeParts u = DecodeTime(t);
        const std::int64_t quarter = std::llround(t * 96 * 60) / 60;
        if (quarter == lastQuarter)
            continue;
        lastQuarter = quarter;
        auto g = Start(1);
        g->Data.CurrentCity = g->Data.Cities.FindById(3);
        g->ComputeCurrentCityTime();
        g->ApplyDisplayOptions(o);
        ASSERT_EQ(Described(*f), Described(*g))
            << "at " << u.Hour << ":" << u.Minute << ":" << u.Second << " UTC";
        ++compared;
    }
    EXPECT_EQ(compared, 45);
    EXPECT_EQ(label(*f, 1)->x(), londonBefore - 53)
        << "London an hour nearer to Delhi since its summer time ended";
    ASSERT_NE(label(*f, 4), nullptr);
    EXPECT_NE(label(*f, 4)->palette().color(QPalette::WindowText), stJohnsBefore)
        << "night in St. John's";

    // With the seconds shown, a hint tells the second it is shown in.
    o.ShowSeconds = 1;
    P.Now = end;
    f->ApplyDisplayOptions(o);
    P.Now += 23 * Second;
    f->RedrawDial();
    auto g = Start(1);
    g->Data.CurrentCity = g->Data.Cities.FindById(3);
    g->ComputeCurrentCityTime();
    g->ApplyDisplayOptions(o);
    EXPECT_EQ(HintAsShown(*label(*f, 1)), label(*g, 1)->toolTip());
    EXPECT_EQ(f->CityLabels.size(), g->CityLabels.size());
}

TEST_F(Tick, TheLabelsAreCheckedOnceAMinuteOnly) {
    P.Now = Utc(12, 10, 0);
    auto f = Start(1);
    f->RefreshDial();
    // Changed in place with no refresh: the tick within the minute leaves the labels alone,
    // the first tick of the next minute shows the change.
    f->Data.Cities.FindById(3)->SetShortName("Dilli");
    const std::vector<TCityLabel*> before = f->CityLabels;
    for (int s = 1; s < 60; ++s) {
        P.Now = Utc(12, 10, s);
        f->RedrawDial();
    }
    EXPECT_EQ(f->CityLabels, before);
    P.Now = Utc(12, 11, 0);
    f->RedrawDial();
    EXPECT_NE(f->CityLabels, before);
}

TEST_F(Tick, TheFaceFollowsTheStoreWithNoRefreshAsked) {
    P.Now = Utc(12, 0, 0);
    auto f = Start(1);
    f->RefreshDial();
    auto labelled = [&](int id) {
        return std::any_of(f->CityLabels.begin(), f->CityLabels.end(),
                           [id](const TCityLabel* l) { return l->Id() == id; });
    };
    ASSERT_TRUE(labelled(3));
    TLocationStore& store = f->Store();

    // Off the dial for the moment: gone from the columns, and nothing to save.
    store.SetOnDial(f->Data.Cities.FindById(3), false, TChoice::OfTheMoment);
    EXPECT_FALSE(labelled(3));
    EXPECT_FALSE(f->Data.Modified);

    ASSERT_TRUE(store.ShowCity(f->Data.Cities.FindById(3)));
    EXPECT_EQ(f->CurrentCityLabel->text(), QStringLiteral("Delhi+\u00BD"));
    EXPECT_EQ(f->DifferenceMyCityLabel->text(),
              QStringLiteral("Delhi is 5\u00BD hours later than London"));

    // The centre deleted: the face goes home. The next new city takes the last city's slot and
    // id, and the face shows the new one, not what it kept of the old.
    ASSERT_TRUE(store.Delete(TRecordKind::City, 9)); // Lost, the last
    TCity* cairo = f->Data.Cities.FindById(8);
    const std::int32_t egypt = cairo->CountryId;
    ASSERT_TRUE(store.ShowCity(cairo));
    ASSERT_TRUE(store.Delete(TRecordKind::City, 8));
    EXPECT_EQ(f->Data.CurrentCity, f->Data.MyCity);
    EXPECT_EQ(f->CurrentCityLabel->text(), QStringLiteral("London"));
    TCityChange change;
    change.Value.LongName = "Giza";
    change.Value.SetShortName("Giza");
    change.Value.CountryId = egypt;
    TCity& giza = store.ApplyCity(change);
    EXPECT_EQ(&giza, cairo) << "the slot is reused";
    EXPECT_EQ(giza.UniqueID, 8) << "and the id";
    ASSERT_TRUE(store.ShowCity(&giza));
    EXPECT_TRUE(f->CurrentCityLabel->text().startsWith(QStringLiteral("Giza")));
    EXPECT_TRUE(f->DifferenceMyCityLabel->text().startsWith(QStringLiteral("Giza is ")));
    EXPECT_TRUE(f->Data.Modified);
}

#include "data/ByteIoU.h"
#include "data/CityListU.h"
#include "data/FormatU.h"
#include "data/ListTargetU.h"
#include "data/StreamU.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

// A valid file of three countries, three states, four cities and three airports.
std::vector<std::uint8_t> SampleFile() {
    TCityList d;
    for (std::uint16_t i = 0; i < 3; ++i) {
        const TSummerTimeRule rule{static_cast<std::uint8_t>(i), 3, 3, 3, 7, i, 3, 0.125};
        d.Countries.AddWithNewId() = {i + 1, "Country", "C", i * 2.75 - 3, i + 1, rule, rule};
        d.States.AddWithNewId() = {i + 1, " State ", "S", i + 1, 5.75 * (i - 1), 0, rule, rule};
        d.Airports.AddWithNewId().SetClosestCities(i + 1, i + 1);
    }
    for (int i = 0; i < 4; ++i) {
        TCity& c = d.Cities.AddWithNewId();
        c.SetShortName("City" + std::to_string(i));
        c.LongName = "City number " + std::to_string(i);
        c.StateId = i % 2 ? i : 0;
        c.CountryId = 1 + i % 3;
        c.Default = i % 2 == 0;
    }
    d.MyCity = &d.Cities.Items(1);
    TMemoryOutStream out;
    WriteCityList(out, d);
    return out.Bytes;
}

// Where the four counts and the My City id sit in that file.
const std::size_t CountAt[] = {0, 4 + 3 * 318, 8 + 3 * 318 + 3 * 122,
                               12 + 3 * 318 + 3 * 122 + 4 * 78,
                               16 + 3 * 318 + 3 * 122 + 4 * 78 + 3 * 168};

bool ReadAny(const std::uint8_t* p, std::size_t n, TCityList& d) {
    TMemoryInStream in(p, n);
    try {
        ReadCityList(in, d);
        return true;
    } catch (const EReadError&) {
        return false;
    }
}

// Whatever was read: the references name listed cities, the windows' uses run, and the list
// writes out and reads back to the same bytes.
::testing::AssertionResult Sound(const TCityList& d) {
    for (const TCity* c : {d.MyCity, d.CurrentCity})
        if (c && d.Cities.IndexOf(c) < 0)
            return ::testing::AssertionFailure() << "a reference outside the list";
    const TLocaleFacts locale;
    TMemoryList list(true), combo;
    d.Countries.FillComboBox(combo, true, locale);
    d.States.FillComboBox(combo, 0, true, locale);
    d.Airports.AddToComboBox(combo, 0, 0);
    d.Cities.FillListBox(list, d.MyCity);
    for (const auto& c : d.Cities) {
        d.Cities.AddToCityCombo(combo, d.Countries.FindById(c->CountryId),
                                d.States.FindById(c->StateId));
        TCities::SelectCityInCombo(combo, c->UniqueID);
        if (const TPlace p = PlaceOfCity(d, *c))
            for (TDateTime utc : {46100.5, 46300.25}) {
                FormatDateTimeText("ddd dd/mm/yyyy h:mm:ss am/pm", p.LocalTimeWholeHours(utc),
                                   locale);
                FormatCentreDate(p.LocalTime(utc), 1, locale);
                OffsetMarks(OffsetFraction(p.UTCOffset()));
            }
    }
    TMemoryOutStream first, second;
    WriteCityList(first, d);
    TCityList again;
    if (!ReadAny(first.Bytes.data(), first.Bytes.size(), again))
        return ::testing::AssertionFailure() << "what was written does not read";
    WriteCityList(second, again);
    if (first.Bytes != second.Bytes)
        return ::testing::AssertionFailure() << "a second round trip differs";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(CityListFuzz, EveryTruncation) {
    const std::vector<std::uint8_t> file = SampleFile();
    ASSERT_EQ(CountAt[4] + 4, file.size());
    for (std::size_t n = 0; n <= file.size(); ++n) {
        TCityList d;
        ASSERT_TRUE(ReadAny(file.data(), file.size(), d));
        // Only the My City id may be missing from a whole list.
        ASSERT_EQ(n + 4 >= file.size(), ReadAny(file.data(), n, d)) << n;
        ASSERT_TRUE(Sound(d)) << "length " << n;
    }
}

// Flipped bytes, odd counts, full length bytes, NaN and infinite doubles, odd rule fields and
// cut or lengthened files, read one after another into the same list as repeated loads would.
TEST(CityListFuzz, RandomMutations) {
    const std::vector<std::uint8_t> file = SampleFile();
    std::mt19937 rng(20261207);
    const std::int32_t counts[] = {std::numeric_limits<std::int32_t>::min(), -1, 0, 1, 5,
                                   std::numeric_limits<std::int32_t>::max()};
    const double doubles[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::denorm_min(),
                              -1e15,
                              -99};
    TCityList d;
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> b = file;
        for (int k = 1 + static_cast<int>(rng() % 6); k > 0; --k) {
            const std::size_t at = rng() % (b.size() - 8);
            switch (rng() % 5) {
            case 0:
                b[at] ^= static_cast<std::uint8_t>(1 + rng() % 255);
                break;
            case 1:
                PutI32(&b[CountAt[rng() % 5]], counts[rng() % std::size(counts)]);
                break;
            case 2:
                b[at] = 255;
                break;
            case 3:
                PutF64(&b[at], doubles[rng() % std::size(doubles)]);
                break;
            default:
                b[at] = static_cast<std::uint8_t>(rng() % 2 ? 0 : rng() % 16);
            }
        }
        if (rng() % 4 == 0)
            b.resize(rng() % (b.size() + 40), static_cast<std::uint8_t>(rng()));
        ReadAny(b.data(), b.size(), d);
        ASSERT_TRUE(Sound(d)) << "round " << round;
    }
}

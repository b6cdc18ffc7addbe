#include "data/StreamU.h"
#include "prefs/TavikOptionsU.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TempDir {
public:
    TempDir() {
        Path = fs::temp_directory_path() /
               ("tavik-prefs-" + std::to_string(::getpid()) + "-" + std::to_string(Counter++));
        fs::create_directories(Path);
    }
    ~TempDir() { fs::remove_all(Path); }
    std::string File(const char* name) const { return (Path / name).string(); }
    fs::path Path;
    static inline int Counter = 0;
};

std::vector<std::uint8_t> ReadBytes(const std::string& f) {
    std::ifstream in(f, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TDateTime At(int h, int m, int s = 0) {
    TDateTime d = 0;
    TryEncodeDateTime(2026, 12, 7, h, m, s, 0, d);
    return d;
}

} // namespace

TEST(DisplayOptions, DefaultsAndStoredOrder) {
    TDisplayOptions o;
    o.SpareByte = 0xA5;
    SetDefaults(o);
    std::uint8_t b[18];
    o.ToBytes(b);
    const std::uint8_t expected[18] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 8, 0, 20, 0, 0, 0, 0xA5, 0, 0};
    EXPECT_EQ(0, std::memcmp(b, expected, 18)) << "defaults keep byte 15";

    // Each field sits at its own offset.
    std::uint8_t all[18];
    for (int i = 0; i < 18; ++i)
        all[i] = static_cast<std::uint8_t>(i + 100);
    TDisplayOptions r;
    r.FromBytes(all, 18);
    EXPECT_EQ(r.ShowSeconds, 100);
    EXPECT_EQ(r.StayOnTop, 108);
    EXPECT_EQ(r.DaytimeEndMinute, 112);
    EXPECT_EQ(r.SpareByte, 115);
    EXPECT_EQ(r.SmallCityFont, 117);

    // A short stream fills only what it holds.
    TDisplayOptions partial = o;
    TMemoryInStream in(all, 4);
    ReadFromStream(partial, in);
    EXPECT_EQ(partial.AnalogClock, 103);
    EXPECT_EQ(partial.SpareFlag, 1);
    TMemoryOutStream out;
    WriteToStream(partial, out);
    EXPECT_EQ(out.Bytes.size(), 18u);
}

TEST(DisplayOptions, DaytimeWindow) {
    TDisplayOptions o;
    SetDefaults(o);
    EXPECT_FALSE(IsDaytime(o, At(7, 59, 59)));
    EXPECT_TRUE(IsDaytime(o, At(8, 0)));
    EXPECT_TRUE(IsDaytime(o, At(19, 59, 59)));
    EXPECT_FALSE(IsDaytime(o, At(20, 0)));

    o.DaytimeStartHour = 20;
    o.DaytimeEndHour = 8;
    for (int h = 0; h < 24; ++h)
        EXPECT_FALSE(IsDaytime(o, At(h, 30))) << "no wrap past midnight, hour " << h;

    // Out-of-range bounds count as minutes since midnight.
    o.DaytimeStartHour = 8;
    o.DaytimeStartMinute = 75;
    o.DaytimeEndHour = 30;
    o.DaytimeEndMinute = 0;
    EXPECT_FALSE(IsDaytime(o, At(9, 14)));
    EXPECT_TRUE(IsDaytime(o, At(9, 15)));
    EXPECT_TRUE(IsDaytime(o, At(23, 59, 59)));
}

TEST(DisplayOptions, FormatPatterns) {
    TDisplayOptions o;
    SetDefaults(o);
    EXPECT_EQ(TimeFormatFor(o, "x"), "h:mm:ss am/pm");
    o.ShowSeconds = 0;
    EXPECT_EQ(TimeFormatFor(o, "x"), "h:mm am/pm");
    o.TimeStyle = 1;
    EXPECT_EQ(TimeFormatFor(o, "x"), "h:mm");
    o.TimeStyle = 7;
    EXPECT_EQ(TimeFormatFor(o, "kept"), "kept");

    TLocaleFacts l;
    o.ShowSeconds = 0;
    o.TimeStyle = 0;
    EXPECT_EQ(FormatDateTimeText(TimeFormatFor(o, ""), At(13, 5), l), "1:05 pm");
    o.ShowSeconds = 1;
    o.TimeStyle = 1;
    EXPECT_EQ(FormatDateTimeText(TimeFormatFor(o, ""), At(13, 5), l), "13:05:00");

    EXPECT_EQ(DateFormatFor(o, "long", "x"), "ddd dd/mm/yyyy");
    o.DateStyle = 1;
    EXPECT_EQ(DateFormatFor(o, "long", "x"), "ddd mm/dd/yyyy");
    o.DateStyle = 2;
    EXPECT_EQ(DateFormatFor(o, "long", "x"), "long");
    o.DateStyle = 3;
    EXPECT_EQ(DateFormatFor(o, "long", "kept"), "kept");
    l.DateSeparator = '.';
    EXPECT_EQ(FormatDateTimeText("ddd mm/dd/yyyy", At(1, 0), l), "Mon 12.07.2026");
}

TEST(PreferencesFile, WriteReadAndBadFiles) {
    TempDir dir;
    const std::string f = dir.File(TPreferencesFile::FileName);
    TPreferencesFile p;
    SetDefaults(p.Options);
    p.Options.SpareByte = 42;
    p.Left = -1200;
    p.Top = 77;
    p.ResetRequested = 5; // never written
    ASSERT_TRUE(WritePreferencesFile(f, p));
    const auto bytes = ReadBytes(f);
    ASSERT_EQ(bytes.size(), 27u);
    EXPECT_EQ(bytes[15], 42);
    EXPECT_EQ(bytes[18], 0x50); // -1200 little-endian
    EXPECT_EQ(bytes[21], 0xFF);
    EXPECT_EQ(bytes[22], 77);
    EXPECT_EQ(bytes[26], 0);

    TPreferencesFile r;
    ASSERT_TRUE(ReadPreferencesFile(f, r));
    EXPECT_EQ(r.Options, p.Options);
    EXPECT_EQ(r.Left, -1200);
    EXPECT_EQ(r.Top, 77);
    EXPECT_EQ(r.ResetRequested, 0);

    // Missing and short files read as missing and leave the record alone.
    TPreferencesFile untouched;
    EXPECT_FALSE(ReadPreferencesFile(dir.File("nothing"), untouched));
    fs::resize_file(f, 26);
    EXPECT_FALSE(ReadPreferencesFile(f, untouched));
    EXPECT_EQ(untouched.Options, TDisplayOptions{});

    // Longer files are read by their first 27 bytes.
    {
        std::ofstream out(f, std::ios::binary | std::ios::trunc);
        std::string data(40, '\x01');
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
    ASSERT_TRUE(ReadPreferencesFile(f, r));
    EXPECT_EQ(r.ResetRequested, 1);
    EXPECT_EQ(r.Left, 0x01010101);

    // A folder that does not exist fails quietly.
    EXPECT_FALSE(WritePreferencesFile(dir.File("no/such/dir/tavikprefs"), p));
}

TEST(PreferencesFile, WhatIsNoFileReadsAsMissing) {
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0666));
    const std::string zero = dir.File("zero");
    fs::create_symlink("/dev/zero", zero);
    // A FIFO would block the start and /dev/zero never end; both start with the defaults.
    for (const std::string& f : {fifo, zero, std::string("/dev/zero"), dir.Path.string()}) {
        TPreferencesFile p;
        EXPECT_FALSE(ReadPreferencesFile(f, p)) << f;
        EXPECT_EQ(p.Options, TDisplayOptions{}) << f;
    }

    // Saving through a link keeps the link and writes the file it names.
    const std::string real = dir.File("real");
    const std::string link = dir.File(TPreferencesFile::FileName);
    fs::create_symlink(real, link);
    TPreferencesFile p;
    p.Top = 5;
    ASSERT_TRUE(WritePreferencesFile(link, p));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real).size(), 27u);
    EXPECT_FALSE(fs::exists(real + ".bak")) << "no backup of the preferences";
}

TEST(StoredPosition, UsedOnlyWithTheTopEdgeOnAScreen) {
    const std::vector<TScreenArea> screens = {{0, 0, 1920, 1080}, {1920, -200, 1280, 1024}};
    EXPECT_TRUE(TopEdgeOnScreen(100, 100, 600, screens));
    EXPECT_TRUE(TopEdgeOnScreen(0, 0, 600, screens));
    EXPECT_TRUE(TopEdgeOnScreen(2500, -200, 600, screens)) << "the second screen's top";
    EXPECT_TRUE(TopEdgeOnScreen(100, 1079, 600, screens)) << "the last row";
    EXPECT_FALSE(TopEdgeOnScreen(100, 1080, 600, screens)) << "just below";
    EXPECT_FALSE(TopEdgeOnScreen(100, -1, 600, screens)) << "the edge above the screen";
    EXPECT_TRUE(TopEdgeOnScreen(-552, 10, 600, screens)) << "48 pixels of the edge show";
    EXPECT_FALSE(TopEdgeOnScreen(-553, 10, 600, screens));
    EXPECT_TRUE(TopEdgeOnScreen(3200 - 48, -100, 600, screens));
    EXPECT_FALSE(TopEdgeOnScreen(3200 - 47, -100, 600, screens));
    EXPECT_TRUE(TopEdgeOnScreen(1890, 900, 30, screens)) << "a narrow window, all shown";
    EXPECT_FALSE(TopEdgeOnScreen(1910, 900, 30, screens)) << "partly over the edge";
    // Far positions from a damaged file: no sum may overflow, and none lands on a screen.
    for (std::int64_t far : {std::int64_t{2147483026}, std::int64_t{INT32_MAX},
                             std::int64_t{INT32_MIN}, std::int64_t{-2147483026}}) {
        EXPECT_FALSE(TopEdgeOnScreen(far, 100, 600, screens)) << far;
        EXPECT_FALSE(TopEdgeOnScreen(100, far, 600, screens)) << far;
    }
    EXPECT_FALSE(TopEdgeOnScreen(100, 100, 600, {})) << "no screens known";
    EXPECT_FALSE(TopEdgeOnScreen(100, 100, 600, {{0, 0, 0, 0}}));
}

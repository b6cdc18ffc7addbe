#include "data/ByteIoU.h"
#include "data/CityListU.h"
#include "data/StreamU.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Write(const TCityList& d) {
    TMemoryOutStream out;
    WriteCityList(out, d);
    return out.Bytes;
}

void Read(const Bytes& b, TCityList& d) {
    TMemoryInStream in(b);
    ReadCityList(in, d);
}

Bytes Prefix(const Bytes& b, std::size_t n) {
    return Bytes(b.begin(), b.begin() + static_cast<long>(n));
}

std::string StoredText(const Bytes& b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(&b[at + 1]), b[at]);
}

Bytes FileBytes(const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// One record of each kind with a distinct value in every field; records start at 4, 326, 452
// and 534, the My City id at 702.
void FillOneOfEach(TCityList& d) {
    d.Countries.Add() = {
        11, "Country", " ab", 5.75, 33, {.Kind = 1, .RuleMonth = 3}, {.FixedDay = 9}};
    d.States.Add() = {22, "State", "ABCDEFG", 11, -3.5, 0x01020304, {}, {.ChangeTime = 0.125}};
    TCity& t = d.Cities.Add();
    t.UniqueID = 33;
    t.SetShortName(" Short  ");
    t.LongName = " Spaced long name ";
    t.StateId = 22;
    t.CountryId = 11;
    t.Default = true;
    TAirport& a = d.Airports.Add();
    a.UniqueID = 44;
    a.Name = "Airport";
    a.SetCodes(1, "AAA");
    a.SetCodes(10, "ZZZ ");
    a.SetClosestCities(1, 33);
    a.SetClosestCities(10, -7);
    a.StateId = 22;
    a.CountryId = 11;
    d.MyCity = &t;
}

} // namespace

TEST(CityListFile, ExactLayoutAndRoundTrip) {
    TCityList d;
    EXPECT_EQ(Bytes(20, 0), Write(d));
    FillOneOfEach(d);
    const Bytes b = Write(d);
    ASSERT_EQ(706u, b.size());
    // Ids and links: country 4, state 326, city 452, airport 534, each after its count.
    const int ints[][2] = {{0, 1},    {4, 11},   {278, 33},         {322, 1},
                           {326, 22}, {392, 11}, {404, 0x01020304}, {452, 33},
                           {521, 22}, {525, 11}, {534, 44},         {654, 33},
                           {690, -7}, {694, 22}, {698, 11},         {702, 33}};
    for (const auto& [at, value] : ints)
        EXPECT_EQ(value, GetI32(&b[static_cast<std::size_t>(at)])) << "at " << at;
    const std::pair<std::size_t, const char*> texts[] = {
        {4 + 4, "Country"},   {4 + 260, " ab"},   {326 + 4, "State"},
        {326 + 60, "ABCDE"},  {452 + 4, "Short"}, {452 + 13, "Spaced long name"},
        {534 + 4, "Airport"}, {534 + 60, "AAA"},  {534 + 114, "ZZZ "}};
    for (auto [at, text] : texts)
        EXPECT_EQ(text, StoredText(b, at)) << "at " << at;
    EXPECT_EQ(5.75, GetF64(&b[4 + 266]));
    EXPECT_EQ(-3.5, GetF64(&b[326 + 70]));
    EXPECT_EQ(1, b[452 + 77]);
    EXPECT_EQ(1, b[4 + 278]); // rule kinds
    EXPECT_EQ(3, GetU16(&b[4 + 278 + 10]));
    EXPECT_EQ(9, GetU16(&b[4 + 298 + 1])) << "unused rule fields are kept";
    EXPECT_EQ(2, b[326 + 82]);
    EXPECT_EQ(0.125, GetF64(&b[326 + 102 + 12]));
    EXPECT_TRUE(std::all_of(&b[4 + 12], &b[4 + 260], [](int x) { return x == 0; }));

    TCityList back;
    Read(b, back);
    EXPECT_EQ("Spaced long name", back.Cities.Items(0).LongName);
    EXPECT_EQ(" ab", back.Countries.Items(0).Code);
    EXPECT_EQ(&back.Cities.Items(0), back.MyCity);
    EXPECT_EQ(back.MyCity, back.CurrentCity);
    EXPECT_EQ(b, Write(back));
    Read(Bytes(20, 0), back);
    EXPECT_EQ(Bytes(20, 0), Write(back)) << "loading replaces everything";
    EXPECT_EQ(nullptr, back.CurrentCity);
}

TEST(CityListFile, TrimmingAndTruncationOnlyInTheFile) {
    TCityList d;
    FillOneOfEach(d);
    d.Countries.Items(0).Name = std::string(300, 'c');
    d.States.Items(0).Name = d.Cities.Items(0).LongName = d.Airports.Items(0).Name =
        std::string(60, 'n');
    Bytes b = Write(d);
    EXPECT_EQ(300u, d.Countries.Items(0).Name.size()) << "memory keeps the whole text";
    EXPECT_EQ(std::string(255, 'c'), StoredText(b, 4 + 4));
    EXPECT_EQ(std::string(55, 'n'), StoredText(b, 326 + 4));
    EXPECT_EQ(55, b[452 + 13]);
    EXPECT_EQ(55, b[534 + 4]);

    // A length beyond the capacity reads as the capacity; names are trimmed on reading too.
    b[4 + 260] = 200;
    b[452 + 4] = 255;
    std::fill(&b[452 + 5], &b[452 + 13], 'x');
    b[534 + 60] = 6;
    b[326 + 4] = 4;
    b[326 + 5] = b[326 + 8] = ' ';
    b[326 + 7] = '\t';
    TCityList back;
    Read(b, back);
    EXPECT_EQ(std::string(" ab\0\0", 5), back.Countries.Items(0).Code);
    EXPECT_EQ("xxxxxxxx", back.Cities.Items(0).ShortName());
    EXPECT_EQ(std::string("AAA\0\0", 5), back.Airports.Items(0).Codes(1));
    EXPECT_EQ("n", back.States.Items(0).Name);
}

TEST(CityListFile, CountsAndEarlyEnds) {
    TCityList d;
    FillOneOfEach(d);
    const Bytes full = Write(d);
    Bytes b(20, 0);
    PutI32(b.data(), -1);
    Read(b, d);
    EXPECT_EQ(0, d.Countries.Count()) << "a negative count is none";

    b = Prefix(full, 322); // a count of 3 with two records
    PutI32(b.data(), 3);
    b.insert(b.end(), full.begin() + 4, full.begin() + 322);
    EXPECT_THROW(Read(b, d), EReadError);
    EXPECT_EQ(2, d.Countries.Count());

    // Without a My City id (missing, 0 or unknown) there is none; the current city is found
    // again by its id, except when the stored id names no city.
    for (std::int32_t id : {-1, 0, 99}) {
        TCityList r;
        Read(full, r);
        b = full;
        id < 0 ? b.resize(702) : PutI32(&b[702], id);
        Read(b, r);
        EXPECT_EQ(nullptr, r.MyCity) << id;
        EXPECT_EQ(id == 99 ? nullptr : &r.Cities.Items(0), r.CurrentCity) << id;
    }

    // Ending inside the airports: the cities read are named again; inside the cities, they are
    // gone; before the cities, nothing changes.
    Read(full, d);
    try {
        Read(Prefix(full, 600), d);
        ADD_FAILURE() << "a short file is an error";
    } catch (const EReadError& e) {
        EXPECT_STREQ("Stream read error", e.what());
    }
    EXPECT_EQ(&d.Cities.Items(0), d.MyCity);
    EXPECT_EQ(d.MyCity, d.CurrentCity);
    EXPECT_THROW(Read(Prefix(full, 460), d), EReadError);
    EXPECT_EQ(nullptr, d.MyCity);
    EXPECT_EQ(nullptr, d.CurrentCity);
    Read(full, d);
    TCity* my = d.MyCity;
    EXPECT_THROW(Read(Prefix(full, 400), d), EReadError);
    EXPECT_EQ(my, d.MyCity);
}

TEST(CityListFile, SavingReplacesTheFileSafely) {
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-citylist-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    struct Cleanup {
        fs::path Dir;
        ~Cleanup() { fs::remove_all(Dir); }
    } cleanup{dir};
    const fs::path target = dir / "user.tvk";
    const auto entries = [&] { return std::distance(fs::directory_iterator(dir), {}); };
    TCityList d;
    FillOneOfEach(d);
    d.Modified = true;
    std::ofstream(target) << std::string(2000, 'x');
    SaveCityListFile(target.string(), d);
    EXPECT_FALSE(d.Modified);
    EXPECT_EQ(Write(d), FileBytes(target));
    EXPECT_EQ(Bytes(2000, 'x'), FileBytes(dir / "user.tvk.bak"));
    EXPECT_EQ(2, entries()) << "the file and its backup, no temporary file left";
    TCityList back;
    LoadCityListFile(target.string(), back);
    EXPECT_EQ(Write(d), Write(back));
    EXPECT_THROW(LoadCityListFile((dir / "missing.tvk").string(), back), EFOpenError);

    d.Modified = true;
    const std::string lost = (dir / "no-such-folder" / "user.tvk").string();
    try {
        SaveCityListFile(lost, d);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ("Cannot create file " + lost, e.what());
    }
    EXPECT_THROW(SaveCityListFile(dir.string(), d), EFCreateError);
    EXPECT_TRUE(fs::is_directory(dir));

    // A write that fails part-way (here at the file size limit, which binds root too) keeps
    // the old file; nothing may print while the limit holds.
    d.Countries.Items(0).Name = "Changed";
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool failed = false;
    try {
        SaveCityListFile(target.string(), d);
    } catch (const EWriteError&) {
        failed = true;
    } catch (...) {
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(d.Modified);
    EXPECT_EQ(Write(back), FileBytes(target));
    EXPECT_EQ(Bytes(2000, 'x'), FileBytes(dir / "user.tvk.bak")) << "the backup is untouched";
    EXPECT_EQ(2, entries());

    // Stream failures pass through, wherever they happen.
    struct Failing : TOutStream {
        std::size_t Room;
        explicit Failing(std::size_t room) : Room(room) {}
        void WriteBuffer(const void*, std::size_t n) override {
            if (n > Room)
                throw EWriteError();
            Room -= n;
        }
    };
    for (std::size_t room : {0, 3, 321, 705}) {
        Failing out(room);
        EXPECT_THROW(WriteCityList(out, d), EWriteError) << room;
    }
    Failing exact(706);
    EXPECT_NO_THROW(WriteCityList(exact, d));
}

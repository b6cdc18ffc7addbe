#include "data/TypeAheadU.h"
#include "select/FullCityNameU.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Edit : TSearchEdit {
    std::string Value;
    int Start = 0, Length = 0, Notified = 0;
    std::string Text() const override { return Value; }
    void SetText(const std::string& t, bool notify) override {
        Value = t;
        Start = static_cast<int>(t.size());
        Length = 0;
        Notified += notify;
    }
    int SelStart() const override { return Start; }
    int SelLength() const override { return Length; }
    void SetSelection(int s, int l) override {
        Start = s;
        Length = l;
    }
};

struct List : TSearchList {
    std::vector<std::string> Lines;
    int Index = -2, Top = -1;
    int Count() const override { return static_cast<int>(Lines.size()); }
    std::string Text(int i) const override { return Lines[static_cast<std::size_t>(i)]; }
    void SetItemIndex(int i) override { Index = i; }
    void SetTopIndex(int i) override { Top = i; }
};

} // namespace

TEST(TypeAhead, CompletesAndSelectsTheFirstEntryBeginningWithTheText) {
    List l;
    l.Lines = {"Berlin", "Lagos", "London *", "London Heathrow", "Londrina", "Luanda"};
    Edit e;
    e.SetText("lo", false);
    IncrementalSearch(e, l, 0);
    // "London" is the first to begin with it; the longer name after it does not take over.
    EXPECT_EQ(l.Index, 2);
    EXPECT_EQ(e.Value, "London");
    EXPECT_EQ(e.Start, 2);
    EXPECT_EQ(e.Length, 4);
    EXPECT_EQ(e.Notified, 0) << "a completion does not search again";
    EXPECT_EQ(l.Top, -1);

    e.SetText("LONDR", false);
    IncrementalSearch(e, l, 2);
    EXPECT_EQ(l.Index, 4);
    EXPECT_EQ(l.Top, 2);
    e.SetText("x", false);
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, -1);
    EXPECT_EQ(e.Value, "x");
    e.Value.clear();
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, -1);

    // Backspace with a completion drops it and the last typed letter, and searches again.
    e.SetText("Luanda", false);
    e.SetSelection(3, 3);
    BackspaceCompletion(e);
    EXPECT_EQ(e.Value, "Lu");
    EXPECT_EQ(e.Notified, 1);
    e.SetSelection(2, 0);
    BackspaceCompletion(e);
    EXPECT_EQ(e.Value, "Lu") << "without a selection Backspace is the edit's own";
}

TEST(TypeAhead, AWholeNameGoesBeforeLongerNamesThatBeginWithIt) {
    List l;
    Edit e;
    // The My City list: "Lima" is Lima, not Limassol.
    l.Lines = {"Lagos", "Lima", "Limassol", "Lisbon"};
    e.SetText("Lima", false);
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, 1);
    EXPECT_EQ(e.Value, "Lima");
    EXPECT_EQ(e.Length, 0);
    e.SetText("Lim", false);
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, 1) << "the first that begins with it";

    // Full names and marked names: the name ends before the places, the offset or the mark,
    // also where a longer name sorts first.
    l.Lines = {"Lima Heights, Ohio (UTC -5)", "LIMA, Peru (UTC -5)", "Limassol, Cyprus (UTC +2)"};
    e.SetText("lima", false);
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, 1);
    EXPECT_EQ(e.Value, "LIMA, Peru (UTC -5)");
    EXPECT_EQ(e.Start, 4);
    l.Lines = {"Parisville", "Paris *", "Paris (Texas)"};
    e.SetText("paris", false);
    IncrementalSearch(e, l, 3);
    EXPECT_EQ(l.Index, 1);
    EXPECT_EQ(e.Value, "Paris");
    EXPECT_EQ(l.Top, -1) << "near the top the list is not scrolled";
    e.SetText("Parisv", false);
    IncrementalSearch(e, l, 0);
    EXPECT_EQ(l.Index, 0);
    EXPECT_EQ(e.Value, "Parisville");
}

TEST(FullCityNameText, PlacesAndMissingLinks) {
    TCityList d;
    TLocaleFacts l;
    TCountry& np = d.Countries.AddWithNewId();
    np.Name = "Nepal";
    np.UTCOffset = 5.75;
    TCountry& unset = d.Countries.AddWithNewId();
    unset.Name = "Nowhere";
    TState& s = d.States.AddWithNewId();
    s.Name = "Bagmati";
    s.CountryId = np.UniqueId;
    s.UTCOffset = -3.5;
    TCity& a = d.Cities.AddWithNewId();
    a.LongName = "A";
    a.StateId = s.UniqueID;
    TCity& b = d.Cities.AddWithNewId();
    b.LongName = "B";
    b.CountryId = unset.UniqueId;
    TCity& c = d.Cities.AddWithNewId();
    c.LongName = "C";
    TCity& lost = d.Cities.AddWithNewId();
    lost.LongName = "Lost";
    lost.StateId = 99;
    EXPECT_EQ(FullCityName(d, nullptr, l), "None");
    EXPECT_EQ(FullCityName(d, &a, l), "A, Bagmati, Nepal (UTC -3.5)");
    EXPECT_EQ(FullCityName(d, &b, l), "B, Nowhere (UTC -99)");
    EXPECT_EQ(FullCityName(d, &c, l), "C");
    EXPECT_EQ(FullCityName(d, &lost, l), "Lost");
    l.DecimalSeparator = ',';
    np.UTCOffset = 0;
    a.StateId = 0;
    a.CountryId = np.UniqueId;
    EXPECT_EQ(FullCityName(d, &a, l), "A, Nepal (UTC +0)");
}

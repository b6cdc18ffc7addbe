#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "select/SearchU.h"
#include "widgets/LocaleSortU.h"
#include "widgets/QtComboU.h"
#include "widgets/QtTextU.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SearchForm : public ::testing::Test {
protected:
    SearchForm() : Companions(Host), Dialog(Companions.Search()) {}
    void TearDown() override { Dialog.close(); }

    void Open() {
        Host.Window.show();
        Companions.OpenSearch();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    }
    QStringList Results() const { return Dialog.ResultTexts(); }
    // Selects a result as a click does.
    void Select(int row) {
        QAbstractItemModel* m = Dialog.CityListBox->model();
        ASSERT_LT(row, m->rowCount());
        Dialog.CityListBox->setCurrentIndex(m->index(row, 0));
    }
    QStringList Entries(const QComboBox* combo) const {
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
        return texts;
    }
    // Chooses an entry as picking it from the open list does.
    void Choose(QComboBox* combo, const QString& text) {
        const int i = combo->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        combo->setCurrentIndex(i);
        emit combo->activated(i);
    }

    TFakeClockHost Host;
    TCompanionWindows Companions;
    TSearchForm& Dialog;
};

} // namespace

TEST_F(SearchForm, OpensOnTheClockWindowListingEveryCitySortedByFullName) {
    ASSERT_TRUE(Companions.Offers(TCompanions::TKind::Search, TManagePage::Countries));
    Open();
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Search for City"));
    EXPECT_EQ(Dialog.pos(), Host.Window.pos());
    EXPECT_EQ(Dialog.size(), QSize(462, 377));
    EXPECT_TRUE(Dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Dialog.KeywordEdit->hasFocus());
    EXPECT_FALSE(Dialog.ShowButton->isEnabled());

    const QStringList all = Results();
    ASSERT_EQ(all.size(), Host.Data.Cities.Count());
    EXPECT_EQ(all.front(), QStringLiteral("Berlin, Germany (UTC +1)"));
    EXPECT_TRUE(all.contains(QStringLiteral("Kathmandu, Bagmati, Nepal (UTC +5.75)")));
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), LocaleLess));
    for (int row = 0; row < all.size(); ++row)
        EXPECT_TRUE(all[row].startsWith(QString::fromStdString(Dialog.ResultCity(row)->LongName)))
            << "each line carries its own city";

    EXPECT_EQ(Dialog.CountryComboBox->itemText(0), QStringLiteral("- Any Country -"));
    EXPECT_EQ(Dialog.CountryComboBox->itemText(1), QStringLiteral("Canada")) << "sorted";
    EXPECT_EQ(Dialog.CountryComboBox->currentIndex(), 0);
    EXPECT_EQ(Entries(Dialog.StateComboBox),
              (QStringList{QStringLiteral("- Any State -"), QStringLiteral("Bagmati"),
                           QStringLiteral("Newfoundland")}));
    EXPECT_EQ(Dialog.AirportComboBox->itemText(0), QStringLiteral("- Any Airport -"));
    EXPECT_EQ(Dialog.UTCComboBox->count(), 57);
    EXPECT_EQ(Dialog.UTCComboBox->currentText(), QStringLiteral("Any"));

    // Labels announce their controls; the results have a name of their own.
    EXPECT_EQ(Child<QLabel>(&Dialog, "Label1")->buddy(), Dialog.CountryComboBox);
    EXPECT_EQ(Child<QLabel>(&Dialog, "Label5")->buddy(), Dialog.KeywordEdit);
    EXPECT_EQ(Dialog.CityListBox->accessibleName(), QStringLiteral("Results"));

    Companions.CityListReplaced();
    EXPECT_FALSE(Dialog.isVisible()) << "its lines named records that are gone";
}

TEST_F(SearchForm, ACountryNarrowsTheStatesAirportsAndResults) {
    Open();
    Choose(Dialog.CountryComboBox, QStringLiteral("Nepal"));
    EXPECT_EQ(Entries(Dialog.StateComboBox),
              (QStringList{QStringLiteral("- Any State -"), QStringLiteral("Bagmati")}));
    EXPECT_EQ(Entries(Dialog.AirportComboBox),
              (QStringList{QStringLiteral("- Any Airport -"),
                           QStringLiteral("Tribhuvan International Airport")}));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("Kathmandu, Bagmati, Nepal (UTC +5.75)")});

    // Any country again leaves the narrowed lists as they are and lists every city.
    Choose(Dialog.CountryComboBox, QStringLiteral("- Any Country -"));
    EXPECT_EQ(Dialog.StateComboBox->count(), 2);
    EXPECT_EQ(Results().size(), Host.Data.Cities.Count());

    Choose(Dialog.CountryComboBox, QStringLiteral("United Kingdom"));
    EXPECT_EQ(Entries(Dialog.StateComboBox), QStringList{QStringLiteral("- Any State -")});
    Choose(Dialog.AirportComboBox, QStringLiteral("Heathrow"));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("London, United Kingdom (UTC +0)")});
    Choose(Dialog.CountryComboBox, QStringLiteral("Canada"));
    EXPECT_EQ(Dialog.AirportComboBox->currentIndex(), 0) << "the airport went back to any";
    EXPECT_EQ(Results(),
              QStringList{QStringLiteral("St. John's, Newfoundland, Canada (UTC -3.5)")});

    // Typing a whole name chooses it like a pick from the list.
    Dialog.Button2->click();
    EXPECT_TRUE(Dialog.KeywordEdit->hasFocus()) << "Clear puts the focus into the keywords";
    Dialog.CountryComboBox->setFocus();
    Dialog.CountryComboBox->lineEdit()->selectAll();
    QTest::keyClicks(Dialog.CountryComboBox, QStringLiteral("india"));
    EXPECT_EQ(Dialog.CountryComboBox->currentIndex(),
              Dialog.CountryComboBox->findText(QStringLiteral("India")));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("Delhi, India (UTC +5.5)")});
    Dialog.KeywordEdit->setFocus();
    EXPECT_EQ(Dialog.CountryComboBox->currentText(), QStringLiteral("India")) << "its own spelling";
}

TEST_F(SearchForm, KeywordsAndOffsetRerunTheSearch) {
    Open();
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral("LO"));
    EXPECT_EQ(Results(), (QStringList{QStringLiteral("London, United Kingdom (UTC +0)"),
                                      QStringLiteral("Lost")}));
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral(" n"));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("London, United Kingdom (UTC +0)")});
    Dialog.KeywordEdit->clear();
    Choose(Dialog.UTCComboBox, QStringLiteral("+5.75"));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("Kathmandu, Bagmati, Nepal (UTC +5.75)")});
    Choose(Dialog.UTCComboBox, QStringLiteral("+14"));
    EXPECT_TRUE(Results().isEmpty());
    Dialog.KeywordEdit->insert(QString(QChar(0x6771))); // no city name can hold it
    EXPECT_TRUE(Results().isEmpty());
}

TEST_F(SearchForm, LeavingAListWithUnmatchedTextSelectsItsFirstEntry) {
    Open();
    const auto everyCity = Results().size();
    Choose(Dialog.CountryComboBox, QStringLiteral("Nepal"));
    Dialog.CountryComboBox->setFocus();
    Dialog.CountryComboBox->lineEdit()->selectAll();
    QTest::keyClicks(Dialog.CountryComboBox, QStringLiteral("Xq"));
    Dialog.KeywordEdit->setFocus();
    EXPECT_EQ(Dialog.CountryComboBox->currentIndex(), 0);
    EXPECT_EQ(Dialog.CountryComboBox->currentText(), QStringLiteral("- Any Country -"));
    EXPECT_EQ(Results().size(), everyCity) << "the results answer the filter the list shows";

    // A text that names the selected entry gets the entry's own spelling back.
    Dialog.StateComboBox->setFocus();
    Dialog.StateComboBox->lineEdit()->setText(QStringLiteral("- ANY STATE -"));
    Dialog.KeywordEdit->setFocus();
    EXPECT_EQ(Dialog.StateComboBox->currentText(), QStringLiteral("- Any State -"));
}

TEST_F(SearchForm, ShowPutsTheCityInTheCentreAndOnTheDial) {
    TCity* cairo = Host.Data.Cities.FindById(8);
    cairo->Default = false;
    Open();
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral("cai"));
    ASSERT_EQ(Results(), QStringList{QStringLiteral("Cairo, Egypt (UTC +2)")});
    Select(0);
    ASSERT_TRUE(Dialog.ShowButton->isEnabled());
    Dialog.ShowButton->click();
    EXPECT_EQ(Host.Data.CurrentCity, cairo);
    EXPECT_TRUE(cairo->Default);
    EXPECT_TRUE(Host.Data.Modified);
    EXPECT_EQ(Host.Computed, 1);
    EXPECT_EQ(Host.Refreshed, 1);
    EXPECT_FALSE(Dialog.isVisible());

    // After a filter change nothing is selected, and there is nothing to show.
    Open();
    Select(2);
    EXPECT_TRUE(Dialog.ShowButton->isEnabled());
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral("o"));
    EXPECT_EQ(Dialog.SelectedCity(), nullptr);
    EXPECT_FALSE(Dialog.ShowButton->isEnabled()) << "Show needs a selected result";
    Select(0);
    EXPECT_TRUE(Dialog.ShowButton->isEnabled());
    Dialog.CityListBox->selectionModel()->clearSelection();
    EXPECT_FALSE(Dialog.ShowButton->isEnabled());
    EXPECT_EQ(Host.Data.CurrentCity, cairo);
    EXPECT_TRUE(Dialog.isVisible());

    QTest::keyClick(&Dialog, Qt::Key_Escape);
    EXPECT_FALSE(Dialog.isVisible()) << "Escape closes";
    EXPECT_EQ(Host.Refreshed, 1);
}

TEST_F(SearchForm, AFilterFollowsOnlyWhatItsFieldShows) {
    TAirport& aurora = Host.Data.Airports.AddWithNewId();
    aurora.Name = "La Aurora Airport";
    aurora.CountryId = 5;
    Host.Data.Airports.FindById(2)->SetCodes(1, "LHR");
    Host.Data.Airports.FindById(2)->SetCodes(2, "EGLL");
    Open();
    const auto everyCity = Results().size();
    QComboBox* airports = Dialog.AirportComboBox;
    airports->setFocus();
    airports->lineEdit()->selectAll();
    QTest::keyClicks(airports, QStringLiteral("L"));
    EXPECT_EQ(airports->currentText(), QStringLiteral("La Aurora Airport")) << "completed";
    EXPECT_TRUE(Results().isEmpty()) << "it serves no city";
    QTest::keyClicks(airports, QStringLiteral("G"));
    EXPECT_EQ(airports->currentText(), QStringLiteral("LG"));
    EXPECT_EQ(airports->currentIndex(), 0) << "a text that names no airport is any airport";
    EXPECT_EQ(Results().size(), everyCity);

    // An airport's codes name it too, in any case.
    airports->lineEdit()->selectAll();
    QTest::keyClicks(airports, QStringLiteral("lhr"));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("London, United Kingdom (UTC +0)")});
    airports->lineEdit()->selectAll();
    QTest::keyClicks(airports, QStringLiteral("EGLL"));
    EXPECT_EQ(Results(), QStringList{QStringLiteral("London, United Kingdom (UTC +0)")});
    Dialog.KeywordEdit->setFocus();
    EXPECT_EQ(airports->currentText(), QStringLiteral("Heathrow")) << "its name once left";
}

TEST_F(SearchForm, KeywordsMatchLettersWithoutTheirAccents) {
    Host.Data.Cities.FindById(6)->LongName = "S\xE3o Paulo"; // Windows-1252
    Host.Data.Cities.FindById(5)->LongName = "Z\xFCrich";
    Open();
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral("Sao"));
    ASSERT_EQ(Results().size(), 1);
    EXPECT_TRUE(Results().front().startsWith(QString::fromUtf8("S\xC3\xA3o Paulo")));
    Dialog.KeywordEdit->clear();
    QTest::keyClicks(Dialog.KeywordEdit, QStringLiteral("ZURICH"));
    EXPECT_EQ(Results().size(), 1);
    Dialog.KeywordEdit->clear();
    Dialog.KeywordEdit->insert(QString::fromUtf8("z\xC3\xBC")); // typed as one
    EXPECT_EQ(Results().size(), 1) << "the accented letters still find it";
}

TEST(LocaleOrder, RemembersRanksWithoutChangingTheOrder) {
    const QStringList all{QStringLiteral("Zagreb"), QStringLiteral("aachen"),
                          QStringLiteral("Berlin"), QStringLiteral("Aachen"),
                          QStringLiteral("Bern")};
    auto sorted = [](const QStringList& texts, const std::vector<int>& order) {
        QStringList out;
        for (int i : order)
            out << texts.at(i);
        return out;
    };
    const QStringList expected = sorted(all, LocaleOrder(all));
    EXPECT_TRUE(std::is_sorted(expected.begin(), expected.end(), LocaleLess));

    TLocaleOrderCache cache;
    EXPECT_EQ(sorted(all, cache.Order(all)), expected);
    // A part of what it has seen, with a text twice, then a text it has not seen.
    const QStringList part{QStringLiteral("Bern"), QStringLiteral("Aachen"),
                           QStringLiteral("Bern")};
    EXPECT_EQ(sorted(part, cache.Order(part)), sorted(part, LocaleOrder(part)));
    const QStringList fresh{QStringLiteral("Bern"), QStringLiteral("Basel"),
                            QStringLiteral("Aachen")};
    EXPECT_EQ(
        sorted(fresh, cache.Order(fresh)),
        (QStringList{QStringLiteral("Aachen"), QStringLiteral("Basel"), QStringLiteral("Bern")}));
    EXPECT_EQ(sorted(all, cache.Order(all)), expected) << "the longer list is still known";
}

TEST(ComboTarget, KeepsItsHeadAndSortsTheRestWithTheirRecords) {
    QComboBox combo;
    TQtComboTarget target(&combo, true, 1);
    int records[4] = {};
    target.Add("- Any -", nullptr);
    target.Add("Oslo", &records[0]);
    target.Add("Bergen", &records[1]);
    EXPECT_EQ(target.Count(), 3);
    target.Add("\xC5lesund", &records[2]); // Windows-1252
    target.Add("Alta", &records[3]);
    target.SetItemIndex(0);
    ASSERT_EQ(combo.count(), 5);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("- Any -"));
    EXPECT_EQ(target.Item(0), nullptr);
    QStringList rest;
    for (int i = 1; i < combo.count(); ++i)
        rest << combo.itemText(i);
    EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end(), LocaleLess));
    EXPECT_TRUE(rest.contains(QString::fromUtf8("\xC3\x85lesund")));
    for (int i = 1; i < combo.count(); ++i) {
        const int* r = static_cast<int*>(target.Item(i));
        ASSERT_NE(r, nullptr);
        const char* names[] = {"Oslo", "Bergen", "\xC5lesund", "Alta"};
        EXPECT_EQ(combo.itemText(i), ToQ(names[r - records])) << "each line keeps its record";
    }
    target.Clear();
    EXPECT_EQ(target.Count(), 0);
}

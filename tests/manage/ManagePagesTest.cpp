#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "clock/CityLabelU.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "manage/AirportPageU.h"
#include "manage/CityPageU.h"
#include "manage/CountryPageU.h"
#include "manage/ManageU.h"
#include "manage/StatePageU.h"
#include "widgets/UpDownU.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Chooses the entry of a combo box as the user does.
void Choose(QComboBox* combo, const QString& text) {
    const int i = combo->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

void Select(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list->setCurrentItem(found.first()); // as a click or the arrow keys select it
}

// Checks or unchecks a line of a check list as a click on its box does.
void Check(QListWidget* list, const QString& text, bool on) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    found.first()->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

int CheckedCount(const QListWidget* list) {
    int n = 0;
    for (int i = 0; i < list->count(); ++i)
        n += list->item(i)->checkState() == Qt::Checked;
    return n;
}

class Pages : public ::testing::Test {
protected:
    void SetUp() override {
        Companions = std::make_unique<TCompanionWindows>(Host);
        Form = &Companions->Manage();
    }
    void TearDown() override { Form->close(); }
    void Open(TManagePage page, TManageMode mode, std::int32_t id = 0) {
        Companions->OpenManage(page, mode, id);
        ASSERT_TRUE(Form->isVisible());
        ASSERT_EQ(Form->CurrentPage(), page);
    }
    TState* StateNamed(const char* name, std::int32_t country) {
        for (TState* s : Host.Data.States)
            if (s->Name == name && s->CountryId == country)
                return s;
        return nullptr;
    }
    int StateCount(const char* name) {
        int n = 0;
        for (const TState* s : Host.Data.States)
            n += s->Name == name;
        return n;
    }

    TFakeClockHost Host;
    std::unique_ptr<TCompanionWindows> Companions;
    TManageForm* Form = nullptr;
};

} // namespace

TEST_F(Pages, StatePageCopiesTheCountrysOffsetAndKeepsNamesUniquePerCountry) {
    Open(TManagePage::States, TManageMode::New);
    TStatePage& p = *Form->States;
    EXPECT_EQ(p.StateApplyButton->text(), QStringLiteral("New"));
    EXPECT_FALSE(p.StatesGroupBox->isEnabled());
    EXPECT_FALSE(p.Panel->DLGroupBox->isEnabled()) << "disabled until checked";
    ASSERT_EQ(p.StateCountryComboBox->itemText(0), QStringLiteral("Canada")) << "plain names";

    p.StateNameEdit->setText(QStringLiteral("Bagmati"));
    Choose(p.StateCountryComboBox, QStringLiteral("India"));
    EXPECT_EQ(p.StateUTCOffSetEdit->text(), QStringLiteral("5.5"));
    Choose(p.StateCountryComboBox, QStringLiteral("Nepal"));
    EXPECT_EQ(p.StateUTCOffSetEdit->text(), QStringLiteral("5.75"));
    p.StateApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("There is already a state called Bagmati in "
                                                    "Nepal. Please choose another name."));
    EXPECT_EQ(StateCount("Bagmati"), 1);

    Choose(p.StateCountryComboBox, QStringLiteral("India"));
    QTest::mouseClick(p.StateDLCheckBox, Qt::LeftButton);
    EXPECT_TRUE(p.Panel->DLGroupBox->isEnabled());
    EXPECT_TRUE(p.Panel->DLTimeGroupBox->isEnabled());
    p.StateApplyButton->click();
    EXPECT_EQ(Host.P.Shown.size(), 2) << "incomplete rules are refused";
    QTest::mouseClick(p.StateDLCheckBox, Qt::LeftButton);
    EXPECT_FALSE(p.Panel->DLGroupBox->isEnabled()) << "unchecked, the state panel is disabled";
    p.StateUTCOffSetEdit->setText(QStringLiteral("14"));
    p.StateApplyButton->click();
    ASSERT_EQ(StateCount("Bagmati"), 2) << "the same name in another country";
    const TState* added = StateNamed("Bagmati", 3);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->UniqueID, 3);
    EXPECT_EQ(added->UTCOffset, 14);
    EXPECT_EQ(added->DSTStart, TSummerTimeRule{}) << "no saving, stored as kind 2";
    EXPECT_TRUE(p.StatesGroupBox->isEnabled());
    EXPECT_EQ(p.StateNameEdit->text(), QString()) << "ready for the next one";
}

TEST_F(Pages, StateWithCitiesCannotGoOneWithAirportsOnlyCan) {
    Open(TManagePage::States, TManageMode::Delete);
    TStatePage& p = *Form->States;
    EXPECT_EQ(p.StateApplyButton->text(), QStringLiteral("Delete"));
    Select(p.StateListBox, QStringLiteral("Bagmati"));
    EXPECT_TRUE(p.StateApplyButton->isEnabled());
    EXPECT_FALSE(p.StateGroupBox->isEnabled()) << "read-only";
    EXPECT_EQ(p.StateNameEdit->text(), QStringLiteral("Bagmati"));
    p.StateApplyButton->click();
    EXPECT_TRUE(Host.P.Shown.value(0).startsWith(QStringLiteral("This state cannot be removed")));
    EXPECT_NE(Host.Data.States.FindById(1), nullptr);

    Host.Data.Cities.FindById(2)->StateId = 0; // Kathmandu moves out; the airport stays
    Select(p.StateListBox, QStringLiteral("Bagmati"));
    p.StateApplyButton->click();
    EXPECT_EQ(Host.Data.States.FindById(1), nullptr);
    EXPECT_EQ(Host.Data.Airports.Items(0).StateId, 1) << "airports are not consulted";
    EXPECT_EQ(p.StateListBox->count(), 1);
    EXPECT_TRUE(Host.Data.Modified);
}

TEST_F(Pages, StatePageShowsAndEditsTheRecordsRules) {
    TState& nl = *Host.Data.States.FindById(2);
    nl.DSTStart = WeekRule(1, 7, 0, 3, 2);
    nl.DSTEnd = WeekRule(0, 7, 0, 11, 2);
    Open(TManagePage::States, TManageMode::Edit, 2);
    TStatePage& p = *Form->States;
    EXPECT_EQ(p.StateCountryComboBox->currentText(), QStringLiteral("Canada"));
    EXPECT_EQ(p.StateUTCOffSetEdit->text(), QStringLiteral("-3.5"));
    EXPECT_TRUE(p.StateDLCheckBox->isChecked());
    EXPECT_EQ(p.Panel->StartFLCombo->currentText(), QStringLiteral("Second"));
    EXPECT_EQ(Child<QWidget>(Form, "StateStartFLCombo"), p.Panel->StartFLCombo);
    EXPECT_NE(Child<TUpDown>(Form, "UpDown1"), nullptr);

    // The country is chosen again while the box is checked: the stored rules come back, the
    // typed name stays.
    Choose(p.Panel->StartFLCombo, QStringLiteral("Third"));
    p.StateNameEdit->setText(QStringLiteral("Labrador"));
    Choose(p.StateCountryComboBox, QStringLiteral("Canada"));
    EXPECT_EQ(p.Panel->StartFLCombo->currentText(), QStringLiteral("Second"));
    EXPECT_EQ(p.StateNameEdit->text(), QStringLiteral("Labrador"));
    EXPECT_EQ(p.StateUTCOffSetEdit->text(), QStringLiteral("-5")) << "the country's offset";
    EXPECT_TRUE(p.StateApplyButton->isEnabled());

    // Unchecked and applied: no saving in the state form.
    QTest::mouseClick(p.StateDLCheckBox, Qt::LeftButton);
    EXPECT_FALSE(p.Panel->DLTimeGroupBox->isEnabled());
    p.StateApplyButton->click();
    EXPECT_EQ(nl.Name, "Labrador");
    EXPECT_EQ(nl.DSTStart, TSummerTimeRule{});
    EXPECT_EQ(nl.UTCOffset, -5);
}

TEST_F(Pages, CityPageSwitchesCountryNamesWithTheStateBox) {
    Open(TManagePage::Cities, TManageMode::Edit, 2); // Kathmandu, in Bagmati
    TCityPage& p = *Form->Cities;
    EXPECT_EQ(p.CityApplyButton->text(), QStringLiteral("Edit City"));
    EXPECT_TRUE(p.StatesCheckBox->isChecked());
    EXPECT_EQ(p.CityCountryComboBox->currentText(), QStringLiteral("Nepal"));
    EXPECT_EQ(p.StatesComboBox->currentText(), QStringLiteral("Bagmati (UTC +5.75)"));
    EXPECT_TRUE(p.StatesComboBox->isEnabled());
    EXPECT_EQ(p.ClosestAirportsLabel->text(),
              QStringLiteral("Tribhuvan International Airport\r\n"));
    EXPECT_EQ(p.MyCityLabel->text(), QStringLiteral("My City: London"));
    EXPECT_FALSE(p.SelectedMyCityLabel->isVisibleTo(Form));

    QTest::mouseClick(p.StatesCheckBox, Qt::LeftButton);
    EXPECT_EQ(p.CityCountryComboBox->currentText(), QStringLiteral("Nepal (UTC +5.75)"));
    EXPECT_FALSE(p.StatesComboBox->isEnabled());
    EXPECT_EQ(p.StatesComboBox->currentIndex(), -1);
    QTest::mouseClick(p.StatesCheckBox, Qt::LeftButton);
    EXPECT_EQ(p.CityCountryComboBox->currentText(), QStringLiteral("Nepal"));

    // Another country: the state choice goes, the airports of the old country stay listed.
    Choose(p.CityCountryComboBox, QStringLiteral("India"));
    EXPECT_FALSE(p.StatesCheckBox->isChecked());
    EXPECT_EQ(p.CityCountryComboBox->currentText(), QStringLiteral("India (UTC +5.5)"));
    EXPECT_EQ(p.AirportsCheckListBox->count(), 1);
    EXPECT_TRUE(p.CityApplyButton->isEnabled());
    Check(p.AirportsCheckListBox, QStringLiteral("Tribhuvan International Airport"), false);
    EXPECT_EQ(p.ClosestAirportsLabel->text(), QString());
    p.CityApplyButton->click();
    const TCity& ktm = *Host.Data.Cities.FindById(2);
    EXPECT_EQ(ktm.StateId, 0);
    EXPECT_EQ(ktm.CountryId, 3);
    EXPECT_EQ(Host.Data.Airports.Items(0).ClosestCities(1), 0);
    EXPECT_FALSE(p.CityApplyButton->isEnabled());
}

TEST_F(Pages, MyCityStaysAndOtherCitiesLeaveEveryAirportPacked) {
    TAirport& lhr = Host.Data.Airports.Items(1); // 0, London, ...
    lhr.SetClosestCities(3, 5);
    QSignalSpy deleted(Form, &TManageForm::RecordDeleted);
    Open(TManagePage::Cities, TManageMode::Delete);
    TCityPage& p = *Form->Cities;
    Select(p.CityListBox, QStringLiteral("London *"));
    EXPECT_TRUE(p.SelectedMyCityLabel->isVisibleTo(Form));
    p.CityApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0),
              QStringLiteral("This city cannot be removed because of the following reasons: "
                             "\r\n\r\n* This city is set to My City. It cannot be deleted.\r\n"));
    EXPECT_EQ(lhr.ClosestCities(2), 1) << "no airport changes";
    EXPECT_EQ(lhr.ClosestCities(3), 5);
    EXPECT_FALSE(p.CityApplyButton->isEnabled()) << "until a new selection";

    Host.Data.CurrentCity = Host.Data.Cities.FindById(5);
    Select(p.CityListBox, QStringLiteral("Berlin"));
    p.CityApplyButton->click();
    EXPECT_EQ(Host.Data.Cities.FindById(5), nullptr);
    EXPECT_EQ(lhr.ClosestCities(1), 1) << "packed";
    EXPECT_EQ(lhr.ClosestCities(2), 0);
    EXPECT_EQ(lhr.ClosestCities(3), 0);
    EXPECT_EQ(Host.Data.CurrentCity, Host.Data.MyCity) << "the centre let go of it";
    EXPECT_EQ(Host.Removed, 1);
    EXPECT_EQ(deleted.size(), 1);
}

TEST_F(Pages, AddCityTwiceAddsTwoCitiesAndAFullAirportRefusesTheLink) {
    TAirport& lhr = Host.Data.Airports.Items(1);
    for (int slot = 3; slot <= 10; ++slot)
        lhr.SetClosestCities(slot, 100 + slot); // slot 1 free
    Open(TManagePage::Cities, TManageMode::New);
    TCityPage& p = *Form->Cities;
    EXPECT_EQ(p.CityApplyButton->text(), QStringLiteral("Add City"));
    EXPECT_FALSE(p.CitiesGroupBox->isEnabled());
    EXPECT_TRUE(p.StatesCheckBox->isEnabled());
    EXPECT_FALSE(p.StatesComboBox->isEnabled());
    p.CityShortNameEdit->setText(QStringLiteral("Leeds"));
    p.CityLongNameEdit->setText(QStringLiteral("Leeds"));
    p.CityApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("Please select a country"));
    p.CityApplyButton->setEnabled(true);
    Choose(p.CityCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    p.DefaultCityCheckBox->setChecked(true);
    p.CityApplyButton->click();
    const TCity* leeds = Host.Data.Cities.FindById(10);
    ASSERT_NE(leeds, nullptr);
    EXPECT_EQ(leeds->CountryId, 1);
    EXPECT_TRUE(leeds->Default);
    EXPECT_EQ(p.CityLongNameEdit->text(), QStringLiteral("Leeds")) << "the city just added";
    EXPECT_EQ(p.CityListBox->currentItem()->text(), QStringLiteral("Leeds"));
    EXPECT_FALSE(Form->NewMode) << "the page edits the city just added";
    EXPECT_EQ(p.CityApplyButton->text(), QStringLiteral("Edit City"));
    EXPECT_FALSE(p.CityApplyButton->isEnabled());

    // A second city is a second "Add City"; the country's airports are offered at once and
    // Heathrow still has its free slot.
    Form->NewCityButtonClick();
    EXPECT_TRUE(Form->NewMode);
    p.CityLongNameEdit->setText(QStringLiteral("York"));
    p.CityShortNameEdit->setText(QStringLiteral("York"));
    Choose(p.CityCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    ASSERT_EQ(p.AirportsCheckListBox->count(), 1);
    Check(p.AirportsCheckListBox, QStringLiteral("Heathrow"), true);
    EXPECT_EQ(p.ClosestAirportsLabel->text(), QStringLiteral("Heathrow"));
    p.CityApplyButton->click();
    ASSERT_NE(Host.Data.Cities.FindById(11), nullptr);
    EXPECT_EQ(Host.Data.Cities.FindById(11)->LongName, "York");
    EXPECT_EQ(lhr.ClosestCities(1), 11);

    // Heathrow is full now: checking it for another city is refused at once.
    Form->NewCityButtonClick();
    p.CityLongNameEdit->setText(QStringLiteral("Hull"));
    Choose(p.CityCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    Host.P.Shown.clear();
    Check(p.AirportsCheckListBox, QStringLiteral("Heathrow"), true);
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_TRUE(Host.P.Shown[0].startsWith(QStringLiteral("Heathrow already serves 10 cities")));
    EXPECT_EQ(CheckedCount(p.AirportsCheckListBox), 0);
}

TEST_F(Pages, AirportPageLimitsItsCitiesAndCodes) {
    for (int i = 0; i < 11; ++i) {
        TCity& c = Host.Data.Cities.AddWithNewId();
        c.LongName = "Town " + std::to_string(10 + i);
        c.CountryId = 1;
    }
    Open(TManagePage::Airports, TManageMode::Edit, 2); // Heathrow
    TAirportPage& p = *Form->Airports;
    EXPECT_EQ(p.AirportCountryComboBox->currentText(), QStringLiteral("United Kingdom (UTC)"));
    EXPECT_FALSE(p.AirportStateCheckBox->isChecked());
    EXPECT_FALSE(p.AirportStateComboBox->isEnabled());
    EXPECT_FALSE(p.AirportApplyButton->isEnabled());
    ASSERT_EQ(p.CitiesCheckListBox->count(), 12);
    EXPECT_EQ(CheckedCount(p.CitiesCheckListBox), 1);
    EXPECT_EQ(p.ClosestCitiesLabel->text(), QStringLiteral("London"));

    for (int i = 10; i < 19; ++i)
        Check(p.CitiesCheckListBox, QStringLiteral("Town %1").arg(i), true);
    EXPECT_EQ(CheckedCount(p.CitiesCheckListBox), 10);
    EXPECT_TRUE(Host.P.Shown.isEmpty());
    Check(p.CitiesCheckListBox, QStringLiteral("Town 19"), true);
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("You cannot select more than 10 cities per "
                                                    "airport. Please deselect."));
    EXPECT_EQ(CheckedCount(p.CitiesCheckListBox), 10);
    EXPECT_FALSE(p.ClosestCitiesLabel->text().contains(QStringLiteral("Town 19")));

    // A code is typed into the grid and kept at five characters.
    QTableWidget* grid = p.AirportCodesStringGrid;
    grid->setCurrentCell(0, 0);
    if (grid->findChild<QLineEdit*>() == nullptr)
        grid->editItem(grid->item(0, 0));
    auto* editor = grid->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("EGLLXYZ"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 1) << "Enter moves down";
    grid->item(2, 0)->setText(QStringLiteral("LHRLHRL")); // pasted in
    EXPECT_TRUE(p.AirportApplyButton->isEnabled()) << "keys in the grid enable Apply";
    p.AirportApplyButton->click();
    const TAirport& lhr = Host.Data.Airports.Items(1);
    EXPECT_EQ(lhr.Codes(1), "EGLLX");
    EXPECT_EQ(lhr.Codes(3), "LHRLH");
    int linked = 0;
    for (int slot = 1; slot <= 10; ++slot)
        linked += lhr.ClosestCities(slot) != 0;
    EXPECT_EQ(linked, 10);
    grid->setCurrentCell(9, 0);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 9) << "the last row stays";
}

TEST_F(Pages, AirportStateChoiceKeepsTheUsersChecksAndListsTheWholeCountry) {
    TCity& patan = Host.Data.Cities.AddWithNewId();
    patan.LongName = "Pokhara";
    patan.CountryId = 2;                               // in Nepal, in no state
    Open(TManagePage::Airports, TManageMode::Edit, 1); // Tribhuvan, in Bagmati
    TAirportPage& p = *Form->Airports;
    EXPECT_TRUE(p.AirportStateCheckBox->isChecked());
    EXPECT_EQ(p.AirportStateComboBox->currentText(), QStringLiteral("Bagmati (UTC +5.75)"));
    ASSERT_EQ(p.CitiesCheckListBox->count(), 2) << "the whole country, not only the state";
    Check(p.CitiesCheckListBox, QStringLiteral("Pokhara"), true);
    Check(p.CitiesCheckListBox, QStringLiteral("Kathmandu"), false);
    Choose(p.AirportStateComboBox, QStringLiteral("Bagmati (UTC +5.75)"));
    QTest::mouseClick(p.AirportStateCheckBox, Qt::LeftButton);
    EXPECT_FALSE(p.AirportStateComboBox->isEnabled());
    EXPECT_EQ(p.CitiesCheckListBox->findItems(QStringLiteral("Pokhara"), Qt::MatchExactly)
                  .first()
                  ->checkState(),
              Qt::Checked)
        << "the user's check stays";
    EXPECT_EQ(CheckedCount(p.CitiesCheckListBox), 1);
    p.AirportApplyButton->click();
    const TAirport& ktm = Host.Data.Airports.Items(0);
    EXPECT_EQ(ktm.StateId, 0);
    EXPECT_EQ(ktm.ClosestCities(1), patan.UniqueID);

    // Deleting an airport asks nothing and is never refused.
    Open(TManagePage::Airports, TManageMode::Delete);
    Select(p.AirportListBox, QStringLiteral("Heathrow"));
    p.AirportApplyButton->click();
    EXPECT_EQ(Host.Data.Airports.Count(), 1);
    EXPECT_TRUE(Host.P.Asked.isEmpty());
}

TEST_F(Pages, ControlsWithoutALabelOfTheirOwnAreNamedInWords) {
    Open(TManagePage::Airports, TManageMode::Edit, 1); // combos with values, as a user meets them
    const struct {
        const char* Control;
        const char* Name;
    } named[] = {{"StateEdit", "Search states"},
                 {"StateListBox", "States"},
                 {"StateStartFLCombo", "Start week"},
                 {"StateDSTEndTimeM", "End minute"},
                 {"StateNameEdit", "Name:"},
                 {"StateCountryComboBox", "Country:"},
                 {"CityEdit", "Search cities"},
                 {"CityListBox", "Cities"},
                 {"StatesCheckBox", "In a state / province"},
                 {"StatesComboBox", "State / Province"},
                 {"AirportsCheckListBox", "Closest airports"},
                 {"CityShortNameEdit", "Short Name:"},
                 {"AirportEdit", "Search airports"},
                 {"AirportListBox", "Airports"},
                 {"AirportStateCheckBox", "In a state / province"},
                 {"AirportStateComboBox", "State / Province"},
                 {"AirportCodesStringGrid", "Codes"},
                 {"CitiesCheckListBox", "Closest cities"},
                 {"AirportCountryComboBox", "Country:"}};
    for (const auto& n : named) {
        QWidget* w = Child<QWidget>(Form, n.Control);
        ASSERT_NE(w, nullptr);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << n.Control;
        // Combo boxes say their value as their name and their label through the relation.
        QStringList names{a->text(QAccessible::Name)};
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            names.append(other->text(QAccessible::Name));
        EXPECT_TRUE(names.contains(QLatin1String(n.Name)))
            << n.Control << ": " << names.join(QLatin1Char('|')).toStdString();
    }
}

TEST(ManageFromTheClock, ANewCityShownOnTheDialGetsItsLabelWhenTheWindowCloses) {
    TFakePlatform p;
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm clock(p.Platform, TSkin::Standard());
    TCompanionWindows companions(clock);
    clock.SetCompanions(&companions);
    clock.show();
    for (const char* name : {"StateProvince1", "City2", "Airport3", "EditAirport1"}) {
        QAction* a = clock.findChild<QAction*>(QLatin1String(name));
        ASSERT_TRUE(a != nullptr && a->isEnabled()) << name;
    }
    TCountry& japan = clock.Data.Countries.AddWithNewId();
    japan.Name = "Japan";
    japan.UTCOffset = 9; // an hour column of its own
    clock.City1Click();
    TCityPage& page = *companions.Manage().Cities;
    page.CityLongNameEdit->setText(QStringLiteral("Sapporo"));
    page.CityShortNameEdit->setText(QStringLiteral("Sapporo"));
    Choose(page.CityCountryComboBox, QStringLiteral("Japan (UTC +9)"));
    page.DefaultCityCheckBox->setChecked(true);
    page.CityApplyButton->click();
    const TCity* added = clock.Data.Cities.FindById(10);
    ASSERT_NE(added, nullptr);
    auto labelled = [&] {
        for (const TCityLabel* l : clock.CityLabels)
            if (l->Id() == added->UniqueID)
                return true;
        return false;
    };
    companions.Manage().close();
    EXPECT_TRUE(labelled());
    clock.Data.Modified = false;
    clock.close();
}

TEST_F(Pages, ARecordCanBeAppliedAgainAfterItsFirstApply) {
    // After an Apply the list is refilled; the record's choices in the combos must stay.
    Open(TManagePage::States, TManageMode::Edit, 2);
    TStatePage& s = *Form->States;
    for (const char* name : {"Labrador", "Newfoundland and Labrador"}) {
        QTest::mouseClick(s.StateNameEdit, Qt::LeftButton);
        s.StateNameEdit->setText(QLatin1String(name));
        s.StateApplyButton->click();
        EXPECT_EQ(Host.Data.States.FindById(2)->Name, name);
        EXPECT_EQ(s.StateCountryComboBox->currentText(), QStringLiteral("Canada"));
    }

    Open(TManagePage::Cities, TManageMode::Edit, 3); // Delhi
    TCityPage& c = *Form->Cities;
    for (const char* name : {"New Delhi", "Delhi"}) {
        QTest::mouseClick(c.CityLongNameEdit, Qt::LeftButton);
        c.CityLongNameEdit->setText(QLatin1String(name));
        c.CityApplyButton->click();
        EXPECT_EQ(Host.Data.Cities.FindById(3)->LongName, name);
    }

    Open(TManagePage::Airports, TManageMode::Edit, 2); // Heathrow
    TAirportPage& a = *Form->Airports;
    for (const char* name : {"London Heathrow", "Heathrow"}) {
        QTest::mouseClick(a.AirportNameEdit, Qt::LeftButton);
        a.AirportNameEdit->setText(QLatin1String(name));
        a.AirportApplyButton->click();
        EXPECT_EQ(Host.Data.Airports.FindById(2)->Name, name);
    }
    EXPECT_TRUE(Host.P.Shown.isEmpty()) << Host.P.Shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(Pages, ACountryChosenWithTheStateBoxUntickedFilesTheCityInNoState) {
    TState& quebec = Host.Data.States.AddWithNewId(); // Canada's states sort before Newfoundland
    quebec.Name = "Alberta";
    quebec.CountryId = 4;
    Open(TManagePage::Cities, TManageMode::Edit, 2); // Kathmandu, in Bagmati
    TCityPage& p = *Form->Cities;
    QTest::mouseClick(p.StatesCheckBox, Qt::LeftButton);
    Choose(p.CityCountryComboBox, QStringLiteral("Canada (UTC -5)"));
    EXPECT_EQ(p.StatesComboBox->currentIndex(), -1);
    p.CityApplyButton->click();
    const TCity& ktm = *Host.Data.Cities.FindById(2);
    EXPECT_EQ(ktm.StateId, 0) << "no state was chosen";
    EXPECT_EQ(ktm.CountryId, 4);

    // A new city the same way; then one put into a state with the mouse alone.
    Form->NewCityButtonClick();
    p.CityLongNameEdit->setText(QStringLiteral("Toronto"));
    p.CityShortNameEdit->setText(QStringLiteral("Toronto"));
    Choose(p.CityCountryComboBox, QStringLiteral("Canada (UTC -5)"));
    p.CityApplyButton->click();
    const TCity* toronto = Host.Data.Cities.FindById(10);
    ASSERT_NE(toronto, nullptr);
    EXPECT_EQ(toronto->StateId, 0);
    EXPECT_EQ(toronto->CountryId, 4);

    Form->NewCityButtonClick();
    p.CityLongNameEdit->setText(QStringLiteral("Gander"));
    p.CityShortNameEdit->setText(QStringLiteral("Gander"));
    Choose(p.CityCountryComboBox, QStringLiteral("Canada (UTC -5)"));
    QTest::mouseClick(p.StatesCheckBox, Qt::LeftButton);
    ASSERT_TRUE(p.StatesComboBox->isEnabled());
    ASSERT_EQ(p.StatesComboBox->count(), 2) << "the country's states, shown at once";
    EXPECT_EQ(p.StatesComboBox->currentIndex(), -1);
    Choose(p.StatesComboBox, QStringLiteral("Newfoundland"));
    p.CityApplyButton->click();
    const TCity* gander = Host.Data.Cities.FindById(11);
    ASSERT_NE(gander, nullptr);
    EXPECT_EQ(gander->StateId, 2);
    EXPECT_EQ(gander->CountryId, 0);
    EXPECT_TRUE(Host.P.Shown.isEmpty()) << Host.P.Shown.join(QLatin1Char('|')).toStdString();
}

TEST_F(Pages, ADeletedCapitalLeavesNoIdForTheNextNewCity) {
    TCountry& nigeria = *Host.Data.Countries.FindById(6);
    nigeria.CapitalCity = 9; // "Lost", the largest id
    TCountry& india = *Host.Data.Countries.FindById(3);
    india.CapitalCity = 3;
    Open(TManagePage::Cities, TManageMode::Delete);
    TCityPage& p = *Form->Cities;
    for (const char* name : {"Lost", "Delhi"}) {
        Select(p.CityListBox, QLatin1String(name));
        p.CityApplyButton->click();
    }
    EXPECT_EQ(nigeria.CapitalCity, 0);
    EXPECT_EQ(india.CapitalCity, 0);

    Open(TManagePage::Cities, TManageMode::New);
    p.CityLongNameEdit->setText(QStringLiteral("Leeds"));
    p.CityShortNameEdit->setText(QStringLiteral("Leeds"));
    Choose(p.CityCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    p.CityApplyButton->click();
    ASSERT_NE(Host.Data.Cities.FindById(9), nullptr) << "the freed id is taken again";
    EXPECT_EQ(nigeria.CapitalCity, 0) << "and is nobody's capital";
}

TEST_F(Pages, AfterAnAddThePageEditsTheNewRecord) {
    Host.Data.Countries.FindById(1)->CapitalCity = 1;
    Open(TManagePage::Cities, TManageMode::Edit, 1); // London, the capital
    TCityPage& p = *Form->Cities;
    EXPECT_TRUE(p.CapitalCheckBox->isChecked());
    Open(TManagePage::Cities, TManageMode::New);
    EXPECT_FALSE(p.CapitalCheckBox->isChecked()) << "a new city starts as no capital";
    EXPECT_EQ(Form->focusWidget(), p.CityLongNameEdit) << "the keyboard is in the first field";
    p.CityLongNameEdit->setText(QStringLiteral("Leeds"));
    p.CityShortNameEdit->setText(QStringLiteral("Leeds"));
    Choose(p.CityCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    EXPECT_EQ(p.AirportsCheckListBox->count(), 1) << "the new city can get airports";
    p.CityApplyButton->click();
    const int cities = Host.Data.Cities.Count();
    EXPECT_EQ(Host.Data.Countries.FindById(1)->CapitalCity, 1) << "London stays the capital";
    EXPECT_EQ(p.CityApplyButton->text(), QStringLiteral("Edit City"));
    ASSERT_NE(p.CityListBox->currentItem(), nullptr);
    EXPECT_EQ(p.CityListBox->currentItem()->text(), QStringLiteral("Leeds"));

    // A second press applies to the city just made.
    QTest::mouseClick(p.CityLongNameEdit, Qt::LeftButton);
    Check(p.AirportsCheckListBox, QStringLiteral("Heathrow"), true);
    p.CityApplyButton->click();
    EXPECT_EQ(Host.Data.Cities.Count(), cities) << "no copy";
    EXPECT_EQ(Host.Data.Airports.FindById(2)->ClosestCities(1), 10);

    // The same on the airport page.
    Open(TManagePage::Airports, TManageMode::New);
    TAirportPage& a = *Form->Airports;
    EXPECT_EQ(Form->focusWidget(), a.AirportNameEdit);
    a.AirportNameEdit->setText(QStringLiteral("Gatwick"));
    Choose(a.AirportCountryComboBox, QStringLiteral("United Kingdom (UTC)"));
    a.AirportApplyButton->click();
    ASSERT_EQ(Host.Data.Airports.Count(), 3);
    EXPECT_EQ(a.AirportApplyButton->text(), QStringLiteral("Apply"));
    EXPECT_EQ(a.AirportNameEdit->text(), QStringLiteral("Gatwick"));
    ASSERT_NE(a.AirportListBox->currentItem(), nullptr);
    EXPECT_EQ(a.AirportListBox->currentItem()->text(), QStringLiteral("Gatwick"));
    QTest::mouseClick(a.AirportNameEdit, Qt::LeftButton);
    a.AirportNameEdit->setText(QStringLiteral("London Gatwick"));
    a.AirportApplyButton->click();
    EXPECT_EQ(Host.Data.Airports.Count(), 3) << "no copy";
    EXPECT_EQ(Host.Data.Airports.FindById(3)->Name, "London Gatwick");
}

TEST_F(Pages, CloseAsksAboutUnappliedEditsAsAListClickDoes) {
    Open(TManagePage::Cities, TManageMode::Edit, 3); // Delhi
    TCityPage& p = *Form->Cities;
    p.CityLongNameEdit->setFocus();
    QTest::keyClicks(p.CityLongNameEdit, QStringLiteral(" NCT"));
    Host.P.Answers = {TAnswer::Yes};
    p.CityCloseButton->click();
    EXPECT_EQ(Host.P.Asked, QStringList{QStringLiteral("Apply changes?")});
    EXPECT_EQ(Host.Data.Cities.FindById(3)->LongName, "Delhi NCT");
    EXPECT_FALSE(Form->isVisible());

    // No: the edits go and the window closes.
    Open(TManagePage::Cities, TManageMode::Edit, 3);
    QTest::keyClicks(p.CityLongNameEdit, QStringLiteral("!"));
    Host.P.Answers = {TAnswer::No};
    Form->close(); // the window's close box
    EXPECT_EQ(Host.P.Asked.size(), 2);
    EXPECT_EQ(Host.Data.Cities.FindById(3)->LongName, "Delhi NCT");
    EXPECT_FALSE(Form->isVisible());

    // Yes with a failing check: the window stays on the record, the edit in place.
    Open(TManagePage::Cities, TManageMode::Edit, 3);
    p.CityShortNameEdit->setFocus();
    p.CityShortNameEdit->selectAll();
    QTest::keyClick(p.CityShortNameEdit, Qt::Key_Delete);
    Host.P.Answers = {TAnswer::Yes};
    Form->close();
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("Short Name should not be empty"));
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(p.CityListBox->currentItem()->text(), QStringLiteral("Delhi NCT"));
    EXPECT_EQ(p.CityShortNameEdit->text(), QString());

    // Nothing changed: no question.
    Open(TManagePage::Cities, TManageMode::Edit, 3);
    Form->close();
    EXPECT_EQ(Host.P.Asked.size(), 3);
    Open(TManagePage::Airports, TManageMode::New);
    Form->close();
    EXPECT_EQ(Host.P.Asked.size(), 3) << "an empty new record is no edit";
}

TEST_F(Pages, ATypedCorrectionAfterARefusalIsNotLostAtTheNextClick) {
    Open(TManagePage::Cities, TManageMode::Edit, 3); // Delhi
    TCityPage& p = *Form->Cities;
    p.CityShortNameEdit->setFocus();
    p.CityShortNameEdit->selectAll();
    QTest::keyClick(p.CityShortNameEdit, Qt::Key_Delete);
    p.CityApplyButton->click();
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_FALSE(p.CityApplyButton->isEnabled());
    QTest::keyClicks(p.CityShortNameEdit, QStringLiteral("NewDelhi"));
    EXPECT_TRUE(p.CityApplyButton->isEnabled()) << "typing is an edit";
    Host.P.Answers = {TAnswer::Yes};
    Select(p.CityListBox, QStringLiteral("Cairo"));
    EXPECT_EQ(Host.P.Asked, QStringList{QStringLiteral("Apply changes?")});
    EXPECT_EQ(Host.Data.Cities.FindById(3)->ShortName(), "NewDelhi");
    EXPECT_EQ(p.CityLongNameEdit->text(), QStringLiteral("Cairo"));
}

TEST_F(Pages, TabLeavesTheCodesGridAtItsEnds) {
    Open(TManagePage::Airports, TManageMode::Edit, 2);
    TAirportPage& p = *Form->Airports;
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    QTableWidget* grid = p.AirportCodesStringGrid;
    grid->setFocus();
    grid->setCurrentCell(8, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(grid->currentRow(), 9) << "within the grid Tab moves down";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(grid->isAncestorOf(QApplication::focusWidget()) ||
                 QApplication::focusWidget() == grid)
        << "Tab at the last row leaves the grid";
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), p.AirportNameEdit) << "Shift+Tab at the first row";
}

TEST_F(Pages, EveryLinkedAirportIsShownAndLongNamesCanBeReadWhole) {
    for (int i = 0; i < 6; ++i) {
        TAirport& a = Host.Data.Airports.AddWithNewId();
        a.Name = "Regional Airport Number " + std::to_string(i + 1) + " of the United Kingdom";
        a.CountryId = 1;
        a.SetClosestCities(1, 1);
    }
    Open(TManagePage::Cities, TManageMode::Edit, 1); // London, linked to seven
    TCityPage& p = *Form->Cities;
    QLabel* label = p.ClosestAirportsLabel;
    for (const TAirport* a : Host.Data.Airports) {
        if (a->CountryId == 1) {
            EXPECT_TRUE(label->text().contains(QString::fromStdString(a->Name))) << a->Name;
        }
    }
    const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                           Qt::TextWordWrap, label->text());
    EXPECT_LE(needed.height(), label->height()) << "no line is cut off";
    EXPECT_GE(p.AirportsCheckListBox->geometry().top(), label->geometry().bottom());
    const auto lines = p.AirportsCheckListBox->findItems(
        QStringLiteral("Regional Airport Number 1 of the United Kingdom"), Qt::MatchExactly);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines.first()->toolTip(), lines.first()->text());
}

TEST_F(Pages, EveryPageDeletesTheSameWayAndIsLeftEmpty) {
    Host.Data.Countries.AddWithNewId().Name = "Fiji";
    TState& ontario = Host.Data.States.AddWithNewId();
    ontario.Name = "Ontario";
    ontario.CountryId = 4;
    QSignalSpy deleted(Form, &TManageForm::RecordDeleted);
    const std::pair<TManagePage, const char*> records[] = {{TManagePage::Countries, "Fiji"},
                                                           {TManagePage::States, "Ontario"},
                                                           {TManagePage::Cities, "Cairo"},
                                                           {TManagePage::Airports, "Heathrow"}};
    const TManagePageBase* pages[] = {Form->Countries.get(), Form->States.get(), Form->Cities.get(),
                                      Form->Airports.get()};
    for (const auto& [page, name] : records) {
        SCOPED_TRACE(name);
        const TManagePageBase& p = *pages[static_cast<int>(page)];
        Open(page, TManageMode::Delete);
        Select(p.List, QLatin1String(name));
        ASSERT_TRUE(p.ApplyButton->isEnabled());
        {
            const QSignalBlocker quiet(p.SearchEdit); // as typed, without a new search
            p.SearchEdit->setText(QLatin1String(name));
        }
        p.ApplyButton->click();
        EXPECT_TRUE(p.List->findItems(QLatin1String(name), Qt::MatchExactly).isEmpty());
        EXPECT_EQ(p.EditedRecord(), nullptr);
        EXPECT_EQ(p.SearchEdit->text(), QString());
        EXPECT_FALSE(p.ApplyButton->isEnabled());
        EXPECT_FALSE(p.RecordGroup->isEnabled());
        ASSERT_FALSE(deleted.isEmpty());
        EXPECT_EQ(deleted.takeFirst().value(0).value<TManagePage>(), page);
    }
    EXPECT_TRUE(Host.P.Shown.isEmpty()) << "none was refused";
    EXPECT_TRUE(Host.P.Asked.isEmpty()) << "deleting asks nothing";
    EXPECT_EQ(Host.Data.Airports.Count(), 1);
}

#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "Widgets.h"
#include "clock/SkinU.h"
#include "clock/TavikU.h"
#include "manage/CountryPageU.h"
#include "manage/ManageRecordsU.h"
#include "manage/ManageU.h"
#include "manage/StatePageU.h"
#include "widgets/UpDownU.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class CountryPage : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"France", "Fiji", "Finland"})
            Host.Data.Countries.AddWithNewId().Name = name;
        Companions = std::make_unique<TCompanionWindows>(Host);
        Form = &Companions->Manage();
        Page = Form->Countries.get();
    }
    void TearDown() override { Form->close(); }

    void Open(TManageMode mode, std::int32_t id = 0) {
        Companions->OpenManage(TManagePage::Countries, mode, id);
    }
    int Row(const char* name) const {
        const auto found = Page->CountryListBox->findItems(QLatin1String(name), Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << name;
        return found.isEmpty() ? -1 : Page->CountryListBox->row(found.first());
    }
    // A click on a list entry, as the mouse gives it.
    void ClickEntry(const char* name) {
        QListWidget* list = Page->CountryListBox;
        QListWidgetItem* item = list->item(Row(name));
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
    }
    TCountry* Named(const char* name) {
        for (TCountry* c : Host.Data.Countries)
            if (c->Name == name)
                return c;
        return nullptr;
    }

    TFakeClockHost Host;
    std::unique_ptr<TCompanionWindows> Companions;
    TManageForm* Form = nullptr;
    TCountryPage* Page = nullptr;
};

} // namespace

TEST_F(CountryPage, TypeAheadCompletesAndBackspaceDropsTheCompletion) {
    Open(TManageMode::Edit);
    ASSERT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Tavik Ravorudevu Data"));
    EXPECT_EQ(Form->size(), QSize(621, 553));
    EXPECT_EQ(Form->pos(), Host.Window.pos());

    QTest::keyClicks(Page->CountryEdit, QStringLiteral("fr"));
    EXPECT_EQ(Page->CountryEdit->text(), QStringLiteral("France"));
    EXPECT_EQ(Page->CountryEdit->selectedText(), QStringLiteral("ance"));
    EXPECT_EQ(Page->CountryListBox->currentItem()->text(), QStringLiteral("France"));
    EXPECT_FALSE(Page->CountryGroupBox->isEnabled()) << "typing never loads the record";

    QTest::keyClick(Page->CountryEdit, Qt::Key_Backspace);
    EXPECT_EQ(Page->CountryEdit->text(), QStringLiteral("Fiji")) << "F, then the first F entry";
    EXPECT_EQ(Page->CountryEdit->selectedText(), QStringLiteral("iji"));

    QTest::keyClick(Page->CountryEdit, Qt::Key_Return);
    EXPECT_EQ(Page->EditedCountry, Named("Fiji"));
    EXPECT_TRUE(Page->CountryGroupBox->isEnabled());
    EXPECT_EQ(Page->CountryNameEdit->text(), QStringLiteral("Fiji"));
}

TEST_F(CountryPage, ApplyChangesYesThatFailsStaysOnTheEditedRecord) {
    Open(TManageMode::Edit, Named("Germany")->UniqueId);
    ASSERT_EQ(Page->EditedCountry, Named("Germany"));
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled());
    QTest::mouseClick(Page->CountryNameEdit, Qt::LeftButton);
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled()) << "a click into a field";
    Page->CountryNameEdit->setText(QStringLiteral("India")); // taken

    Host.P.Answers = {TAnswer::Yes};
    ClickEntry("Egypt");
    EXPECT_EQ(Host.P.Asked, QStringList{QStringLiteral("Apply changes?")});
    EXPECT_EQ(Host.P.Captions.first(), QStringLiteral("Apply"));
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_TRUE(Host.P.Shown[0].startsWith(QStringLiteral("A country is already in the list")));
    EXPECT_EQ(Page->EditedCountry, Named("Germany")) << "the clicked record is not loaded";
    EXPECT_EQ(Page->CountryListBox->currentItem()->text(), QStringLiteral("Germany"));
    EXPECT_EQ(Page->CountryNameEdit->text(), QStringLiteral("India")) << "the input is kept";
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    EXPECT_FALSE(Host.Data.Modified);

    // Put right and answered Yes again: applied, then the clicked record is loaded.
    Page->CountryNameEdit->setText(QStringLiteral("Deutschland"));
    Host.P.Answers = {TAnswer::Yes};
    ClickEntry("Egypt");
    EXPECT_EQ(Host.Data.Countries.FindById(5)->Name, "Deutschland");
    EXPECT_EQ(Page->EditedCountry, Named("Egypt"));
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled());
    EXPECT_TRUE(Host.Data.Modified);

    // No discards; with Apply disabled nothing is asked.
    QTest::mouseClick(Page->CountryCodeEdit, Qt::LeftButton);
    Page->CountryNameEdit->setText(QStringLiteral("Misr"));
    Host.P.Answers = {TAnswer::No};
    ClickEntry("Nepal");
    EXPECT_EQ(Named("Egypt")->Name, "Egypt");
    Host.P.Asked.clear();
    ClickEntry("India");
    EXPECT_TRUE(Host.P.Asked.isEmpty());
}

TEST_F(CountryPage, NewModeAddsCountryAfterCountry) {
    const std::int32_t max = Host.Data.Countries.MaxUniqueId();
    Open(TManageMode::New);
    EXPECT_EQ(Page->CountryApplyButton->text(), QStringLiteral("New"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    EXPECT_FALSE(Page->CountriesGroupBox->isEnabled());
    EXPECT_FALSE(Page->CountryCapitalComboBox->isVisibleTo(Form));
    EXPECT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("0"));

    Page->CountryNameEdit->setText(QStringLiteral("Tonga"));
    Page->CountryUTCOffSetEdit->setText(QStringLiteral("13"));
    Page->CountryApplyButton->click();
    EXPECT_TRUE(Page->CountriesGroupBox->isEnabled()) << "the list side after the first Apply";
    EXPECT_EQ(Page->CountryNameEdit->text(), QString()) << "emptied for the next one";
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled());
    QTest::mouseClick(Page->CountryNameEdit, Qt::LeftButton);
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral("Kiribati"));
    Page->CountryUTCOffSetEdit->setText(QStringLiteral("14"));
    Page->CountryApplyButton->click();

    const TCountry* tonga = Named("Tonga");
    const TCountry* kiribati = Named("Kiribati");
    ASSERT_TRUE(tonga && kiribati);
    EXPECT_EQ(tonga->UniqueId, max + 1);
    EXPECT_EQ(kiribati->UniqueId, max + 2);
    EXPECT_EQ(tonga->UTCOffset, 13);
    EXPECT_EQ(kiribati->UTCOffset, 14);
    EXPECT_EQ(Page->CountryListBox->currentItem()->text(), QStringLiteral("Kiribati"));
    EXPECT_TRUE(Form->NewMode);

    // The arrows stop at the new limits.
    Page->CountryUTCOffSetEdit->setText(QStringLiteral("13"));
    Page->CountryUTCOffSetUpDown->StepUp();
    Page->CountryUTCOffSetUpDown->StepUp();
    EXPECT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("14"));
}

TEST_F(CountryPage, CapitalComboOffersOnlyTheCountrysOwnCities) {
    Open(TManageMode::Edit, Named("Nepal")->UniqueId);
    ASSERT_EQ(Page->CountryCapitalComboBox->count(), 1) << "Kathmandu lies in a state";
    EXPECT_EQ(Page->CountryCapitalComboBox->itemText(0), QStringLiteral("-- No City --"));
    EXPECT_EQ(Page->CountryCapitalComboBox->currentIndex(), 0);

    TCity& leeds = Host.Data.Cities.AddWithNewId();
    leeds.LongName = "Aberdeen";
    leeds.CountryId = Named("United Kingdom")->UniqueId;
    Named("United Kingdom")->CapitalCity = 1;
    ClickEntry("United Kingdom");
    QComboBox* capital = Page->CountryCapitalComboBox;
    ASSERT_EQ(capital->count(), 3);
    EXPECT_EQ(capital->itemText(0), QStringLiteral("-- No City --")) << "first, however sorted";
    EXPECT_EQ(capital->itemText(1), QStringLiteral("Aberdeen"));
    EXPECT_EQ(capital->currentText(), QStringLiteral("London"));

    // Choosing "-- No City --" enables Apply and stores no capital.
    capital->setCurrentIndex(0);
    emit capital->activated(0);
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    Page->CountryApplyButton->click();
    EXPECT_EQ(Named("United Kingdom")->CapitalCity, 0);
}

TEST_F(CountryPage, DaylightSavingPanelFollowsTheRecordAndStoresWhatItShows) {
    Open(TManageMode::Edit, Named("Germany")->UniqueId);
    TDSTPanel& p = *Page->Panel;
    EXPECT_TRUE(p.DLCheckBox->isChecked());
    EXPECT_TRUE(p.RuleRadioButton->isChecked());
    EXPECT_EQ(p.StartMonthCombo->currentText(), QStringLiteral("March"));
    EXPECT_EQ(p.StartAfterDayEdit->text(), QStringLiteral("24"));
    EXPECT_EQ(p.DSTStartTimeH->text(), QStringLiteral("02"));
    // The fake clock stands at 8 December 2026.
    EXPECT_EQ(p.ExampleLabel->text(), QStringLiteral("Start: 29/03/2026     End: 25/10/2026"));

    // Fixed dates: the rule fields go, the summary follows the combo clicks.
    QTest::mouseClick(p.FixedDatesRadioButton, Qt::LeftButton);
    EXPECT_EQ(p.StartMonthCombo->currentIndex(), -1);
    EXPECT_EQ(p.ExampleLabel->text(), QString());
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled()) << "choosing the mode does not enable";
    p.StartDayEdit->setText(QStringLiteral("30"));
    p.FixedStartMonthCombo->setCurrentIndex(1);
    emit p.FixedStartMonthCombo->activated(1);
    p.EndDayEdit->setText(QStringLiteral("1"));
    p.FixedEndMonthCombo->setCurrentIndex(9);
    emit p.FixedEndMonthCombo->activated(9);
    EXPECT_EQ(p.ExampleLabel->text(), QStringLiteral("Not ok"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    Page->CountryApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("Invalid/incomplete daylight saving dates. "
                                                    "Please check the fields, or uncheck "
                                                    "\"Daylight Saving\""));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled()) << "stays enabled after a refusal";

    p.StartDayEdit->setText(QStringLiteral("28"));
    p.DSTStartTimeH->setText(QStringLiteral("7"));
    EXPECT_EQ(p.DSTStartTimeH->text(), QStringLiteral("07")) << "padded while typed";
    Page->CountryApplyButton->click();
    const TCountry& germany = *Named("Germany");
    EXPECT_EQ(germany.DSTStart, (TSummerTimeRule{0, 28, 2, 0, 0, 0, 0, 7.0 / 24}));
    EXPECT_EQ(germany.DSTEnd, (TSummerTimeRule{0, 1, 10, 0, 0, 0, 0, 3.0 / 24}));

    // Unchecking keeps the country panel enabled and empty; applied, no saving is stored.
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    EXPECT_FALSE(p.DLCheckBox->isChecked());
    EXPECT_TRUE(p.DLGroupBox->isEnabled());
    EXPECT_EQ(p.StartDayEdit->text(), QString());
    EXPECT_EQ(p.DSTStartTimeH->text(), QString());
    Page->EnableApply();
    Page->CountryApplyButton->click();
    const TSummerTimeRule none{1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(germany.DSTStart, none);
    EXPECT_EQ(germany.DSTEnd, none);

    // Loaded again, the record shows no saving: unchecked and disabled. Checking the box
    // brings the stored record back with its times.
    ClickEntry("Egypt");
    ClickEntry("Germany");
    EXPECT_FALSE(p.DLCheckBox->isChecked());
    EXPECT_FALSE(p.DLGroupBox->isEnabled());
    Page->CountryNameEdit->setText(QStringLiteral("typed"));
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    EXPECT_TRUE(p.DLGroupBox->isEnabled());
    EXPECT_TRUE(p.DLTimeGroupBox->isEnabled());
    EXPECT_EQ(p.DSTEndTimeM->text(), QStringLiteral("00"));
    EXPECT_EQ(Page->CountryNameEdit->text(), QStringLiteral("typed")) << "kept over the reload";
}

TEST_F(CountryPage, DeleteModeRefusesWithReasonsAndDeletesWithoutAQuestion) {
    QSignalSpy deleted(Form, &TManageForm::RecordDeleted);
    Open(TManageMode::Delete);
    EXPECT_EQ(Page->CountryApplyButton->text(), QStringLiteral("Delete"));
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled());
    EXPECT_TRUE(Page->CountryCapitalComboBox->isVisibleTo(Form));
    EXPECT_TRUE(Page->CountryEdit->hasFocus() || !Form->isActiveWindow());

    ClickEntry("Canada");
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    EXPECT_FALSE(Page->CountryGroupBox->isEnabled()) << "read-only";
    Page->CountryApplyButton->click();
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_TRUE(Host.P.Shown[0].contains(QStringLiteral("there are states")));
    EXPECT_NE(Named("Canada"), nullptr);

    ClickEntry("Finland");
    EXPECT_TRUE(Host.P.Asked.isEmpty()) << "no question in delete mode";
    Page->CountryApplyButton->click();
    EXPECT_EQ(Named("Finland"), nullptr);
    EXPECT_TRUE(Host.Data.Modified);
    EXPECT_EQ(Page->CountryListBox->findItems(QStringLiteral("Finland"), Qt::MatchExactly).size(),
              0);
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled());
    EXPECT_EQ(deleted.size(), 1);

    // Opened for editing afterwards: the default caption is back.
    Open(TManageMode::Edit);
    EXPECT_EQ(Page->CountryApplyButton->text(), QStringLiteral("Apply"));
}

TEST_F(CountryPage, TextTheFileCannotHoldIsRefusedInTheField) {
    Open(TManageMode::Edit, Named("Nigeria")->UniqueId);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    EXPECT_EQ(Page->CountryNameEdit->maxLength(), 255);
    EXPECT_EQ(Page->CountryCodeEdit->maxLength(), 2);
    Page->CountryNameEdit->setText(QStringLiteral("\u0141\u00f3d\u017a"));
    Page->EnableApply();
    Page->CountryApplyButton->click();
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_EQ(Host.P.Shown[0], QStringLiteral("The character \"\u0141\" cannot be stored in the "
                                              "city list. Please replace it."));
    EXPECT_EQ(Named("Nigeria")->Name, "Nigeria");
    EXPECT_EQ(QApplication::focusWidget(), Page->CountryNameEdit);
}

TEST_F(CountryPage, ShowingClearsStayOnTopAndClosingRefreshesTheDial) {
    Host.Options.StayOnTop = 1;
    Open(TManageMode::Edit);
    EXPECT_EQ(Host.Options.StayOnTop, 0);
    EXPECT_GE(Host.Synced, 1);
    const int refreshed = Host.Refreshed;
    Page->CountryCloseButton->click();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Host.Refreshed, refreshed + 1);
    EXPECT_EQ(Host.Data.MyCity, Host.Data.Cities.FindById(1));
}

TEST_F(CountryPage, EveryControlCarriesItsNameForAScreenReader) {
    Open(TManageMode::Edit, Named("Germany")->UniqueId); // the combos hold values
    const struct {
        const char* Control;
        const char* Name;
    } named[] = {{"CountryEdit", "Search countries"},
                 {"CountryListBox", "Countries"},
                 {"CountryStartFLCombo", "Start week"},
                 {"CountryStartDayCombo", "Start weekday"},
                 {"CountryStartAfterDayEdit", "Start after day"},
                 {"CountryStartMonthCombo", "Start month"},
                 {"CountryEndFLCombo", "End week"},
                 {"CountryEndDayCombo", "End weekday"},
                 {"CountryEndAfterDayEdit", "End after day"},
                 {"CountryEndMonthCombo", "End month"},
                 {"CountryStartDayEdit", "Fixed start day"},
                 {"CountryFixedStartMonthCombo", "Fixed start month"},
                 {"CountryEndDayEdit", "Fixed end day"},
                 {"CountryFixedEndMonthCombo", "Fixed end month"},
                 {"CountryDSTStartTimeH", "Start hour"},
                 {"CountryDSTStartTimeM", "Start minute"},
                 {"CountryDSTEndTimeH", "End hour"},
                 {"CountryDSTEndTimeM", "End minute"},
                 // Labelled by their visible label.
                 {"CountryNameEdit", "Name:"},
                 {"CountryCodeEdit", "Code:"},
                 {"CountryUTCOffSetEdit", "UTC Offset:"},
                 {"CountryCapitalComboBox", "Capital:"},
                 {"CountryDLCheckBox", "Daylight Saving"},
                 {"CountryRuleRadioButton", "Rule"},
                 {"CountryFixedDatesRadioButton", "Fixed Dates"},
                 {"CountryApplyButton", "Apply"},
                 {"CountryCloseButton", "Close"}};
    for (const auto& n : named) {
        QWidget* w = Child<QWidget>(Form, n.Control);
        ASSERT_NE(w, nullptr);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << n.Control;
        // A combo box says its value as its name; its label comes through the relation.
        QStringList labels{a->text(QAccessible::Name)};
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            labels.append(other->text(QAccessible::Name));
        EXPECT_TRUE(labels.contains(QLatin1String(n.Name)))
            << n.Control << ": " << labels.join(QLatin1Char('|')).toStdString();
    }
    for (const char* name :
         {"ManagePageControl", "CountriesTabSheet", "StatesTabSheet", "CitiesTabSheet",
          "AirportsTabSheet", "CountriesGroupBox", "CountryGroupBox", "Label9",
          "CountryUTCOffSetUpDown", "CountryDLGroupBox", "CountryExampleLabel",
          "CountryDLTimeGroupBox", "UpDown5", "UpDown6", "UpDown7", "UpDown8"})
        EXPECT_NE(Child<QWidget>(Form, name), nullptr);
}

TEST(ManageFromTheClock, EditCountryOpensOnTheDialsCountry) {
    TFakePlatform p;
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm clock(p.Platform, TSkin::Standard());
    TCompanionWindows companions(clock);
    clock.SetCompanions(&companions);
    TManageForm& manage = companions.Manage();
    QAction* add = clock.findChild<QAction*>(QStringLiteral("Country1"));
    ASSERT_TRUE(add && add->isEnabled());

    clock.Data.CurrentCity = clock.Data.Cities.FindById(3); // Delhi, India
    clock.RefreshDial();
    clock.Country2Click();
    ASSERT_TRUE(manage.isVisible());
    EXPECT_EQ(manage.CurrentPage(), TManagePage::Countries);
    ASSERT_NE(manage.Countries->EditedCountry, nullptr);
    EXPECT_EQ(manage.Countries->EditedCountry->Name, "India");
    EXPECT_EQ(manage.Countries->CountryListBox->currentItem()->text(), QStringLiteral("India"));
    EXPECT_EQ(manage.Countries->CountryNameEdit->text(), QStringLiteral("India"));

    // The popup on the centre names the current city's country as well.
    clock.Data.CurrentCity = clock.Data.Cities.FindById(5); // Berlin
    clock.RefreshDial();
    clock.EditCountry1Click();
    EXPECT_EQ(manage.Countries->EditedCountry->Name, "Germany");

    // Add, type, New, close: the country is in the data and the dial was refreshed.
    clock.Country1Click();
    EXPECT_EQ(manage.Countries->CountryApplyButton->text(), QStringLiteral("New"));
    manage.Countries->CountryNameEdit->setText(QStringLiteral("Tuvalu"));
    manage.Countries->CountryApplyButton->click();
    manage.close();
    EXPECT_TRUE(clock.Data.Modified);
    bool found = false;
    for (const TCountry* c : clock.Data.Countries)
        found = found || c->Name == "Tuvalu";
    EXPECT_TRUE(found);
    clock.Data.Modified = false;
}

TEST_F(CountryPage, TabbingIntoAFieldEnablesApplyAsAClickDoes) {
    Open(TManageMode::Edit, Named("Fiji")->UniqueId);
    ASSERT_TRUE(Page->CountryGroupBox->isEnabled());
    ASSERT_FALSE(Page->CountryApplyButton->isEnabled());
    auto focus = [](QWidget* field, Qt::FocusReason reason) {
        QFocusEvent e(QEvent::FocusIn, reason);
        QApplication::sendEvent(field, &e);
    };
    focus(Page->CountryNameEdit, Qt::OtherFocusReason);
    EXPECT_FALSE(Page->CountryApplyButton->isEnabled()) << "the program's own focus is no edit";
    focus(Page->CountryUTCOffSetEdit, Qt::TabFocusReason);
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
}

namespace {

// Chooses the entry of a combo box as the user does.
void ChooseIn(QComboBox* combo, const char* text) {
    const int i = combo->findText(QLatin1String(text));
    ASSERT_GE(i, 0) << text;
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

// One row of the rule: [ordinal] [weekday] after [day] of [month]; nullptr leaves it alone.
void TypeRule(QComboBox* ordinal, const char* ordinalText, QComboBox* weekday,
              const char* weekdayText, QLineEdit* after, const char* afterText, QComboBox* month,
              const char* monthText) {
    if (ordinalText != nullptr)
        ChooseIn(ordinal, ordinalText);
    ChooseIn(weekday, weekdayText);
    QTest::keyClicks(after, QLatin1String(afterText));
    ChooseIn(month, monthText);
}

QString FocusName(QWidget* window) {
    QWidget* w = window->focusWidget();
    return w != nullptr ? w->objectName() : QString();
}

// The controls Tab reaches from the one that has the focus, up to the last of them.
QStringList TabFrom(QWidget* window, QWidget* start, const char* last) {
    start->setFocus(Qt::OtherFocusReason);
    QStringList reached;
    for (int i = 0; i < 40 && FocusName(window) != QLatin1String(last); ++i) {
        QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
        reached << FocusName(window);
    }
    return reached;
}

TDateTime RuleDate(int year, const TSummerTimeRule& rule) {
    TDateTime d = 0;
    EXPECT_TRUE(WeekdayRuleDate(year, rule, d));
    return std::floor(d);
}

} // namespace

TEST_F(CountryPage, AChangeTimeTypedAsTheHourAloneIsThatWholeHour) {
    Open(TManageMode::New);
    TDSTPanel& p = *Page->Panel;
    EXPECT_EQ(Form->focusWidget(), Page->CountryNameEdit) << "Add Country starts in the name";
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral("Testland"));
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    ASSERT_TRUE(p.DLGroupBox->isEnabled());
    EXPECT_EQ(p.DSTStartTimeM->text(), QStringLiteral("00")) << "a new record's minutes";
    EXPECT_EQ(p.DSTEndTimeM->text(), QStringLiteral("00"));
    TypeRule(p.StartFLCombo, "Last", p.StartDayCombo, "Sunday", p.StartAfterDayEdit, "",
             p.StartMonthCombo, "March");
    TypeRule(p.EndFLCombo, "Last", p.EndDayCombo, "Sunday", p.EndAfterDayEdit, "", p.EndMonthCombo,
             "October");
    QTest::keyClicks(p.DSTStartTimeH, QStringLiteral("02"));
    QTest::keyClicks(p.DSTEndTimeH, QStringLiteral("3"));
    p.DSTEndTimeM->clear(); // emptied by the user: the hour alone still counts
    Page->CountryApplyButton->click();
    ASSERT_TRUE(Host.P.Shown.isEmpty()) << Host.P.Shown.join(QLatin1Char('|')).toStdString();
    const TCountry* t = Named("Testland");
    ASSERT_NE(t, nullptr);
    EXPECT_DOUBLE_EQ(t->DSTStart.ChangeTime, 2.0 / 24);
    EXPECT_DOUBLE_EQ(t->DSTEnd.ChangeTime, 3.0 / 24);

    // Minutes without their hour are refused, with the hour in front of the user.
    Open(TManageMode::Edit, Named("Germany")->UniqueId);
    const TSummerTimeRule before = Named("Germany")->DSTEnd;
    QTest::mouseClick(Page->CountryNameEdit, Qt::LeftButton);
    p.DSTEndTimeH->clear();
    QTest::keyClicks(p.DSTEndTimeM, QStringLiteral("30"));
    Page->CountryApplyButton->click();
    ASSERT_EQ(Host.P.Shown.size(), 1);
    EXPECT_EQ(Host.P.Shown[0], QString::fromLatin1(InvalidDSTMessage));
    EXPECT_EQ(Form->focusWidget(), p.DSTEndTimeH);
    EXPECT_EQ(Named("Germany")->DSTEnd, before);
}

TEST_F(CountryPage, TheOffsetArrowsStepAFractionToTheNextWholeHour) {
    Open(TManageMode::Edit, Named("India")->UniqueId);
    ASSERT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("5.5"));
    QToolButton *up = nullptr, *down = nullptr;
    for (QToolButton* b : Page->CountryUTCOffSetUpDown->findChildren<QToolButton*>())
        (b->arrowType() == Qt::UpArrow ? up : down) = b;
    ASSERT_TRUE(up && down);
    EXPECT_EQ(up->accessibleName(), QStringLiteral("UTC offset up"));
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("6"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    Page->CountryUTCOffSetEdit->setText(QStringLiteral("5.5"));
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("5"));
    // Up and Down in the field step as the arrows do, within -12 to +14.
    Page->CountryUTCOffSetEdit->setText(QStringLiteral("13.75"));
    QTest::keyClick(Page->CountryUTCOffSetEdit, Qt::Key_Up);
    QTest::keyClick(Page->CountryUTCOffSetEdit, Qt::Key_Up);
    EXPECT_EQ(Page->CountryUTCOffSetEdit->text(), QStringLiteral("14"));
    EXPECT_TRUE(Page->CountryUTCOffSetEdit->toolTip().contains(QStringLiteral("-12 to +14")));
    Page->CountryApplyButton->click();
    EXPECT_EQ(Named("India")->UTCOffset, 14);
}

TEST_F(CountryPage, ARuleWithoutItsWeekIsRefusedAndACompleteOneStoredAsItsSummary) {
    Open(TManageMode::New);
    TDSTPanel& p = *Page->Panel;
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral("Testland"));
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    TypeRule(p.StartFLCombo, nullptr, p.StartDayCombo, "Sunday", p.StartAfterDayEdit, "24",
             p.StartMonthCombo, "March");
    TypeRule(p.EndFLCombo, nullptr, p.EndDayCombo, "Sunday", p.EndAfterDayEdit, "24",
             p.EndMonthCombo, "October");
    QTest::keyClicks(p.DSTStartTimeH, QStringLiteral("2"));
    QTest::keyClicks(p.DSTEndTimeH, QStringLiteral("3"));
    EXPECT_EQ(p.ExampleLabel->text(), QStringLiteral("Not ok")) << "no date years away";
    Page->CountryApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0), QString::fromLatin1(InvalidDSTMessage));
    EXPECT_EQ(Named("Testland"), nullptr);

    ChooseIn(p.StartFLCombo, "First");
    ChooseIn(p.EndFLCombo, "First");
    EXPECT_EQ(p.ExampleLabel->text(), QStringLiteral("Start: 29/03/2026     End: 25/10/2026"));
    Page->CountryApplyButton->click();
    const TCountry* t = Named("Testland");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->DSTStart.WeekOrdinal, 0);
    TDateTime start = 0, end = 0;
    ASSERT_TRUE(TryEncodeDate(2026, 3, 29, start) && TryEncodeDate(2026, 10, 25, end));
    EXPECT_EQ(RuleDate(2026, t->DSTStart), start) << "the record gives the summary's dates";
    EXPECT_EQ(RuleDate(2026, t->DSTEnd), end);
}

TEST_F(CountryPage, NamesAreKeptWithoutBlanksAroundThemAsTheFileKeepsThem) {
    Open(TManageMode::New);
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral("   "));
    Page->CountryApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(0), QStringLiteral("Name should not be empty"));
    Page->CountryNameEdit->clear();
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral(" Testland "));
    Page->CountryApplyButton->click();
    ASSERT_NE(Named("Testland"), nullptr);
    EXPECT_EQ(Page->CountryListBox->currentItem()->text(), QStringLiteral("Testland"));
    QTest::keyClicks(Page->CountryNameEdit, QStringLiteral("Testland "));
    Page->CountryApplyButton->click();
    EXPECT_EQ(Host.P.Shown.value(1), QStringLiteral("A country is already in the list with that "
                                                    "name. Please choose another name."));

    // Edited, the field shows the name as stored.
    Open(TManageMode::Edit, Named("Fiji")->UniqueId);
    QTest::mouseClick(Page->CountryNameEdit, Qt::LeftButton);
    Page->CountryNameEdit->setText(QStringLiteral("  Fiji"));
    Page->CountryApplyButton->click();
    EXPECT_EQ(Named("Fiji")->UniqueId, Page->EditedCountry->UniqueId);
    EXPECT_EQ(Page->CountryNameEdit->text(), QStringLiteral("Fiji"));
}

TEST_F(CountryPage, TheKeyboardRunsThroughThePanelBeforeTheButtonsAndPressesThem) {
    Open(TManageMode::Edit, Named("Germany")->UniqueId);
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form));
    TDSTPanel& p = *Page->Panel;
    const QStringList reached = TabFrom(Form, Page->CountryNameEdit, "CountryCloseButton");
    QStringList expected;
    for (const char* name : {"CountryCodeEdit",          "CountryUTCOffSetEdit",
                             "CountryFromZoneButton",    "CountryCapitalComboBox",
                             "CountryDLCheckBox",        "CountryRuleRadioButton",
                             "CountryStartFLCombo",      "CountryStartDayCombo",
                             "CountryStartAfterDayEdit", "CountryStartMonthCombo",
                             "CountryEndFLCombo",        "CountryEndDayCombo",
                             "CountryEndAfterDayEdit",   "CountryEndMonthCombo",
                             "CountryStartDayEdit",      "CountryFixedStartMonthCombo",
                             "CountryEndDayEdit",        "CountryFixedEndMonthCombo",
                             "CountryDSTStartTimeH",     "CountryDSTStartTimeM",
                             "CountryDSTEndTimeH",       "CountryDSTEndTimeM",
                             "CountryApplyButton",       "CountryCloseButton"})
        expected << QLatin1String(name);
    EXPECT_EQ(reached, expected) << reached.join(QLatin1Char(' ')).toStdString();

    // Up and Down step the time as its arrows do, and typing a time enables Apply.
    Page->CountryApplyButton->setEnabled(false);
    QTest::keyClick(p.DSTStartTimeH, Qt::Key_Up);
    EXPECT_EQ(p.DSTStartTimeH->text(), QStringLiteral("03"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());
    Page->CountryApplyButton->setEnabled(false);
    QTest::keyClicks(p.DSTEndTimeM, QStringLiteral("5"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled()) << "as typing a name does";
    Page->CountryApplyButton->setEnabled(false);
    QTest::keyClicks(Page->CountryCodeEdit, QStringLiteral("D"));
    EXPECT_TRUE(Page->CountryApplyButton->isEnabled());

    // Enter presses the focused Apply, Space the focused Close.
    Page->CountryApplyButton->setFocus();
    QTest::keyClick(Page->CountryApplyButton, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(Named("Germany")->DSTStart.ChangeTime, 3.0 / 24);
    EXPECT_EQ(Named("Germany")->Code, "D");
    Page->CountryCloseButton->setFocus();
    QTest::keyClick(Page->CountryCloseButton, Qt::Key_Space);
    EXPECT_FALSE(Form->isVisible());
}

TEST(ManageFromTheClock, ACommandThatComesWhileTheWindowAsksWaitsForTheAnswer) {
    TFakePlatform p;
    WriteTestWorld(p.File(QStringLiteral("user.tvk")).toStdString(), 1);
    TTavikForm clock(p.Platform, TSkin::Standard());
    TCompanionWindows companions(clock);
    clock.SetCompanions(&companions);
    TManageForm& manage = companions.Manage();
    TCountryPage& page = *manage.Countries;
    clock.Data.CurrentCity = clock.Data.Cities.FindById(3); // Delhi, India
    clock.Country2Click();
    ASSERT_EQ(page.EditedCountry->Name, "India");
    const int countries = clock.Data.Countries.Count();
    QTest::mouseClick(page.CountryNameEdit, Qt::LeftButton);
    page.CountryNameEdit->setText(QStringLiteral("Bharat"));

    // Under the open question the accessibility bus runs Location > Delete > Country, presses
    // Apply and closes the window: none of it touches the page that asks.
    bool asked = false;
    p.WhileAsking = [&] {
        asked = true;
        clock.findChild<QAction*>(QStringLiteral("Country3"))->trigger();
        page.CountryApplyButton->click();
        manage.close();
        EXPECT_FALSE(manage.DeleteMode);
        EXPECT_TRUE(manage.isVisible());
        EXPECT_EQ(page.EditedCountry->Name, "India") << "not applied under the question";
        EXPECT_EQ(page.CountryNameEdit->text(), QStringLiteral("Bharat"));
    };
    p.Answers = {TAnswer::Yes};
    QListWidget* list = page.CountryListBox;
    QListWidgetItem* nepal = list->findItems(QStringLiteral("Nepal"), Qt::MatchExactly).value(0);
    ASSERT_NE(nepal, nullptr);
    list->scrollToItem(nepal);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(nepal).center());
    p.WhileAsking = nullptr;
    ASSERT_TRUE(asked);
    EXPECT_EQ(clock.Data.Countries.FindById(3)->Name, "Bharat") << "Yes applied the edit";
    EXPECT_EQ(page.EditedCountry->Name, "Nepal");
    EXPECT_FALSE(manage.DeleteMode);

    // Then the command that waited runs: delete mode, nothing deleted without its own Delete.
    QCoreApplication::processEvents();
    EXPECT_TRUE(manage.DeleteMode);
    EXPECT_EQ(page.CountryApplyButton->text(), QStringLiteral("Delete"));
    EXPECT_EQ(clock.Data.Countries.Count(), countries);
    clock.Data.Modified = false;
}

TEST(StatePageKeys, ANewStateStartsInItsNameAndKeepsTheCountryPagesRules) {
    TFakeClockHost host;
    TCompanionWindows companions(host);
    TManageForm& form = companions.Manage();
    TStatePage& page = *form.States;
    TDSTPanel& p = *page.Panel;
    companions.OpenManage(TManagePage::States, TManageMode::New, 0);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), page.StateNameEdit);

    // A name of blanks is empty; the name is stored without its blanks.
    QTest::keyClicks(page.StateNameEdit, QStringLiteral("  "));
    ChooseIn(page.StateCountryComboBox, "India");
    page.StateApplyButton->click();
    EXPECT_EQ(host.P.Shown.value(0), QStringLiteral("Name should not be empty"));
    QTest::keyClicks(page.StateNameEdit, QStringLiteral("Goa "));

    // No week with an after day: refused, as on the country page.
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    EXPECT_EQ(p.DSTStartTimeM->text(), QStringLiteral("00"));
    TypeRule(p.StartFLCombo, nullptr, p.StartDayCombo, "Sunday", p.StartAfterDayEdit, "24",
             p.StartMonthCombo, "March");
    TypeRule(p.EndFLCombo, "First", p.EndDayCombo, "Sunday", p.EndAfterDayEdit, "24",
             p.EndMonthCombo, "October");
    QTest::keyClicks(p.DSTStartTimeH, QStringLiteral("2"));
    QTest::keyClicks(p.DSTEndTimeH, QStringLiteral("3"));
    page.StateApplyButton->click();
    EXPECT_EQ(host.P.Shown.value(1), QString::fromLatin1(InvalidDSTMessage));
    ChooseIn(p.StartFLCombo, "First");
    page.StateApplyButton->click();
    ASSERT_EQ(host.P.Shown.size(), 2);
    const TState* goa = host.Data.States.FindById(host.Data.States.MaxUniqueId());
    ASSERT_EQ(goa->Name, "Goa");
    EXPECT_EQ(goa->DSTStart.WeekOrdinal, 0);
    EXPECT_DOUBLE_EQ(goa->DSTStart.ChangeTime, 2.0 / 24) << "the hour alone";
    EXPECT_DOUBLE_EQ(goa->DSTEnd.ChangeTime, 3.0 / 24);

    // Tab runs through the panel before Apply and Close.
    QTest::mouseClick(p.DLCheckBox, Qt::LeftButton);
    const QStringList reached = TabFrom(&form, page.StateDLCheckBox, "StateCloseButton");
    ASSERT_GE(reached.size(), 3);
    EXPECT_EQ(reached.first(), QStringLiteral("StateRuleRadioButton"));
    EXPECT_EQ(reached[reached.size() - 3], QStringLiteral("StateDSTEndTimeM"));
    EXPECT_EQ(reached[reached.size() - 2], QStringLiteral("StateApplyButton"));
    form.close();
}

#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "manage/CountryPageU.h"
#include "manage/DSTPanelU.h"
#include "manage/ManageU.h"
#include "manage/StatePageU.h"
#include "widgets/UpDownU.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A click on the button's circle: a radio button takes clicks on its circle and caption only.
void ClickRadio(QRadioButton* radio) {
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

// A panel on a window of its own, as a page lays it out, switched on.
class Panel : public ::testing::Test {
protected:
    void SetUp() override {
        Box = new QCheckBox(&Window);
        auto* place = new QWidget(&Window);
        P = std::make_unique<TDSTPanel>(Host, place, Box, QStringLiteral("Test"),
                                        std::array{"UpA", "UpB", "UpC", "UpD"});
        TDSTPanelState s = P->Read();
        s.Checked = true;
        s.PanelEnabled = true;
        s.TimeRowEnabled = true;
        P->Show(s);
        Window.show();
        QApplication::setActiveWindow(&Window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    }

    TFakeClockHost Host;
    QWidget Window;
    QCheckBox* Box = nullptr;
    std::unique_ptr<TDSTPanel> P;
};

} // namespace

TEST_F(Panel, EveryKindOfEditTellsEditedAndTheModeChoiceOnlyClearsTheOtherSide) {
    QSignalSpy edited(P.get(), &TDSTPanel::Edited);

    // A choice in a combo box, by the keyboard.
    P->StartMonthCombo->setFocus();
    QTest::keyClick(P->StartMonthCombo, Qt::Key_Down);
    EXPECT_EQ(P->StartMonthCombo->currentIndex(), 0);
    EXPECT_EQ(edited.count(), 1) << "a combo choice";

    // Typing a day, then leaving the edit for another control.
    P->StartAfterDayEdit->setFocus();
    QTest::keyClicks(P->StartAfterDayEdit, QStringLiteral("24"));
    EXPECT_EQ(edited.count(), 3) << "one for each typed character";
    QTest::keyClick(P->StartAfterDayEdit, Qt::Key_Tab);
    EXPECT_FALSE(P->StartAfterDayEdit->hasFocus());
    EXPECT_EQ(edited.count(), 4) << "leaving a day edit";
    // Switching to another window is no exit.
    P->EndAfterDayEdit->setFocus();
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(P->EndAfterDayEdit, &away);
    EXPECT_EQ(edited.count(), 4);
    P->DSTStartTimeH->setFocus();
    EXPECT_EQ(edited.count(), 5) << "a move to another control";

    // A typed hour is padded to two digits and is an edit; so are an arrow click and Up.
    P->DSTStartTimeH->selectAll();
    QTest::keyClicks(P->DSTStartTimeH, QStringLiteral("7"));
    EXPECT_EQ(P->DSTStartTimeH->text(), QStringLiteral("07"));
    EXPECT_EQ(edited.count(), 6) << "a typed time";
    const auto arrows = P->TimeUpDowns[2]->findChildren<QToolButton*>();
    ASSERT_FALSE(arrows.isEmpty());
    QTest::mouseClick(arrows.first(), Qt::LeftButton);
    EXPECT_EQ(P->DSTEndTimeH->text().size(), 2) << "stepped and padded";
    EXPECT_EQ(edited.count(), 7) << "an arrow of the time row";
    QTest::keyClick(P->DSTEndTimeM, Qt::Key_Up);
    EXPECT_EQ(P->DSTEndTimeM->text(), QStringLiteral("01"));
    EXPECT_EQ(edited.count(), 8) << "Up in a time edit";

    // Fixed dates clear the rule, rules clear the fixed dates: neither is an edit by itself.
    ClickRadio(P->FixedDatesRadioButton);
    ASSERT_TRUE(P->FixedDatesRadioButton->isChecked());
    EXPECT_EQ(P->StartMonthCombo->currentIndex(), -1);
    EXPECT_EQ(P->StartAfterDayEdit->text(), QString());
    QTest::keyClicks(P->StartDayEdit, QStringLiteral("5"));
    EXPECT_EQ(edited.count(), 9) << "a typed fixed day";
    ClickRadio(P->RuleRadioButton);
    ASSERT_TRUE(P->RuleRadioButton->isChecked());
    EXPECT_EQ(P->StartDayEdit->text(), QString());
    EXPECT_EQ(edited.count(), 9) << "choosing the mode";

    // What the page shows is no edit and is shown as it is.
    TDSTPanelState s = P->Read();
    s.Start.Hour = "3";
    s.Start.Month = 4;
    P->Show(s);
    EXPECT_EQ(P->DSTStartTimeH->text(), QStringLiteral("3"));
    EXPECT_EQ(edited.count(), 9);
}

TEST(PanelOnItsPage, AnEditInThePanelIsAnEditOfTheCountryAndTheStatePage) {
    TFakeClockHost host;
    host.Data.States.FindById(2)->DSTStart = WeekRule(1, 7, 0, 3, 2);
    host.Data.States.FindById(2)->DSTEnd = WeekRule(0, 7, 0, 11, 2);
    TCompanionWindows companions(host);
    TManageForm& form = companions.Manage();
    struct TCase {
        TManagePage Page;
        std::int32_t Id;
        TDSTPanel* Panel;
        QPushButton* Apply;
    };
    const TCase cases[] = {
        {TManagePage::Countries, 5, form.Countries->Panel.get(), form.Countries->ApplyButton},
        {TManagePage::States, 2, form.States->Panel.get(), form.States->ApplyButton}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Page));
        companions.OpenManage(c.Page, TManageMode::Edit, c.Id);
        ASSERT_TRUE(c.Panel->DLCheckBox->isChecked()) << "a record with rules";
        EXPECT_FALSE(c.Apply->isEnabled());
        QTest::keyClicks(c.Panel->StartAfterDayEdit, QStringLiteral("1"));
        EXPECT_TRUE(c.Apply->isEnabled());

        host.P.Asked.clear();
        host.P.Answers = {TAnswer::No};
        form.close();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(host.P.Asked, QStringList{QStringLiteral("Apply changes?")});
    }
}

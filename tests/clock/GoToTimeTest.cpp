// The Go to Time dialog on its own: what it opens with, what it tells, and what Go gives.
#include "FakePlatform.h"
#include "TestWorld.h"
#include "clock/GoToTimeU.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TDateTime Utc(int y, int mo, int d, int h, int mi) {
    TDateTime t = 0;
    TryEncodeDateTime(y, mo, d, h, mi, 0, 0, t);
    return t;
}

class GoToTime : public ::testing::Test {
protected:
    GoToTime() {
        BuildTestWorld(D, 1); // My City London
        D.CurrentCity = D.Cities.FindById(2);
        P.Now = Utc(2026, 12, 8, 12, 0);
    }
    TGoToTimeContext Context() const {
        TGoToTimeContext c;
        c.Data = &D;
        c.CurrentCity = D.CurrentCity;
        c.MyCity = D.MyCity;
        c.FaceUtc = Utc(2026, 12, 8, 15, 0); // three hours on
        return c;
    }
    // Where a radio button takes a click: on its mark.
    static QPoint RadioMark(const QWidget* radio) { return QPoint(8, radio->height() / 2); }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    TCityList D;
    TFakePlatform P;
};

} // namespace

TEST_F(GoToTime, OpensWithTheFaceInTheCurrentCityAndGoesToWhatIsTyped) {
    TGoToTimeForm form(P.Platform);
    form.Prepare(Context());
    form.show();
    // Kathmandu, +5:45: 15:00 UTC is 20:45 there.
    EXPECT_EQ(form.DateEdit->text(), QStringLiteral("8 Dec 2026"));
    EXPECT_EQ(form.TimeEdit->text(), QStringLiteral("20:45"));
    EXPECT_TRUE(form.CurrentCityRadio->isChecked());
    EXPECT_EQ(form.CurrentCityRadio->text(), QStringLiteral("The &current city, Kathmandu"));
    EXPECT_EQ(form.MyCityRadio->text(), QStringLiteral("&My City, London"));
    EXPECT_EQ(form.PreviewLabel->text(),
              QStringLiteral("Tue 8 Dec 2026 20:45 in Kathmandu, 3 hours from now."));

    // Typed through the keyboard, the line follows; Go names the instant.
    Type(form.TimeEdit, QStringLiteral("9:15 pm"));
    EXPECT_EQ(form.PreviewLabel->text(),
              QStringLiteral("Tue 8 Dec 2026 21:15 in Kathmandu, 3 hours 30 minutes from now."));
    QTest::mouseClick(form.MyCityRadio, Qt::LeftButton, Qt::NoModifier,
                      RadioMark(form.MyCityRadio));
    EXPECT_EQ(form.PreviewLabel->text(),
              QStringLiteral("Tue 8 Dec 2026 21:15 in London, 9 hours 15 minutes from now."));
    EXPECT_EQ(form.PreviewLabel->accessibleDescription(), form.PreviewLabel->text());
    QTest::keyClick(form.TimeEdit, Qt::Key_Return); // Go is the default button
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_TRUE(form.ChosenUtc().has_value());
    EXPECT_EQ(ToMilliseconds(*form.ChosenUtc()), ToMilliseconds(Utc(2026, 12, 8, 21, 15)));
    EXPECT_TRUE(P.Shown.isEmpty());

    // Opened again, nothing of the last choice is left.
    form.Prepare(Context());
    EXPECT_FALSE(form.ChosenUtc().has_value());
    EXPECT_TRUE(form.CurrentCityRadio->isChecked());
}

TEST_F(GoToTime, ATypingMistakeIsToldAndItsFieldFocused) {
    TGoToTimeForm form(P.Platform);
    form.Prepare(Context());
    form.show();
    Type(form.DateEdit, QStringLiteral("31 Feb 2027"));
    EXPECT_EQ(form.PreviewLabel->text(), QStringLiteral("Enter a date such as 8 Dec 2026."));
    QTest::mouseClick(form.OkButton, Qt::LeftButton);
    ASSERT_EQ(P.Shown.size(), 1);
    EXPECT_EQ(P.Shown.front(), QStringLiteral("Enter a date such as 8 Dec 2026."));
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.ChosenUtc().has_value());
    EXPECT_EQ(form.focusWidget(), form.DateEdit);

    Type(form.DateEdit, QStringLiteral("28 Feb 2027"));
    Type(form.TimeEdit, QStringLiteral("25:00"));
    QTest::mouseClick(form.OkButton, Qt::LeftButton);
    ASSERT_EQ(P.Shown.size(), 2);
    EXPECT_EQ(P.Shown.back(), QStringLiteral("Enter a time such as 15:30."));
    EXPECT_EQ(form.focusWidget(), form.TimeEdit);

    // Cancel gives nothing.
    QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.ChosenUtc().has_value());
}

TEST_F(GoToTime, ACityWithoutAPlaceCannotBeChosen) {
    D.CurrentCity = D.Cities.FindById(9); // its state is missing
    TGoToTimeForm form(P.Platform);
    TGoToTimeContext c = Context();
    c.TwelveHour = true;
    c.DateStyle = 1;
    form.Prepare(c);
    EXPECT_FALSE(form.CurrentCityRadio->isEnabled());
    EXPECT_TRUE(form.MyCityRadio->isChecked());
    EXPECT_EQ(form.DateEdit->text(), QStringLiteral("Dec 8 2026"));
    EXPECT_EQ(form.TimeEdit->text(), QStringLiteral("3:00 pm"));

    // Without any city that has a place, the line says why Go does nothing.
    c.MyCity = nullptr;
    form.Prepare(c);
    EXPECT_EQ(form.PreviewLabel->text(),
              QStringLiteral("Lost has no place to take its time from."));
}

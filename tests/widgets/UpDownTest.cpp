#include "widgets/UpDownU.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(UpDown, StepsWhatTheEditShowsWithinItsRangeAndSaysSo) {
    QWidget form;
    QLineEdit edit(&form);
    edit.setGeometry(10, 10, 40, 21);
    TUpDown arrows(&form);
    arrows.SetAssociate(&edit);
    arrows.SetRange(-12, 14);
    EXPECT_EQ(arrows.x(), edit.geometry().right() + 1) << "stands at the edit's right edge";

    int clicks = 0;
    QObject::connect(&arrows, &TUpDown::Clicked, [&](bool) { ++clicks; });
    edit.setText(QStringLiteral("13"));
    arrows.StepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("14")) << "the typed value is the start";
    arrows.StepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("14")) << "no wrap";
    edit.setText(QStringLiteral("5.75"));
    arrows.StepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("5")) << "a fraction steps to the whole hour below";
    edit.setText(QStringLiteral("-40"));
    arrows.StepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("-12"));
    edit.setText(QStringLiteral("no number"));
    arrows.StepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("-11")) << "no number: the last position is used";
    EXPECT_EQ(clicks, 5);
}

TEST(UpDown, FractionsStepToTheNextWholeHourAndTheKeysStepAsTheArrows) {
    QWidget form;
    QLineEdit edit(&form);
    TUpDown arrows(&form);
    arrows.SetAssociate(&edit);
    arrows.SetRange(-12, 14);
    const struct {
        const char* Shown;
        bool Up;
        const char* Then;
    } steps[] = {{"5.5", true, "6"},   {"5.5", false, "5"},     {"6.5", true, "7"},
                 {"-3.5", true, "-3"}, {"-3.5", false, "-4"},   {"5,75", true, "6"},
                 {"13.5", true, "14"}, {"-11.5", false, "-12"}, {"14", true, "14"}};
    for (const auto& s : steps) {
        edit.setText(QLatin1String(s.Shown));
        s.Up ? arrows.StepUp() : arrows.StepDown();
        EXPECT_EQ(edit.text(), QLatin1String(s.Then)) << s.Shown << (s.Up ? " up" : " down");
    }

    // Up and Down in the edit are the arrows; the caret keys of other edits are not taken.
    int clicks = 0;
    QObject::connect(&arrows, &TUpDown::Clicked, [&](bool) { ++clicks; });
    edit.setText(QStringLiteral("5.5"));
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("6"));
    QTest::keyClick(&edit, Qt::Key_Down);
    QTest::keyClick(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("4"));
    EXPECT_EQ(clicks, 3) << "the keys tell the page as a click does";
    arrows.setEnabled(false);
    QTest::keyClick(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("4")) << "disabled arrows do not step";
}

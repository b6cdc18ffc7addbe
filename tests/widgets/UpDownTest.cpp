#include "UpDownU.h"

#include <QLineEdit>
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
    EXPECT_EQ(edit.text(), QStringLiteral("13")) << "no whole number: the last position is used";
    edit.setText(QStringLiteral("-40"));
    arrows.StepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("-12"));
    EXPECT_EQ(clicks, 4);
}

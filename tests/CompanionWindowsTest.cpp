#include "CompanionWindowsU.h"
#include "FakeClockHost.h"
#include "SelectCityU.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(CompanionWindows, OpenOnTheClockWindowAndGoAwayWithTheRecordsTheyShow) {
    TFakeClockHost host(2);
    TCompanionWindows companions(host);
    EXPECT_TRUE(companions.Offers(TCompanions::TKind::SelectCity, TManagePage::Countries));

    companions.OpenSelectCity(true);
    TSelectCityForm& select = companions.SelectCity();
    ASSERT_TRUE(select.isVisible());
    EXPECT_EQ(select.pos(), host.Window.pos()) << "top-left on the clock window's";
    EXPECT_TRUE(select.MyCityMode);
    EXPECT_EQ(select.WorkingMyCity, host.Data.MyCity);

    companions.CityListReplaced();
    EXPECT_FALSE(select.isVisible()) << "its lines named records that are gone";

    companions.OpenSelectCity(false);
    companions.CloseAll();
    EXPECT_FALSE(select.isVisible());
}

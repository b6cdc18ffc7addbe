#include "clock/DamagedStartU.h"
#include "data/CityListU.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Buttons = std::vector<std::string>;

void Put(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

} // namespace

TEST(DamagedStart, OffersOnlyWhatReadsCleanlyAndQuitLast) {
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-damaged-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "user.tvk").string();
    const std::string world = (dir / "default.tvk").string();
    TCityList empty;
    SaveCityListFile(world, empty, TBackup::None);
    SaveCityListFile(file + ".bak", empty, TBackup::None);
    Put(file, "cut");

    TDamagedStart plan = PlanDamagedStart(file, "Stream read error", world);
    EXPECT_EQ(plan.Buttons, (Buttons{"Start from Backup", "Start from Default World", "Quit"}));
    EXPECT_EQ(plan.FileOf(plan.Sources[0]), file + ".bak");
    EXPECT_EQ(plan.FileOf(plan.Sources[1]), world);
    EXPECT_EQ(plan.FileOf(plan.Sources[2]), "");
    EXPECT_EQ(plan.Text.rfind("The city list " + file +
                                  " cannot be read whole (Stream read "
                                  "error).",
                              0),
              0u);

    // The damaged file is no default world, even when the world database is what broke.
    plan = PlanDamagedStart(file, "Stream read error", file);
    EXPECT_EQ(plan.Buttons, (Buttons{"Start from Backup", "Quit"}));

    Put(file + ".bak", "cut too");
    plan = PlanDamagedStart(file, "Stream read error", world);
    EXPECT_EQ(plan.Buttons, (Buttons{"Start from Default World", "Quit"}));
    EXPECT_NE(plan.Text.find("kept as " + file + ".bak"), std::string::npos);

    plan = PlanDamagedStart(file, "Stream read error", "");
    EXPECT_EQ(plan.Buttons, Buttons{"Quit"});
    EXPECT_EQ(plan.Sources, std::vector<TStartSource>{TStartSource::Quit});
    fs::remove_all(dir);
}

#include "clock/DamagedStartU.h"

#include "data/CityListU.h"

std::string TDamagedStart::FileOf(TStartSource source) const {
    switch (source) {
    case TStartSource::Backup:
        return BackupFile;
    case TStartSource::DefaultWorld:
        return DefaultWorld;
    case TStartSource::Quit:
        break;
    }
    return {};
}

TDamagedStart PlanDamagedStart(const std::string& fileName, const std::string& error,
                               const std::string& defaultWorld) {
    TDamagedStart plan;
    plan.BackupFile = BackupFileName(fileName);
    const bool backup = CityListReadsCleanly(plan.BackupFile);
    // The default world is offered only when it is not the damaged file itself.
    const bool world = !defaultWorld.empty() &&
                       ResolveSaveTarget(defaultWorld) != ResolveSaveTarget(fileName) &&
                       CityListReadsCleanly(defaultWorld);
    if (world)
        plan.DefaultWorld = defaultWorld;

    plan.Text = "The city list " + fileName + " cannot be read whole (" + error + ").\n\n";
    // Saving over the damaged file keeps a backup that reads cleanly as it is, and otherwise
    // keeps the damaged file as the backup: the texts say which.
    const std::string replaces = " replaces the damaged file when the city list is next saved";
    if (backup && world)
        plan.Text += "Start from its backup, " + plan.BackupFile +
                     ", or from the default world? Either one" + replaces + ".";
    else if (backup)
        plan.Text += "Start from its backup, " + plan.BackupFile + "? It" + replaces + ".";
    else if (world)
        plan.Text += "Its backup cannot be read either. Start from the default world? It" +
                     replaces + ", and the damaged file is kept as " + plan.BackupFile + ".";
    else
        plan.Text += "Neither its backup nor a default world can be read. Tavik ends without "
                     "changing any file.";
    if (backup || world)
        plan.Text += "\n\nQuit leaves every file as it is.";

    if (backup) {
        plan.Buttons.push_back("Start from Backup");
        plan.Sources.push_back(TStartSource::Backup);
    }
    if (world) {
        plan.Buttons.push_back("Start from Default World");
        plan.Sources.push_back(TStartSource::DefaultWorld);
    }
    plan.Buttons.push_back("Quit");
    plan.Sources.push_back(TStartSource::Quit);
    return plan;
}

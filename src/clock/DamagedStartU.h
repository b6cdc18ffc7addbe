#pragma once

#include <string>
#include <vector>

// What the start offers when its city list cannot be read whole: the backup beside it when that
// reads cleanly, the shipped default world when there is one, or quitting. Nothing is written
// here; the choice only says which file the clock reads instead.
enum class TStartSource { Backup, DefaultWorld, Quit };

struct TDamagedStart {
    std::string Text;
    // The buttons in order, each with what it starts from; the last one quits.
    std::vector<std::string> Buttons;
    std::vector<TStartSource> Sources;
    std::string BackupFile;
    std::string DefaultWorld;

    // The file to read for a choice; empty for Quit.
    std::string FileOf(TStartSource source) const;
};

// error is the reader's message ("Stream read error"); defaultWorld may be empty.
TDamagedStart PlanDamagedStart(const std::string& fileName, const std::string& error,
                               const std::string& defaultWorld);

#pragma once

#include "data/ZoneCheckU.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class TClockHost;

// Where the zones of the cities come from: the shipped "default.zones" (beside the executable
// or in the installation's data folder), then the user's "user.zones" in the program's folder.
TZoneMap LoadCityZones(const QString& programDir);

// Remembers in the user's "user.zones" that the place lies in the zone (the user filled it from
// that zone); false when the file cannot be written.
bool RememberPlaceZone(const QString& programDir, const TZoneKey& place, const std::string& zone);

// A note the clock shows once at start, without holding anything up: its text, a button to the
// check window and one to put it away.
class TZoneCheckNote : public QWidget {
    Q_OBJECT
public:
    explicit TZoneCheckNote(const QString& text, QWidget* parent = nullptr);

    QLabel* NoteLabel = nullptr;
    QPushButton* CheckButton = nullptr;
    QPushButton* DismissButton = nullptr;
};

// The places whose offset or rules disagree with the system's zones over the coming year, each
// with an update that fills the place as "From time zone..." does.
class TZoneCheckForm : public QWidget {
    Q_OBJECT
public:
    explicit TZoneCheckForm(TClockHost& host, QWidget* parent = nullptr);

    // Checks the data afresh and shows the outcome.
    void RunCheck();

    QLabel* SummaryLabel = nullptr;
    QTreeWidget* DifferList = nullptr;
    QTreeWidget* ApartList = nullptr;
    QPushButton* UpdateButton = nullptr;
    QPushButton* UpdateAllButton = nullptr;
    QPushButton* CloseButton = nullptr;

    const TZoneCheckResult& Result() const { return Result_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void UpdateButtonClick();
    void UpdateAllButtonClick();
    void DifferListSelectionChange();
    // After an update: the clock shows the new times, the list what still differs.
    void Updated();

    TClockHost& Host;
    TZoneCheckResult Result_;
    std::vector<std::size_t> Shown_; // DifferList row -> index into Result_.Places
};

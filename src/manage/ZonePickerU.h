#pragma once

#include "manage/ZonePickerRulesU.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Ui {
class ZonePickerForm;
}
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TClockHost;
class TDSTPanel;

// "From time zone": picks a zone of the system's database and tells what the country and state
// pages would take from it, before they take it.
class TZonePickerForm : public QDialog {
    Q_OBJECT
public:
    explicit TZonePickerForm(TClockHost& host, QWidget* parent = nullptr);
    ~TZonePickerForm() override;

    // Reads the database's zones afresh; those of the country with that code lead the list, its
    // principal zone first and selected. The search starts empty.
    void Prepare(const std::string& countryCode);
    // The selected zone's name; empty when none is selected.
    std::string SelectedZone() const;
    // What Ok gives: the selected zone's offset and rules, nothing when it cannot be used.
    std::optional<TZonePick> Pick() const { return Pick_; }

    QLineEdit* ZoneSearchEdit = nullptr;
    QListWidget* ZoneListBox = nullptr;
    QLabel* PreviewLabel = nullptr;
    QPushButton* OkButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // Handlers, named after their controls.
    void ZoneSearchEditChange();
    void ZoneListBoxClick();
    void ZoneListBoxDblClick();
    void OkButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FillList();
    void ShowPreview(const QString& text);

    std::unique_ptr<Ui::ZonePickerForm> Ui_;
    TClockHost& Host;
    std::vector<TZoneName> Zones;  // in the list's order before the search
    std::vector<std::size_t> Rows; // the zone of each list row
    std::optional<TZonePick> Pick_;
};

// Opens the picker over a page (window-modal). Its Ok writes the zone's offset into the offset
// edit and its rules into the daylight-saving panel, as the user would enter them, and then runs
// changed, which enables the page's Apply. Nothing is stored.
void PickZoneForPage(TClockHost& host, QWidget* page, const std::string& countryCode,
                     QLineEdit* offsetEdit, TDSTPanel& panel, std::function<void()> changed,
                     std::function<void(const std::string& zone)> zoneChosen = {});

#pragma once

#include "manage/ManagePageU.h"
#include "widgets/QtComboU.h"

#include <memory>
#include <set>

namespace Ui {
class ManageAirportPage;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidgetItem;
class QTableWidget;
class TAirport;

// Page 3: airports, with their codes and the cities they serve.
class TAirportPage : public TManagePageBase {
    Q_OBJECT
public:
    explicit TAirportPage(TManageForm& form);
    ~TAirportPage() override;

    void FillLists() override;
    void ShowRecord() override { ShowAirport(); }
    bool ApplyRecord() override;
    void* EditedRecord() const override { return EditedAirport; }
    std::int32_t EditedRecordId() const override;
    const void* FindRecord(std::int32_t id) const override;
    void BeginNew() override { NewAirportButtonClick(); }
    void BeginDelete() override { BeginDeleteAirport(); }
    void ClearPage() override { ClearAirportPage(); }
    void ForgetRecord() override { EditedAirport = nullptr; }

    void ShowAirport();
    void ClearAirportPage();
    bool ApplyAirport();
    // keepChecks: the list shows the same country's cities again, with the user's checks.
    void FillCityCities(std::int32_t countryId, bool keepChecks = false);
    void UpdateClosestCities(QListWidgetItem* changed = nullptr);
    void NewAirportButtonClick();
    void BeginDeleteAirport();

    // Handlers, named after their controls.
    void AirportEditChange();
    bool AirportEditKeyPress(int key);
    void AirportListBoxClick();
    void AirportNameEditClick();
    void AirportNameEditKeyPress();
    void AirportCodesStringGridClick();
    bool AirportCodesStringGridKeyPress(int key);
    // Tab at the last row or Shift+Tab at the first moves the focus out of the grid; true then.
    bool LeaveCodesGrid(int key);
    void AirportCountryComboBoxClick();
    void AirportStateCheckBoxClick();
    void AirportStateComboBoxClick();
    void CitiesCheckListBoxClickCheck(QListWidgetItem* item);
    void AirportApplyButtonClick();

    TAirport* EditedAirport = nullptr;

    QGroupBox* AirportsGroupBox = nullptr;
    QLineEdit* AirportEdit = nullptr;
    QListWidget* AirportListBox = nullptr;
    QGroupBox* AirportGroupBox = nullptr;
    QLineEdit* AirportNameEdit = nullptr;
    QTableWidget* AirportCodesStringGrid = nullptr;
    QComboBox* AirportCountryComboBox = nullptr;
    QCheckBox* AirportStateCheckBox = nullptr;
    QLabel* AirportStateLabel = nullptr;
    QComboBox* AirportStateComboBox = nullptr;
    QLabel* ClosestCitiesLabel = nullptr;
    QListWidget* CitiesCheckListBox = nullptr;
    QPushButton* AirportApplyButton = nullptr;
    QPushButton* AirportCloseButton = nullptr;
    TQtComboTarget CountryTarget{nullptr, true};
    TQtComboTarget StateTarget{nullptr, true};
    TQtListTarget CitiesTarget{nullptr, true, true};

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    std::int32_t SelectedCountryId() const;
    void CommitCodeEditor();
    std::set<std::int32_t> CheckedCities() const;
    std::unique_ptr<Ui::ManageAirportPage> Ui_;
};

#pragma once

#include "manage/ManagePageU.h"
#include "widgets/QtComboU.h"

#include <memory>

namespace Ui {
class ManageCityPage;
}
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidgetItem;
class TCity;

// Page 2: cities, in a state or directly in a country, with their closest airports.
class TCityPage : public TManagePageBase {
    Q_OBJECT
public:
    explicit TCityPage(TManageForm& form);
    ~TCityPage() override;

    void FillLists() override;
    void ShowRecord() override { ShowCity(); }
    bool ApplyRecord() override;
    void* EditedRecord() const override { return EditedCity; }
    std::int32_t EditedRecordId() const override;
    std::string DeleteRefusal() const override;
    const void* FindRecord(std::int32_t id) const override;
    void BeginNew() override { NewCityButtonClick(); }
    void BeginDelete() override { BeginDeleteCity(); }
    void ShowEditCaption() override;
    void ClearPage() override { ClearCityPage(); }
    void ForgetRecord() override { EditedCity = nullptr; }

    void ShowCity();
    void ClearCityPage();
    bool ApplyCity();
    void ShowMyCityLabel();
    void FillCityAirports(std::int32_t countryId);
    void UpdateClosestAirports();
    // Shows the names of the linked airports, all of them.
    void ShowClosestAirports(const QString& text);
    void NewCityButtonClick();
    void BeginDeleteCity();

    // Handlers, named after their controls.
    void CityEditChange();
    bool CityEditKeyPress(int key);
    void CityListBoxClick();
    void CityLongNameEditChange();
    void StatesComboBoxClick();
    void CityCountryComboBoxClick();
    void StatesCheckBoxClick();
    void AirportsCheckListBoxClickCheck(QListWidgetItem* item);
    void CityApplyButtonClick();

    TCity* EditedCity = nullptr;

    QGroupBox* CitiesGroupBox = nullptr;
    QLineEdit* CityEdit = nullptr;
    QListWidget* CityListBox = nullptr;
    QLabel* MyCityLabel = nullptr;
    QGroupBox* CityGroupBox = nullptr;
    QLineEdit* CityLongNameEdit = nullptr;
    QLineEdit* CityShortNameEdit = nullptr;
    QCheckBox* CapitalCheckBox = nullptr;
    QComboBox* CityCountryComboBox = nullptr;
    QCheckBox* StatesCheckBox = nullptr;
    QLabel* StatesLabel = nullptr;
    QComboBox* StatesComboBox = nullptr;
    QCheckBox* DefaultCityCheckBox = nullptr;
    QLabel* SelectedMyCityLabel = nullptr;
    QLabel* ClosestAirportsLabel = nullptr;
    QListWidget* AirportsCheckListBox = nullptr;
    QPushButton* CityApplyButton = nullptr;
    QPushButton* CityCloseButton = nullptr;
    TQtComboTarget CountryTarget{nullptr, true};
    TQtComboTarget StateTarget{nullptr, true};
    TQtListTarget AirportsTarget{nullptr, true, true};

private:
    static constexpr int LabelHeight = 62;
    static constexpr int MaxLabelHeight = 150;
    // Refills the country combo with or without offsets; the chosen country stays chosen.
    void FillCountries(bool showOffsets);
    // Checks or unchecks the state box; its handler runs on every change.
    void SetStatesChecked(bool checked);
    std::unique_ptr<Ui::ManageCityPage> Ui_;
};

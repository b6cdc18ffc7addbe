#pragma once

#include "manage/DSTPanelU.h"
#include "manage/ManagePageU.h"
#include "widgets/QtComboU.h"

#include <memory>

namespace Ui {
class ManageCountryPage;
}
class QCheckBox;
class QComboBox;
class QLabel;
class TCountry;
class TUpDown;

// Page 0: the countries, with their offset, capital and daylight-saving rules.
class TCountryPage : public TManagePageBase {
    Q_OBJECT
public:
    explicit TCountryPage(TManageForm& form);
    ~TCountryPage() override;

    void FillLists() override;
    void ShowRecord() override { ShowCountry(true); }
    bool ApplyRecord() override { return ApplyCountry(); }
    void* EditedRecord() const override { return EditedCountry; }
    std::int32_t EditedRecordId() const override;
    std::string DeleteRefusal() const override;
    const void* FindRecord(std::int32_t id) const override;
    void BeginNew() override { NewCountryButtonClick(); }
    void BeginDelete() override { BeginDeleteCountry(); }
    QWidget* FirstNewField() const override;
    void ShowEditCaption() override;
    void ClearPage() override { ClearCountryPage(); }
    void ForgetRecord() override { EditedCountry = nullptr; }
    void DisablePage() override;

    void ShowCountry(bool full);
    void ClearCountryPage();
    bool ApplyCountry();
    void NewCountryButtonClick();
    void BeginDeleteCountry();
    // The capital row: hidden for a new country, which has no cities yet.
    void ShowCapitalRow(bool shown);

    // Handlers, named after their controls.
    void CountryEditChange();
    bool CountryEditKeyPress(int key);
    void CountryListBoxClick();
    void CountryNameEditClick();
    void CountryUTCOffSetUpDownClick();
    void CountryFromZoneButtonClick();
    void CountryApplyButtonClick();
    void CountryDLCheckBoxClick();

    TCountry* EditedCountry = nullptr;
    std::string PickedZone; // from "From time zone...", until Apply

    QGroupBox* CountriesGroupBox = nullptr;
    QLineEdit* CountryEdit = nullptr;
    QListWidget* CountryListBox = nullptr;
    QGroupBox* CountryGroupBox = nullptr;
    QLineEdit* CountryNameEdit = nullptr;
    QLineEdit* CountryCodeEdit = nullptr;
    QLineEdit* CountryUTCOffSetEdit = nullptr;
    TUpDown* CountryUTCOffSetUpDown = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* CountryCapitalComboBox = nullptr;
    QCheckBox* CountryDLCheckBox = nullptr;
    QPushButton* CountryApplyButton = nullptr;
    QPushButton* CountryCloseButton = nullptr;
    std::unique_ptr<TDSTPanel> Panel;
    TQtComboTarget CapitalTarget{nullptr, true};

private:
    std::unique_ptr<Ui::ManageCountryPage> Ui_;
};

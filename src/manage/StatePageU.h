#pragma once

#include "manage/DSTPanelU.h"
#include "manage/ManagePageU.h"
#include "widgets/QtComboU.h"

#include <memory>

namespace Ui {
class ManageStatePage;
}
class QCheckBox;
class QComboBox;
class TState;
class TUpDown;

// Page 1: states and provinces, each in a country with its own offset and rules.
class TStatePage : public TManagePageBase {
    Q_OBJECT
public:
    explicit TStatePage(TManageForm& form);
    ~TStatePage() override;

    void FillLists() override;
    void ShowRecord() override { ShowState(true); }
    bool ApplyRecord() override { return ApplyState(); }
    void* EditedRecord() const override { return EditedState; }
    std::int32_t EditedRecordId() const override;
    std::string DeleteRefusal() const override;
    const void* FindRecord(std::int32_t id) const override;
    void BeginNew() override { NewStateButtonClick(); }
    void BeginDelete() override { BeginDeleteState(); }
    QWidget* FirstNewField() const override;
    void ClearPage() override { ClearStatePage(); }
    void ForgetRecord() override { EditedState = nullptr; }
    void DisablePage() override;

    void ShowState(bool full);
    void ClearStatePage();
    bool ApplyState();
    void NewStateButtonClick();
    void BeginDeleteState();

    // Handlers, named after their controls.
    void StateEditChange();
    bool StateEditKeyPress(int key);
    void StateListBoxClick();
    void StateNameEditClick();
    void StateCodeEditClick();
    void StateUTCOffSetEditClick();
    void StateUTCUpDownClick();
    void StateFromZoneButtonClick();
    void StateCountryComboBoxClick();
    void StateApplyButtonClick();
    void StateDLCheckBoxClick();

    TState* EditedState = nullptr;
    std::string PickedZone; // from "From time zone...", until Apply

    QGroupBox* StatesGroupBox = nullptr;
    QLineEdit* StateEdit = nullptr;
    QListWidget* StateListBox = nullptr;
    QGroupBox* StateGroupBox = nullptr;
    QLineEdit* StateNameEdit = nullptr;
    QComboBox* StateCountryComboBox = nullptr;
    QLineEdit* StateCodeEdit = nullptr;
    QLineEdit* StateUTCOffSetEdit = nullptr;
    TUpDown* StateUTCUpDown = nullptr;
    QCheckBox* StateDLCheckBox = nullptr;
    QPushButton* StateApplyButton = nullptr;
    QPushButton* StateCloseButton = nullptr;
    std::unique_ptr<TDSTPanel> Panel;
    TQtComboTarget CountryTarget{nullptr, true};

private:
    std::unique_ptr<Ui::ManageStatePage> Ui_;
};

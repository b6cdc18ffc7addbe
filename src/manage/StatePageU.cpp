#include "manage/StatePageU.h"

#include "check/ZoneCheckFormU.h"
#include "manage/ManageRecordsU.h"
#include "manage/ManageU.h"
#include "manage/ZonePickerU.h"
#include "ui_ManageStatePage.h"
#include "widgets/QtTextU.h"
#include "widgets/UpDownU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

TStatePage::TStatePage(TManageForm& form)
    : TManagePageBase(form, TManagePage::States, TRecordKind::State),
      Ui_(std::make_unique<Ui::ManageStatePage>()) {
    QWidget* sheet = form.findChild<QWidget*>(QStringLiteral("StatesTabSheet"));
    Ui_->setupUi(sheet);
    StatesGroupBox = Ui_->StatesGroupBox;
    StateEdit = Ui_->StateEdit;
    StateListBox = Ui_->StateListBox;
    StateGroupBox = Ui_->StateGroupBox;
    StateNameEdit = Ui_->StateNameEdit;
    StateCountryComboBox = Ui_->StateCountryComboBox;
    StateCodeEdit = Ui_->StateCodeEdit;
    StateUTCOffSetEdit = Ui_->StateUTCOffSetEdit;
    StateUTCUpDown = Ui_->StateUTCUpDown;
    StateDLCheckBox = Ui_->StateDLCheckBox;
    StateApplyButton = Ui_->StateApplyButton;
    StateCloseButton = Ui_->StateCloseButton;
    BindFrame(sheet, StatesGroupBox, StateEdit, StateListBox, StateGroupBox, StateApplyButton,
              StateCloseButton);
    CountryTarget = TQtComboTarget(StateCountryComboBox, true);
    Panel = std::make_unique<TDSTPanel>(Form.Host, Ui_->StateDLPanel, StateDLCheckBox,
                                        QStringLiteral("State"),
                                        std::array{"UpDown1", "UpDown2", "UpDown3", "UpDown4"});
    TManageForm::LimitOffset(StateUTCUpDown, StateUTCOffSetEdit);

    connect(StateEdit, &QLineEdit::textChanged, this, &TStatePage::StateEditChange);
    SearchKeyHandler = [this](int key) { return StateEditKeyPress(key); };
    connect(StateListBox, &QListWidget::itemSelectionChanged, this, &TStatePage::StateListBoxClick);
    OnFieldClick(StateNameEdit, [this] { StateNameEditClick(); });
    OnFieldClick(StateCodeEdit, [this] { StateCodeEditClick(); });
    OnFieldClick(StateUTCOffSetEdit, [this] { StateUTCOffSetEditClick(); });
    connect(StateUTCUpDown, &TUpDown::Clicked, this, &TStatePage::StateUTCUpDownClick);
    connect(StateCountryComboBox, &QComboBox::activated, this,
            &TStatePage::StateCountryComboBoxClick);
    connect(Ui_->StateFromZoneButton, &QPushButton::clicked, this,
            &TStatePage::StateFromZoneButtonClick);
    connect(StateApplyButton, &QPushButton::clicked, this, &TStatePage::StateApplyButtonClick);
    connect(StateDLCheckBox, &QCheckBox::clicked, this, &TStatePage::StateDLCheckBoxClick);
    // Typing is an edit as much as a click into the field.
    connect(StateNameEdit, &QLineEdit::textEdited, this, &TStatePage::StateNameEditClick);
    connect(StateCodeEdit, &QLineEdit::textEdited, this, &TStatePage::StateCodeEditClick);
    connect(StateUTCOffSetEdit, &QLineEdit::textEdited, this, &TStatePage::StateUTCOffSetEditClick);
    connect(Panel.get(), &TDSTPanel::Edited, this, &TStatePage::EnableApply);
    Panel->ChainTabOrder({StateEdit, StateListBox, StateNameEdit, StateCountryComboBox,
                          StateCodeEdit, StateUTCOffSetEdit, Ui_->StateFromZoneButton,
                          StateDLCheckBox},
                         {StateApplyButton, StateCloseButton});
}

TStatePage::~TStatePage() = default;

std::string TStatePage::DeleteRefusal() const {
    return StateDeleteRefusal(*Form.Data, *EditedState);
}

std::int32_t TStatePage::EditedRecordId() const {
    return EditedState->Id();
}

const void* TStatePage::FindRecord(std::int32_t id) const {
    return Form.Data->States.FindById(id);
}

QWidget* TStatePage::FirstNewField() const {
    return StateNameEdit; // a new state starts with its name
}

void TStatePage::FillLists() {
    Form.Data->States.FillListBox(ListTarget);
    // The record on the page keeps its country when the lists are refilled after an Apply.
    const void* country = CountryTarget.SelectedItem();
    Form.Data->Countries.FillComboBox(CountryTarget, false, Form.Host.LocaleFacts());
    CountryTarget.SelectItem(country);
}

void TStatePage::DisablePage() {
    TManageForm::EnableGroup(StateGroupBox, false);
    Panel->DLGroupBox->setEnabled(false);
    Panel->DLTimeGroupBox->setEnabled(false);
}

void TStatePage::ShowState(bool full) {
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (full) {
        EditedState = static_cast<TState*>(ListTarget.Item(row));
        const TState& s = *EditedState;
        StateNameEdit->setText(ToQ(s.Name));
        StateCodeEdit->setText(ToQ(s.Code));
        StateUTCOffSetEdit->setText(
            QString::fromStdString(FormatGeneral(s.UTCOffset, Form.Host.LocaleFacts())));
        // A country that is gone leaves the combo as it was.
        if (const TCountry* c = Form.Data->Countries.FindById(s.CountryId))
            CountryTarget.SelectItem(c);
    }
    // The reload of the check box takes the rules of the state the page shows.
    if (EditedState == nullptr)
        return;
    TDSTPanelState p = Panel->Read();
    LoadDSTPanel(p, EditedState->DSTStart, EditedState->DSTEnd, full, Panel->Context());
    Panel->Show(p);
    TManageForm::EnableGroup(StateGroupBox, true);
    StateApplyButton->setEnabled(false);
    if (Form.DeleteMode) {
        TManageForm::EnableGroup(StateGroupBox, false);
        StateApplyButton->setEnabled(true);
    }
}

void TStatePage::ClearStatePage() {
    {
        const QSignalBlocker quiet(StateEdit);
        StateEdit->clear();
    }
    ListTarget.SetItemIndex(-1);
    StateNameEdit->clear();
    CountryTarget.SetItemIndex(-1);
    StateCodeEdit->clear();
    StateUTCOffSetEdit->setText(QStringLiteral("0"));
    TDSTPanelState p = Panel->Read();
    p.Checked = false;
    p.PanelEnabled = false; // what unchecking does on this page
    p.TimeRowEnabled = false;
    ClearRuleFields(p);
    ClearFixedFields(p);
    ClearTimeFields(p);
    StartNewRecordTimes(p);
    Panel->Show(p);
}

bool TStatePage::ApplyState() {
    if (Form.DeleteMode)
        return DeleteRecord();
    TCityList& data = *Form.Data;
    if (!Form.NewMode && EditedState == nullptr)
        return false; // nothing loaded to apply to
    TStateInput in;
    in.Name = StateNameEdit->text().toStdString();
    in.Code = StateCodeEdit->text().toStdString();
    in.Offset = StateUTCOffSetEdit->text().toStdString();
    if (const auto* c = static_cast<const TCountry*>(CountryTarget.SelectedItem()))
        in.CountryId = c->UniqueId;
    in.Panel = Panel->Read();
    const TApplyOutcome o =
        ::ApplyState(Form.Host.Store(), EditedState, Form.NewMode, in, Panel->Context());
    if (!o.Applied) {
        QWidget* focus = o.Focus == TManageField::Name   ? static_cast<QWidget*>(StateNameEdit)
                         : o.Focus == TManageField::Code ? static_cast<QWidget*>(StateCodeEdit)
                         : o.Focus == TManageField::Country
                             ? static_cast<QWidget*>(StateCountryComboBox)
                             : Panel->FaultField(in.Panel);
        Refuse(o.Message, focus);
        return false;
    }
    if (o.OffsetReset)
        StateUTCOffSetEdit->setText(QString::fromStdString(o.OffsetText));
    StateNameEdit->setText(ToQ(EditedState->Name)); // as stored: without blanks around it
    // The zone the rules were filled from goes with the place, for the time-zone check.
    if (!PickedZone.empty())
        RememberPlaceZone(Form.Host.Platform().ProgramDir,
                          PlaceZoneKey(data, TPlace{EditedState, nullptr}), PickedZone);
    PickedZone.clear();
    if (Form.NewMode) {
        TManageForm::EnableGroup(StatesGroupBox, true);
        ClearStatePage();
    }
    StateApplyButton->setEnabled(false);
    ShowAppliedInList(TopRow());
    return true;
}

void TStatePage::NewStateButtonClick() {
    EnterNewMode(QStringLiteral("New"));
    TManageForm::EnableGroup(StatesGroupBox, false);
}

void TStatePage::BeginDeleteState() {
    EnterDeleteMode();
    Form.ShowOnHost();
    TManageForm::EnableGroup(StateGroupBox, false);
    StateEdit->setFocus();
}

void TStatePage::StateEditChange() {
    SearchEditChange();
}

bool TStatePage::StateEditKeyPress(int key) {
    return SearchEditKey(key);
}

void TStatePage::StateListBoxClick() {
    ListClick();
}

void TStatePage::StateNameEditClick() {
    EnableApply();
}

void TStatePage::StateCodeEditClick() {
    EnableApply();
}

void TStatePage::StateUTCOffSetEditClick() {
    EnableApply();
}

void TStatePage::StateUTCUpDownClick() {
    EnableApply();
}

void TStatePage::StateCountryComboBoxClick() {
    EnableApply();
    if (const auto* c = static_cast<const TCountry*>(CountryTarget.SelectedItem()))
        StateUTCOffSetEdit->setText(
            QString::fromStdString(FormatGeneral(c->UTCOffset, Form.Host.LocaleFacts())));
    StateDLCheckBoxClick();
}

void TStatePage::StateFromZoneButtonClick() {
    // The zones of the chosen country lead the list.
    const auto* country = static_cast<const TCountry*>(CountryTarget.SelectedItem());
    PickZoneForPage(
        Form.Host, StateGroupBox, country != nullptr ? country->Code : std::string(),
        StateUTCOffSetEdit, *Panel, [this] { EnableApply(); },
        [this](const std::string& zone) { PickedZone = zone; });
}

void TStatePage::StateApplyButtonClick() {
    if (Form.Asking())
        return; // pressed through the accessibility bus under an open question
    ApplyState();
}

void TStatePage::StateDLCheckBoxClick() {
    TDSTPanelState p = Panel->Read();
    p.PanelEnabled = p.Checked;
    if (!p.Checked) {
        ClearRuleFields(p);
        ClearFixedFields(p);
        ClearTimeFields(p);
        p.TimeRowEnabled = false;
        Panel->Show(p);
        return;
    }
    Panel->Show(p);
    const int country = StateCountryComboBox->currentIndex();
    const QString name = StateNameEdit->text(), code = StateCodeEdit->text(),
                  offset = StateUTCOffSetEdit->text();
    ShowState(false);
    CountryTarget.SetItemIndex(country);
    StateNameEdit->setText(name);
    StateCodeEdit->setText(code);
    StateUTCOffSetEdit->setText(offset);
    p = Panel->Read();
    p.TimeRowEnabled = true;
    if (SelectedRow() < 0)
        StartNewRecordTimes(p); // nothing was reloaded: a new record
    Panel->Show(p);
    EnableApply();
}

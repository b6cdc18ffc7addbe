#include "manage/CountryPageU.h"

#include "check/ZoneCheckFormU.h"
#include "manage/ManageRecordsU.h"
#include "manage/ManageU.h"
#include "manage/ZonePickerU.h"
#include "ui_ManageCountryPage.h"
#include "widgets/QtTextU.h"
#include "widgets/UpDownU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

TCountryPage::TCountryPage(TManageForm& form)
    : TManagePageBase(form, TManagePage::Countries, TRecordKind::Country),
      Ui_(std::make_unique<Ui::ManageCountryPage>()) {
    QWidget* sheet = form.findChild<QWidget*>(QStringLiteral("CountriesTabSheet"));
    Ui_->setupUi(sheet);
    CountriesGroupBox = Ui_->CountriesGroupBox;
    CountryEdit = Ui_->CountryEdit;
    CountryListBox = Ui_->CountryListBox;
    CountryGroupBox = Ui_->CountryGroupBox;
    CountryNameEdit = Ui_->CountryNameEdit;
    CountryCodeEdit = Ui_->CountryCodeEdit;
    CountryUTCOffSetEdit = Ui_->CountryUTCOffSetEdit;
    CountryUTCOffSetUpDown = Ui_->CountryUTCOffSetUpDown;
    Label9 = Ui_->Label9;
    CountryCapitalComboBox = Ui_->CountryCapitalComboBox;
    CountryDLCheckBox = Ui_->CountryDLCheckBox;
    CountryApplyButton = Ui_->CountryApplyButton;
    CountryCloseButton = Ui_->CountryCloseButton;
    BindFrame(sheet, CountriesGroupBox, CountryEdit, CountryListBox, CountryGroupBox,
              CountryApplyButton, CountryCloseButton);
    CapitalTarget = TQtComboTarget(CountryCapitalComboBox, true);
    Panel = std::make_unique<TDSTPanel>(Form.Host, Ui_->CountryDLPanel, CountryDLCheckBox,
                                        QStringLiteral("Country"),
                                        std::array{"UpDown6", "UpDown5", "UpDown7", "UpDown8"});
    TManageForm::LimitOffset(CountryUTCOffSetUpDown, CountryUTCOffSetEdit);

    connect(CountryEdit, &QLineEdit::textChanged, this, &TCountryPage::CountryEditChange);
    SearchKeyHandler = [this](int key) { return CountryEditKeyPress(key); };
    connect(CountryListBox, &QListWidget::itemSelectionChanged, this,
            &TCountryPage::CountryListBoxClick);
    for (QWidget* field : {CountryNameEdit, CountryCodeEdit, CountryUTCOffSetEdit})
        OnFieldClick(field, [this] { CountryNameEditClick(); });
    connect(CountryCapitalComboBox, &QComboBox::activated, this,
            &TCountryPage::CountryNameEditClick);
    connect(CountryUTCOffSetUpDown, &TUpDown::Clicked, this,
            &TCountryPage::CountryUTCOffSetUpDownClick);
    connect(Ui_->CountryFromZoneButton, &QPushButton::clicked, this,
            &TCountryPage::CountryFromZoneButtonClick);
    connect(CountryApplyButton, &QPushButton::clicked, this,
            &TCountryPage::CountryApplyButtonClick);
    connect(CountryDLCheckBox, &QCheckBox::clicked, this, &TCountryPage::CountryDLCheckBoxClick);
    // Typing is an edit as much as a click into the field.
    for (QLineEdit* typed : {CountryNameEdit, CountryCodeEdit, CountryUTCOffSetEdit})
        connect(typed, &QLineEdit::textEdited, this, &TCountryPage::CountryNameEditClick);
    connect(Panel.get(), &TDSTPanel::Edited, this, &TCountryPage::EnableApply);
    Panel->ChainTabOrder({CountryEdit, CountryListBox, CountryNameEdit, CountryCodeEdit,
                          CountryUTCOffSetEdit, Ui_->CountryFromZoneButton, CountryCapitalComboBox,
                          CountryDLCheckBox},
                         {CountryApplyButton, CountryCloseButton});
}

TCountryPage::~TCountryPage() = default;

std::string TCountryPage::DeleteRefusal() const {
    return CountryDeleteRefusal(*Form.Data, *EditedCountry);
}

std::int32_t TCountryPage::EditedRecordId() const {
    return EditedCountry->Id();
}

const void* TCountryPage::FindRecord(std::int32_t id) const {
    return Form.Data->Countries.FindById(id);
}

QWidget* TCountryPage::FirstNewField() const {
    return CountryNameEdit; // a new country starts with its name
}

void TCountryPage::ShowEditCaption() {
    TManagePageBase::ShowEditCaption();
    ShowCapitalRow(true);
}

void TCountryPage::FillLists() {
    Form.Data->Countries.FillListBox(ListTarget);
}

void TCountryPage::DisablePage() {
    TManageForm::EnableGroup(CountryGroupBox, false);
    Panel->DLGroupBox->setEnabled(false);
    Panel->DLTimeGroupBox->setEnabled(false);
}

void TCountryPage::ShowCapitalRow(bool shown) {
    Label9->setVisible(shown);
    CountryCapitalComboBox->setVisible(shown);
}

void TCountryPage::ShowCountry(bool full) {
    const int row = SelectedRow();
    if (row < 0)
        return;
    if (full) {
        {
            const QSignalBlocker quiet(CountryEdit);
            CountryEdit->setText(CountryListBox->item(row)->text());
        }
        EditedCountry = static_cast<TCountry*>(ListTarget.Item(row));
        const TCountry& c = *EditedCountry;
        CountryNameEdit->setText(ToQ(c.Name));
        CountryCodeEdit->setText(ToQ(c.Code));
        CountryUTCOffSetEdit->setText(
            QString::fromStdString(FormatGeneral(c.UTCOffset, Form.Host.LocaleFacts())));
        CapitalTarget.Clear();
        Form.Data->Cities.AddToCityCombo(CapitalTarget, &c, nullptr);
        TCities::SelectCityInCombo(CapitalTarget, c.CapitalCity);
    }
    // The reload of the check box takes the rules of the country the page shows.
    if (EditedCountry == nullptr)
        return;
    TDSTPanelState p = Panel->Read();
    LoadDSTPanel(p, EditedCountry->DSTStart, EditedCountry->DSTEnd, full, Panel->Context());
    Panel->Show(p);
    TManageForm::EnableGroup(CountryGroupBox, true);
    if (Form.DeleteMode) {
        TManageForm::EnableGroup(CountryGroupBox, false);
        CountryApplyButton->setEnabled(true);
    }
}

void TCountryPage::ClearCountryPage() {
    {
        const QSignalBlocker quiet(CountryEdit);
        CountryEdit->clear();
    }
    ListTarget.SetItemIndex(-1);
    CountryNameEdit->clear();
    CountryCodeEdit->clear();
    CapitalTarget.Clear();
    Form.Data->Cities.AddToCityCombo(CapitalTarget, nullptr, nullptr);
    CapitalTarget.SetItemIndex(0);
    CountryUTCOffSetEdit->setText(QStringLiteral("0"));
    TDSTPanelState p = Panel->Read();
    p.Checked = false;
    ClearRuleFields(p);
    ClearFixedFields(p);
    ClearTimeFields(p);
    StartNewRecordTimes(p);
    Panel->Show(p);
}

bool TCountryPage::ApplyCountry() {
    if (Form.DeleteMode)
        return DeleteRecord();
    TCityList& data = *Form.Data;
    if (!Form.NewMode && EditedCountry == nullptr)
        return false; // nothing loaded to apply to
    TCountryInput in;
    in.Name = CountryNameEdit->text().toStdString();
    in.Code = CountryCodeEdit->text().toStdString();
    in.Offset = CountryUTCOffSetEdit->text().toStdString();
    if (const auto* city = static_cast<const TCity*>(CapitalTarget.SelectedItem()))
        in.CapitalCity = city->UniqueID;
    in.Panel = Panel->Read();
    const TApplyOutcome o =
        ::ApplyCountry(Form.Host.Store(), EditedCountry, Form.NewMode, in, Panel->Context());
    if (!o.Applied) {
        QWidget* focus = o.Focus == TManageField::Code   ? static_cast<QWidget*>(CountryCodeEdit)
                         : o.Focus == TManageField::Name ? static_cast<QWidget*>(CountryNameEdit)
                                                         : Panel->FaultField(in.Panel);
        Refuse(o.Message, focus);
        return false;
    }
    if (o.OffsetReset)
        CountryUTCOffSetEdit->setText(QString::fromStdString(o.OffsetText));
    CountryNameEdit->setText(ToQ(EditedCountry->Name)); // as stored: without blanks around it
    // The zone the rules were filled from goes with the place, for the time-zone check.
    if (!PickedZone.empty())
        RememberPlaceZone(Form.Host.Platform().ProgramDir,
                          PlaceZoneKey(data, TPlace{nullptr, EditedCountry}), PickedZone);
    PickedZone.clear();
    if (Form.NewMode)
        TManageForm::EnableGroup(CountriesGroupBox, true);
    CountryApplyButton->setEnabled(false);
    if (Form.NewMode)
        ClearCountryPage();
    ShowAppliedInList(TopRow());
    return true;
}

void TCountryPage::NewCountryButtonClick() {
    EnterNewMode(QStringLiteral("New"));
    ShowCapitalRow(false);
    TManageForm::EnableGroup(CountriesGroupBox, false);
}

void TCountryPage::BeginDeleteCountry() {
    EnterDeleteMode();
    ShowCapitalRow(true);
    Form.ShowOnHost();
    TManageForm::EnableGroup(CountryGroupBox, false);
    CountryEdit->setFocus();
}

void TCountryPage::CountryEditChange() {
    SearchEditChange();
}

bool TCountryPage::CountryEditKeyPress(int key) {
    return SearchEditKey(key);
}

void TCountryPage::CountryListBoxClick() {
    ListClick();
}

void TCountryPage::CountryNameEditClick() {
    EnableApply();
}

void TCountryPage::CountryUTCOffSetUpDownClick() {
    EnableApply();
}

void TCountryPage::CountryFromZoneButtonClick() {
    PickZoneForPage(
        Form.Host, CountryGroupBox, CountryCodeEdit->text().toStdString(), CountryUTCOffSetEdit,
        *Panel, [this] { EnableApply(); }, [this](const std::string& zone) { PickedZone = zone; });
}

void TCountryPage::CountryApplyButtonClick() {
    if (Form.Asking())
        return; // pressed through the accessibility bus under an open question
    ApplyCountry();
}

void TCountryPage::CountryDLCheckBoxClick() {
    TDSTPanelState p = Panel->Read();
    if (!p.Checked) {
        ClearRuleFields(p);
        ClearFixedFields(p);
        ClearTimeFields(p);
        Panel->Show(p);
        return;
    }
    const QString name = CountryNameEdit->text(), code = CountryCodeEdit->text(),
                  offset = CountryUTCOffSetEdit->text();
    const int capital = CountryCapitalComboBox->currentIndex();
    ShowCountry(false);
    CountryNameEdit->setText(name);
    CountryCodeEdit->setText(code);
    CountryUTCOffSetEdit->setText(offset);
    CapitalTarget.SetItemIndex(capital);
    p = Panel->Read();
    p.PanelEnabled = true;
    p.TimeRowEnabled = true;
    if (SelectedRow() < 0)
        StartNewRecordTimes(p); // nothing was reloaded: a new record
    Panel->Show(p);
}

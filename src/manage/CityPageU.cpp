#include "manage/CityPageU.h"

#include "manage/ManageRecordsU.h"
#include "manage/ManageU.h"
#include "ui_ManageCityPage.h"
#include "widgets/QtTextU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

TCityPage::TCityPage(TManageForm& form)
    : TManagePageBase(form, TManagePage::Cities, TRecordKind::City),
      Ui_(std::make_unique<Ui::ManageCityPage>()) {
    QWidget* sheet = form.findChild<QWidget*>(QStringLiteral("CitiesTabSheet"));
    Ui_->setupUi(sheet);
    CitiesGroupBox = Ui_->CitiesGroupBox;
    CityEdit = Ui_->CityEdit;
    CityListBox = Ui_->CityListBox;
    MyCityLabel = Ui_->MyCityLabel;
    CityGroupBox = Ui_->CityGroupBox;
    CityLongNameEdit = Ui_->CityLongNameEdit;
    CityShortNameEdit = Ui_->CityShortNameEdit;
    CapitalCheckBox = Ui_->CapitalCheckBox;
    CityCountryComboBox = Ui_->CityCountryComboBox;
    StatesCheckBox = Ui_->StatesCheckBox;
    StatesLabel = Ui_->StatesLabel;
    StatesComboBox = Ui_->StatesComboBox;
    DefaultCityCheckBox = Ui_->DefaultCityCheckBox;
    SelectedMyCityLabel = Ui_->SelectedMyCityLabel;
    ClosestAirportsLabel = Ui_->ClosestAirportsLabel;
    AirportsCheckListBox = Ui_->AirportsCheckListBox;
    CityApplyButton = Ui_->CityApplyButton;
    CityCloseButton = Ui_->CityCloseButton;
    BindFrame(sheet, CitiesGroupBox, CityEdit, CityListBox, CityGroupBox, CityApplyButton,
              CityCloseButton);
    CountryTarget = TQtComboTarget(CityCountryComboBox, true);
    StateTarget = TQtComboTarget(StatesComboBox, true);
    AirportsTarget = TQtListTarget(AirportsCheckListBox, true, true);
    TwoColumns(AirportsCheckListBox);
    SelectedMyCityLabel->hide();

    connect(CityEdit, &QLineEdit::textChanged, this, &TCityPage::CityEditChange);
    SearchKeyHandler = [this](int key) { return CityEditKeyPress(key); };
    connect(CityListBox, &QListWidget::itemSelectionChanged, this, &TCityPage::CityListBoxClick);
    for (QWidget* field : {CityLongNameEdit, CityShortNameEdit})
        OnFieldClick(field, [this] { CityLongNameEditChange(); });
    for (QCheckBox* box : {DefaultCityCheckBox, CapitalCheckBox})
        connect(box, &QCheckBox::clicked, this, &TCityPage::CityLongNameEditChange);
    connect(StatesComboBox, &QComboBox::activated, this, &TCityPage::StatesComboBoxClick);
    connect(CityCountryComboBox, &QComboBox::activated, this, &TCityPage::CityCountryComboBoxClick);
    connect(StatesCheckBox, &QCheckBox::toggled, this, &TCityPage::StatesCheckBoxClick);
    connect(AirportsCheckListBox, &QListWidget::itemChanged, this,
            &TCityPage::AirportsCheckListBoxClickCheck);
    connect(CityApplyButton, &QPushButton::clicked, this, &TCityPage::CityApplyButtonClick);
}

TCityPage::~TCityPage() = default;

std::string TCityPage::DeleteRefusal() const {
    return CityDeleteRefusal(*EditedCity, Form.MyCity);
}

std::int32_t TCityPage::EditedRecordId() const {
    return EditedCity->Id();
}

const void* TCityPage::FindRecord(std::int32_t id) const {
    return Form.Data->Cities.FindById(id);
}

void TCityPage::ShowEditCaption() {
    CityApplyButton->setText(QStringLiteral("Edit City"));
}

void TCityPage::FillLists() {
    Form.Data->Cities.FillListBox(ListTarget, Form.MyCity);
    CountryTarget.Clear();
}

void TCityPage::ShowMyCityLabel() {
    MyCityLabel->setText(QStringLiteral("My City: ") +
                         (Form.MyCity ? ToQ(Form.MyCity->LongName) : QStringLiteral("None")));
}

void TCityPage::FillCountries(bool showOffsets) {
    const void* chosen = CountryTarget.SelectedItem();
    Form.Data->Countries.FillComboBox(CountryTarget, showOffsets, Form.Host.LocaleFacts());
    CountryTarget.SelectItem(chosen);
}

void TCityPage::SetStatesChecked(bool checked) {
    StatesCheckBox->setChecked(checked); // toggled runs StatesCheckBoxClick on a change
}

void TCityPage::ShowCity() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    TCityList& data = *Form.Data;
    EditedCity = static_cast<TCity*>(ListTarget.Item(row));
    const TCity& city = *EditedCity;
    {
        const QSignalBlocker quiet(CityEdit);
        CityEdit->setText(ToQ(city.LongName));
    }
    CityShortNameEdit->setText(ToQ(city.ShortName()));
    CityLongNameEdit->setText(ToQ(city.LongName));
    StateTarget.Clear();
    StatesComboBox->setEnabled(false);
    SetStatesChecked(false);
    StatesCheckBox->setEnabled(true);
    StatesLabel->setEnabled(false);
    AirportsTarget.Clear();
    const TLocaleFacts& locale = Form.Host.LocaleFacts();
    const TCountry* country = nullptr;
    if (city.StateId != 0) {
        Form.Data->Countries.FillComboBox(CountryTarget, false, locale);
        const TState* state = data.States.FindById(city.StateId);
        country = state ? data.Countries.FindById(state->CountryId) : nullptr;
        CountryTarget.SelectItem(country);
        if (country)
            data.States.FillComboBox(StateTarget, country->UniqueId, true, locale);
        StateTarget.SelectItem(state);
        StatesComboBox->setEnabled(true);
        SetStatesChecked(true);
        StatesLabel->setEnabled(true);
    } else if (city.CountryId != 0) {
        Form.Data->Countries.FillComboBox(CountryTarget, true, locale);
        country = data.Countries.FindById(city.CountryId);
        CountryTarget.SelectItem(country);
        if (country)
            data.States.FillComboBox(StateTarget, country->UniqueId, true, locale);
        StateTarget.SetItemIndex(-1);
    }
    CapitalCheckBox->setChecked(country != nullptr && country->CapitalCity == city.UniqueID);
    DefaultCityCheckBox->setChecked(city.Default);
    SelectedMyCityLabel->setVisible(EditedCity == Form.MyCity);
    TManageForm::EnableGroup(CityGroupBox, true);
    // The state choice follows its box, whatever the group's children were set to.
    StatesComboBox->setEnabled(StatesCheckBox->isChecked());
    StatesLabel->setEnabled(StatesCheckBox->isChecked());
    if (Form.DeleteMode) {
        TManageForm::EnableGroup(CityGroupBox, false);
        CityApplyButton->setEnabled(true);
    }
    const auto* chosen = static_cast<const TCountry*>(CountryTarget.SelectedItem());
    FillCityAirports(chosen ? chosen->UniqueId : 0);
}

void TCityPage::FillCityAirports(std::int32_t countryId) {
    const QSignalBlocker quiet(AirportsCheckListBox);
    AirportsTarget.Clear();
    ShowClosestAirports(QString());
    if (countryId == 0)
        return;
    QString names;
    const std::int32_t cityId = EditedCity && !Form.NewMode ? EditedCity->UniqueID : 0;
    for (TAirport* a : Form.Data->Airports) {
        const TCountry* c = CountryOfPlace(*Form.Data, a->StateId, a->CountryId);
        if (c == nullptr || c->UniqueId != countryId)
            continue;
        const int line = AirportsTarget.Add(a->Name, a);
        AirportsCheckListBox->item(line)->setToolTip(ToQ(a->Name)); // a long name, read whole
        for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
            if (cityId != 0 && a->ClosestCities(slot) == cityId) {
                AirportsTarget.SetChecked(line, true);
                names += ToQ(a->Name) + QStringLiteral("\r\n");
            }
    }
    FitLinesToColumns(AirportsCheckListBox);
    ShowClosestAirports(names);
}

void TCityPage::ShowClosestAirports(const QString& text) {
    // Every linked airport is shown: one a line while they fit, else one after another, and
    // when even that does not fit the label takes room from the check list below it.
    QString shown = text;
    const QFontMetrics metrics(ClosestAirportsLabel->font());
    const int width = ClosestAirportsLabel->width();
    const auto height = [&](const QString& t) {
        return metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, t).height();
    };
    if (height(shown) > LabelHeight && shown.contains(QLatin1Char('\n'))) {
        QStringList lines = shown.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        shown = lines.join(QStringLiteral(", "));
    }
    const int needed = std::max(LabelHeight, std::min(height(shown) + 2, MaxLabelHeight));
    QRect label = ClosestAirportsLabel->geometry();
    QRect list = AirportsCheckListBox->geometry();
    const int bottom = list.bottom();
    label.setHeight(needed);
    list.setTop(label.bottom() + 5);
    list.setBottom(bottom);
    ClosestAirportsLabel->setGeometry(label);
    AirportsCheckListBox->setGeometry(list);
    ClosestAirportsLabel->setText(shown);
    ClosestAirportsLabel->setToolTip(shown.isEmpty() ? QString() : text.trimmed());
}

void TCityPage::UpdateClosestAirports() {
    QStringList names;
    for (int i = 0; i < AirportsTarget.Count(); ++i)
        if (AirportsTarget.Checked(i))
            names.append(AirportsCheckListBox->item(i)->text());
    ShowClosestAirports(names.join(QStringLiteral(", ")));
}

void TCityPage::ClearCityPage() {
    {
        const QSignalBlocker quiet(CityEdit);
        CityEdit->clear();
    }
    CityLongNameEdit->clear();
    CityShortNameEdit->clear();
    ListTarget.SetItemIndex(-1);
    CountryTarget.SetItemIndex(-1);
    StateTarget.SetItemIndex(-1);
    SetStatesChecked(false);
    DefaultCityCheckBox->setChecked(false);
    SelectedMyCityLabel->hide();
    {
        const QSignalBlocker quiet(AirportsCheckListBox);
        AirportsTarget.Clear();
    }
    ShowClosestAirports(QString());
}

bool TCityPage::ApplyRecord() {
    const bool applied = ApplyCity();
    CityApplyButton->setEnabled(false);
    return applied;
}

bool TCityPage::ApplyCity() {
    if (Form.DeleteMode)
        return DeleteRecord();
    if (!Form.NewMode && EditedCity == nullptr)
        return false; // nothing loaded to apply to
    TCityInput in;
    in.LongName = CityLongNameEdit->text().toStdString();
    in.ShortName = CityShortNameEdit->text().toStdString();
    if (const auto* c = static_cast<const TCountry*>(CountryTarget.SelectedItem()))
        in.CountryId = c->UniqueId;
    // Only a state the user can see chosen counts: the combo may hold a line while unticked.
    if (const auto* s = static_cast<const TState*>(StateTarget.SelectedItem());
        s != nullptr && StatesCheckBox->isChecked())
        in.StateId = s->UniqueID;
    in.Capital = CapitalCheckBox->isChecked();
    in.Default = DefaultCityCheckBox->isChecked();
    for (int i = 0; i < AirportsTarget.Count(); ++i)
        in.Airports.emplace_back(static_cast<TAirport*>(AirportsTarget.Item(i)),
                                 AirportsTarget.Checked(i));
    const TApplyOutcome o = ::ApplyCity(Form.Host.Store(), EditedCity, Form.NewMode, in);
    if (!o.Applied) {
        QWidget* focus =
            o.Focus == TManageField::ShortName  ? static_cast<QWidget*>(CityShortNameEdit)
            : o.Focus == TManageField::LongName ? static_cast<QWidget*>(CityLongNameEdit)
            : o.Focus == TManageField::Country  ? static_cast<QWidget*>(CityCountryComboBox)
                                                : nullptr;
        Refuse(o.Message, focus);
        if (!Form.NewMode)
            Edited = true; // what was meant to be stored is still unstored
        return false;
    }
    const bool added = Form.NewMode;
    if (added) {
        TManageForm::EnableGroup(CitiesGroupBox, true);
        ClearCityPage();
        // The page goes on with the city just made: a second press edits it rather than
        // making a copy, and its airports can be linked at once.
        Form.NewMode = false;
        CityApplyButton->setText(QStringLiteral("Edit City"));
    }
    const int top = TopRow();
    RefillList();
    ShowMyCityLabel();
    SelectInList(EditedCity);
    if (added)
        SetTopRow(SelectedRow() - 10);
    else
        SetTopRow(top);
    ShowCity();
    return true;
}

void TCityPage::NewCityButtonClick() {
    EnterNewMode(QStringLiteral("Add City"));
    CapitalCheckBox->setChecked(false); // a new city replaces no capital unless asked to
    Form.Data->Countries.FillComboBox(CountryTarget, true, Form.Host.LocaleFacts());
    CountryTarget.SetItemIndex(-1);
    StateTarget.Clear();
    StatesComboBox->setEnabled(false);
    StatesLabel->setEnabled(false);
    TManageForm::EnableGroup(CitiesGroupBox, false);
    CityLongNameEdit->setFocus();
}

void TCityPage::BeginDeleteCity() {
    EnterDeleteMode();
    Form.ShowOnHost();
    TManageForm::EnableGroup(CityGroupBox, false);
    CityEdit->setFocus();
}

void TCityPage::CityEditChange() {
    SearchEditChange();
}

bool TCityPage::CityEditKeyPress(int key) {
    return SearchEditKey(key);
}

void TCityPage::CityListBoxClick() {
    ListClick();
}

void TCityPage::CityLongNameEditChange() {
    EnableApply();
}

void TCityPage::StatesComboBoxClick() {
    EnableApply();
}

void TCityPage::CityCountryComboBoxClick() {
    const auto* c = static_cast<const TCountry*>(CountryTarget.SelectedItem());
    Form.Data->States.FillComboBox(StateTarget, c ? c->UniqueId : -1, false,
                                   Form.Host.LocaleFacts());
    // Lines put into an empty combo would make the first one current: a country choice
    // leaves the city in no state until one is chosen.
    StateTarget.SetItemIndex(-1);
    StatesComboBox->setEnabled(false);
    SetStatesChecked(false);
    StatesLabel->setEnabled(false);
    // A city being made has no airport list of an earlier country to keep: it is offered the
    // airports of the one chosen.
    if (Form.NewMode)
        FillCityAirports(c ? c->UniqueId : 0);
    EnableApply();
}

void TCityPage::StatesCheckBoxClick() {
    const bool checked = StatesCheckBox->isChecked();
    FillCountries(!checked);
    StatesComboBox->setEnabled(checked);
    StatesLabel->setEnabled(checked);
    if (!checked)
        StateTarget.SetItemIndex(-1);
}

void TCityPage::AirportsCheckListBoxClickCheck(QListWidgetItem* item) {
    Edited = true;
    const int line = AirportsCheckListBox->row(item);
    const auto* airport = static_cast<const TAirport*>(AirportsTarget.Item(line));
    const std::int32_t cityId = Form.NewMode || !EditedCity ? 0 : EditedCity->UniqueID;
    if (AirportsTarget.Checked(line) && airport && AirportIsFull(*airport, cityId)) {
        // A link the airport has no room for would be dropped silently on Apply.
        {
            const QSignalBlocker quiet(AirportsCheckListBox);
            AirportsTarget.SetChecked(line, false);
        }
        Refuse(FullAirportMessage(*airport), nullptr);
        return;
    }
    UpdateClosestAirports();
    EnableApply();
}

void TCityPage::CityApplyButtonClick() {
    ApplyCity();
    CityApplyButton->setEnabled(false);
}

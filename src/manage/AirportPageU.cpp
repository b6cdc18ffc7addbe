#include "manage/AirportPageU.h"

#include "manage/ManageRecordsU.h"
#include "manage/ManageU.h"
#include "ui_ManageAirportPage.h"
#include "widgets/QtTextU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <functional>

namespace {

constexpr int CodeRows = TAirport::SlotCount;

// The cells of the codes grid take what the file keeps of a code.
class TCodeDelegate : public QStyledItemDelegate {
public:
    TCodeDelegate(QObject* keys, QObject* parent, std::function<bool(int)> leaves)
        : QStyledItemDelegate(parent), Keys(keys), Leaves(std::move(leaves)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            edit->setMaxLength(static_cast<int>(TAirport::CodeLength));
            edit->installEventFilter(Keys);
        }
        return editor;
    }

protected:
    // Tab past the last row and Shift+Tab before the first leave the grid, as in any form: the
    // cell keeps what was typed.
    bool eventFilter(QObject* watched, QEvent* e) override {
        auto* editor = qobject_cast<QWidget*>(watched);
        if (editor != nullptr && e->type() == QEvent::KeyPress &&
            Leaves(static_cast<QKeyEvent*>(e)->key()))
            return true;
        return QStyledItemDelegate::eventFilter(watched, e);
    }

private:
    QObject* Keys;
    std::function<bool(int)> Leaves;
};

QString Cell(const QTableWidget* grid, int row) {
    const QTableWidgetItem* item = grid->item(row, 0);
    return item ? item->text() : QString();
}

void SetCell(QTableWidget* grid, int row, const QString& text) {
    if (QTableWidgetItem* item = grid->item(row, 0))
        item->setText(text);
    else
        grid->setItem(row, 0, new QTableWidgetItem(text));
}

} // namespace

TAirportPage::TAirportPage(TManageForm& form)
    : TManagePageBase(form, TManagePage::Airports, TRecordKind::Airport),
      Ui_(std::make_unique<Ui::ManageAirportPage>()) {
    QWidget* sheet = form.findChild<QWidget*>(QStringLiteral("AirportsTabSheet"));
    Ui_->setupUi(sheet);
    AirportsGroupBox = Ui_->AirportsGroupBox;
    AirportEdit = Ui_->AirportEdit;
    AirportListBox = Ui_->AirportListBox;
    AirportGroupBox = Ui_->AirportGroupBox;
    AirportNameEdit = Ui_->AirportNameEdit;
    AirportCodesStringGrid = Ui_->AirportCodesStringGrid;
    AirportCountryComboBox = Ui_->AirportCountryComboBox;
    AirportStateCheckBox = Ui_->AirportStateCheckBox;
    AirportStateLabel = Ui_->AirportStateLabel;
    AirportStateComboBox = Ui_->AirportStateComboBox;
    ClosestCitiesLabel = Ui_->ClosestCitiesLabel;
    CitiesCheckListBox = Ui_->CitiesCheckListBox;
    AirportApplyButton = Ui_->AirportApplyButton;
    AirportCloseButton = Ui_->AirportCloseButton;
    BindFrame(sheet, AirportsGroupBox, AirportEdit, AirportListBox, AirportGroupBox,
              AirportApplyButton, AirportCloseButton);
    CountryTarget = TQtComboTarget(AirportCountryComboBox, true);
    StateTarget = TQtComboTarget(AirportStateComboBox, true);
    CitiesTarget = TQtListTarget(CitiesCheckListBox, true, true);
    TwoColumns(CitiesCheckListBox);
    AirportStateLabel->setEnabled(false);

    QTableWidget* grid = AirportCodesStringGrid;
    grid->setColumnCount(1);
    grid->setRowCount(CodeRows);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setColumnWidth(0, 68);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(16);
    grid->verticalHeader()->setDefaultSectionSize(16);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setTabKeyNavigation(true);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grid->setItemDelegate(
        new TCodeDelegate(this, grid, [this](int key) { return LeaveCodesGrid(key); }));
    for (int r = 0; r < CodeRows; ++r)
        SetCell(grid, r, QString());
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    AirportNameEdit->installEventFilter(this);

    connect(AirportEdit, &QLineEdit::textChanged, this, &TAirportPage::AirportEditChange);
    SearchKeyHandler = [this](int key) { return AirportEditKeyPress(key); };
    connect(AirportListBox, &QListWidget::itemSelectionChanged, this,
            &TAirportPage::AirportListBoxClick);
    OnFieldClick(AirportNameEdit, [this] { AirportNameEditClick(); });
    connect(AirportCountryComboBox, &QComboBox::activated, this,
            &TAirportPage::AirportCountryComboBoxClick);
    connect(AirportStateCheckBox, &QCheckBox::toggled, this,
            &TAirportPage::AirportStateCheckBoxClick);
    connect(AirportStateComboBox, &QComboBox::activated, this,
            &TAirportPage::AirportStateComboBoxClick);
    connect(CitiesCheckListBox, &QListWidget::itemChanged, this,
            &TAirportPage::CitiesCheckListBoxClickCheck);
    connect(AirportApplyButton, &QPushButton::clicked, this,
            &TAirportPage::AirportApplyButtonClick);
}

TAirportPage::~TAirportPage() = default;

bool TAirportPage::eventFilter(QObject* watched, QEvent* e) {
    QTableWidget* grid = AirportCodesStringGrid;
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (watched == AirportNameEdit) {
            AirportNameEditKeyPress();
        } else if (watched == grid || watched->parent() == grid->viewport()) {
            if (AirportCodesStringGridKeyPress(key))
                return true;
        }
    } else if (e->type() == QEvent::MouseButtonPress && watched == grid->viewport()) {
        AirportCodesStringGridClick();
    }
    return TManagePageBase::eventFilter(watched, e);
}

std::int32_t TAirportPage::EditedRecordId() const {
    return EditedAirport->Id();
}

const void* TAirportPage::FindRecord(std::int32_t id) const {
    return Form.Data->Airports.FindById(id);
}

void TAirportPage::FillLists() {
    Form.Data->Airports.FillListBox(ListTarget);
    // The record on the page keeps its country when the lists are refilled after an Apply.
    const void* country = CountryTarget.SelectedItem();
    Form.Data->Countries.FillComboBox(CountryTarget, true, Form.Host.LocaleFacts());
    CountryTarget.SelectItem(country);
}

void TAirportPage::CommitCodeEditor() {
    QTableWidget* grid = AirportCodesStringGrid;
    if (QWidget* editor = grid->indexWidget(grid->currentIndex()))
        QMetaObject::invokeMethod(grid, "commitData", Q_ARG(QWidget*, editor));
}

std::int32_t TAirportPage::SelectedCountryId() const {
    const auto* c = static_cast<const TCountry*>(CountryTarget.SelectedItem());
    return c ? c->UniqueId : 0;
}

std::set<std::int32_t> TAirportPage::CheckedCities() const {
    std::set<std::int32_t> ids;
    for (int i = 0; i < CitiesTarget.Count(); ++i)
        if (CitiesTarget.Checked(i))
            ids.insert(static_cast<const TCity*>(CitiesTarget.Item(i))->UniqueID);
    return ids;
}

void TAirportPage::ShowAirport() {
    const int row = SelectedRow();
    if (row < 0)
        return;
    TCityList& data = *Form.Data;
    TManageForm::EnableGroup(AirportGroupBox, true);
    EditedAirport = static_cast<TAirport*>(ListTarget.Item(row));
    const TAirport& a = *EditedAirport;
    AirportNameEdit->setText(ToQ(a.Name));
    for (int r = 0; r < CodeRows; ++r)
        SetCell(AirportCodesStringGrid, r, ToQ(a.Codes(r + 1)));
    CountryTarget.SetItemIndex(-1);
    CountryTarget.SelectItem(data.Countries.FindById(a.CountryId));
    data.States.FillComboBox(StateTarget, a.CountryId, true, Form.Host.LocaleFacts());
    {
        // Loading is no choice of the user's: the box's handling would enable Apply.
        const QSignalBlocker quiet(AirportStateCheckBox);
        AirportStateCheckBox->setChecked(a.StateId != 0);
    }
    if (a.StateId != 0)
        StateTarget.SelectItem(data.States.FindById(a.StateId));
    else
        StateTarget.Clear();
    AirportStateComboBox->setEnabled(a.StateId != 0);
    AirportStateLabel->setEnabled(a.StateId != 0);
    FillCityCities(a.CountryId);
    if (Form.DeleteMode) {
        TManageForm::EnableGroup(AirportGroupBox, false);
        AirportApplyButton->setEnabled(true);
    }
}

void TAirportPage::FillCityCities(std::int32_t countryId, bool keepChecks) {
    const std::set<std::int32_t> kept = CheckedCities();
    {
        const QSignalBlocker quiet(CitiesCheckListBox);
        CitiesTarget.Clear();
        if (countryId != 0) {
            const TCityList& data = *Form.Data;
            for (TCity* c : data.Cities) {
                bool in = false;
                if (c->StateId != 0) {
                    const TState* s = data.States.FindById(c->StateId);
                    in = s != nullptr && s->CountryId == countryId;
                } else {
                    in = c->CountryId == countryId;
                }
                if (!in)
                    continue;
                const int line = CitiesTarget.Add(c->LongName, c);
                CitiesCheckListBox->item(line)->setToolTip(ToQ(c->LongName));
                bool linked = false;
                if (keepChecks) {
                    linked = kept.count(c->UniqueID) != 0;
                } else if (!Form.NewMode && EditedAirport != nullptr) {
                    for (int slot = 1; slot <= TAirport::SlotCount; ++slot)
                        linked = linked || EditedAirport->ClosestCities(slot) == c->UniqueID;
                }
                CitiesTarget.SetChecked(line, linked);
            }
        }
        FitLinesToColumns(CitiesCheckListBox);
    }
    UpdateClosestCities();
}

void TAirportPage::UpdateClosestCities(QListWidgetItem* changed) {
    QStringList names;
    for (int i = 0; i < CitiesTarget.Count(); ++i)
        if (CitiesTarget.Checked(i))
            names.append(CitiesCheckListBox->item(i)->text());
    if (names.size() <= MaxClosestCities) {
        ClosestCitiesLabel->setText(names.join(QStringLiteral(", ")));
        return;
    }
    Refuse(TooManyCitiesMessage(), nullptr);
    if (changed != nullptr) {
        const QSignalBlocker quiet(CitiesCheckListBox);
        changed->setCheckState(Qt::Unchecked);
    }
}

void TAirportPage::ClearAirportPage() {
    {
        const QSignalBlocker quiet(AirportEdit);
        AirportEdit->clear();
    }
    AirportNameEdit->clear();
    ListTarget.SetItemIndex(-1);
    for (int r = 0; r < CodeRows; ++r)
        SetCell(AirportCodesStringGrid, r, QString());
    CountryTarget.SetItemIndex(-1);
    {
        const QSignalBlocker quiet(AirportStateCheckBox);
        AirportStateCheckBox->setChecked(false);
    }
    AirportStateLabel->setEnabled(false);
    StateTarget.Clear();
    AirportStateComboBox->setEnabled(false);
    ClosestCitiesLabel->clear();
    const QSignalBlocker quiet(CitiesCheckListBox);
    CitiesTarget.Clear();
}

bool TAirportPage::ApplyRecord() {
    const bool applied = ApplyAirport();
    AirportApplyButton->setEnabled(false);
    return applied;
}

bool TAirportPage::ApplyAirport() {
    if (Form.DeleteMode)
        return DeleteRecord();
    QTableWidget* grid = AirportCodesStringGrid;
    CommitCodeEditor(); // a code still being typed counts
    if (!Form.NewMode && EditedAirport == nullptr)
        return false; // nothing loaded to apply to
    TAirportInput in;
    in.Name = AirportNameEdit->text().toStdString();
    for (int r = 0; r < CodeRows; ++r)
        in.Codes[static_cast<std::size_t>(r)] = Cell(grid, r).toStdString();
    in.CountryId = SelectedCountryId();
    if (const auto* s = static_cast<const TState*>(StateTarget.SelectedItem()))
        in.StateId = s->UniqueID;
    for (int i = 0; i < CitiesTarget.Count(); ++i)
        if (CitiesTarget.Checked(i))
            in.Cities.push_back(static_cast<const TCity*>(CitiesTarget.Item(i))->UniqueID);
    const TApplyOutcome o = ::ApplyAirport(Form.Host.Store(), EditedAirport, Form.NewMode, in);
    if (!o.Applied) {
        QWidget* focus = o.Focus == TManageField::Name ? static_cast<QWidget*>(AirportNameEdit)
                         : o.Focus == TManageField::Country
                             ? static_cast<QWidget*>(AirportCountryComboBox)
                         : o.Focus == TManageField::Codes ? static_cast<QWidget*>(grid)
                                                          : nullptr;
        if (o.CodeRow >= 0)
            grid->setCurrentCell(o.CodeRow, 0);
        Refuse(o.Message, focus);
        if (!Form.NewMode)
            Edited = true; // what was meant to be stored is still unstored
        return false;
    }
    const bool added = Form.NewMode;
    if (added) {
        TManageForm::EnableGroup(AirportsGroupBox, true);
        ClearAirportPage();
    }
    AirportApplyButton->setEnabled(false);
    ShowAppliedInList(TopRow());
    if (added) {
        // The page goes on with the airport just made: a second press edits it rather than
        // making a copy.
        Form.NewMode = false;
        AirportApplyButton->setText(QStringLiteral("Apply"));
        ShowAirport();
        AirportApplyButton->setEnabled(false);
    }
    return true;
}

void TAirportPage::NewAirportButtonClick() {
    EnterNewMode(QStringLiteral("New"));
    AirportNameEdit->setFocus();
    AirportStateLabel->setEnabled(false);
    AirportStateComboBox->setEnabled(false);
    TManageForm::EnableGroup(AirportsGroupBox, false);
}

void TAirportPage::BeginDeleteAirport() {
    EnterDeleteMode();
    Form.ShowOnHost();
    TManageForm::EnableGroup(AirportGroupBox, false);
    AirportEdit->setFocus();
}

void TAirportPage::AirportEditChange() {
    SearchEditChange();
}

bool TAirportPage::AirportEditKeyPress(int key) {
    return SearchEditKey(key);
}

void TAirportPage::AirportListBoxClick() {
    ListClick();
}

void TAirportPage::AirportNameEditClick() {
    EnableApply();
}

void TAirportPage::AirportNameEditKeyPress() {
    EnableApply();
}

void TAirportPage::AirportCodesStringGridClick() {
    EnableApply();
}

bool TAirportPage::LeaveCodesGrid(int key) {
    QTableWidget* grid = AirportCodesStringGrid;
    const bool forward = key == Qt::Key_Tab;
    if (!(forward && grid->currentRow() == CodeRows - 1) &&
        !(key == Qt::Key_Backtab && grid->currentRow() <= 0))
        return false;
    CommitCodeEditor(); // the editor closes as the focus leaves
    // The next control in the tab order that is outside the grid and can take the focus.
    QWidget* w = grid;
    do {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    } while (w != grid && (grid->isAncestorOf(w) || !w->isEnabled() || !w->isVisible() ||
                           !(w->focusPolicy() & Qt::TabFocus)));
    if (w != grid)
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool TAirportPage::AirportCodesStringGridKeyPress(int key) {
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return LeaveCodesGrid(key);
    EnableApply();
    Edited = true;
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    QTableWidget* grid = AirportCodesStringGrid;
    const int row = grid->currentRow();
    if (row < CodeRows - 1)
        grid->setCurrentCell(row + 1, 0); // leaves the cell, which keeps what was typed
    else
        CommitCodeEditor();
    return true;
}

void TAirportPage::AirportCountryComboBoxClick() {
    {
        // Leaving a state of the old country: the box's own handling would refill the list
        // of a country that is no longer chosen.
        const QSignalBlocker quiet(AirportStateCheckBox);
        AirportStateCheckBox->setChecked(false);
    }
    AirportStateLabel->setEnabled(false);
    StateTarget.Clear();
    AirportStateComboBox->setEnabled(false);
    FillCityCities(SelectedCountryId());
    EnableApply();
}

void TAirportPage::AirportStateCheckBoxClick() {
    const std::int32_t country = SelectedCountryId();
    if (AirportStateCheckBox->isChecked()) {
        AirportStateLabel->setEnabled(true);
        AirportStateComboBox->setEnabled(true);
        if (country != 0) {
            Form.Data->States.FillComboBox(StateTarget, country, true, Form.Host.LocaleFacts());
            // Filled into an empty combo the first line would be current, unseen.
            StateTarget.SetItemIndex(-1);
            FillCityCities(country, true);
        }
    } else {
        AirportStateLabel->setEnabled(false);
        StateTarget.Clear();
        AirportStateComboBox->setEnabled(false);
        if (country != 0)
            FillCityCities(country, true);
    }
    EnableApply();
}

void TAirportPage::AirportStateComboBoxClick() {
    FillCityCities(SelectedCountryId(), true);
    EnableApply();
}

void TAirportPage::CitiesCheckListBoxClickCheck(QListWidgetItem* item) {
    Edited = true;
    UpdateClosestCities(item);
    EnableApply();
}

void TAirportPage::AirportApplyButtonClick() {
    ApplyAirport();
    AirportApplyButton->setEnabled(false);
}

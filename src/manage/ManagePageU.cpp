#include "manage/ManagePageU.h"

#include "manage/ManageU.h"
#include "widgets/QtTextU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

// Entries a new record is shown below, when the list scrolls to it.
constexpr int NewRecordTopOffset = 10;
// Entries above the one the type-ahead finds.
constexpr int SearchTopOffset = 17;

} // namespace

void TwoColumns(QListWidget* list) {
    list->setFlow(QListView::TopToBottom);
    list->setWrapping(true);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setGridSize(QSize((list->width() - 6) / 2, 20));
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FitLinesToColumns(QListWidget* list) {
    // A line as high as its cell keeps the check box whole in the top row.
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setSizeHint(list->gridSize());
}

namespace {

// Tabbing into a field is the keyboard's click into it: without it, a user of the keyboard or a
// screen reader could never apply an edit.
bool ByKeyboard(const QFocusEvent& e) {
    return e.reason() == Qt::TabFocusReason || e.reason() == Qt::BacktabFocusReason ||
           e.reason() == Qt::ShortcutFocusReason;
}

} // namespace

TManagePageBase::TManagePageBase(TManageForm& form, TManagePage page, TRecordKind kind)
    : Form(form), Page(page), Kind(kind) {}

void TManagePageBase::BindFrame(QWidget* sheet, QGroupBox* listSide, QLineEdit* searchEdit,
                                QListWidget* list, QGroupBox* recordGroup, QPushButton* apply,
                                QPushButton* close) {
    Sheet = sheet;
    ListSide = listSide;
    SearchEdit = searchEdit;
    List = list;
    RecordGroup = recordGroup;
    ApplyButton = apply;
    CloseButton = close;
    ListTarget = TQtListTarget(list, true, false);
    SearchTarget = TQtSearchEdit(searchEdit);
    List->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setUniformItemSizes(true); // the lists may be long
    SearchEdit->installEventFilter(this);
    for (QPushButton* b : {ApplyButton, CloseButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    ApplyButton->setEnabled(false);
    connect(CloseButton, &QPushButton::clicked, &Form, &QWidget::close);
    // What the user changes in the record group counts as an edit, whichever control it is in
    // and whether or not the Apply button is enabled at that moment. Changes made by code run
    // with the controls' signals blocked or are followed by MarkStored.
    const auto edited = [this] {
        Edited = true;
        EnableApply();
    };
    for (QLineEdit* e : recordGroup->findChildren<QLineEdit*>())
        connect(e, &QLineEdit::textEdited, this, edited);
    for (QComboBox* c : recordGroup->findChildren<QComboBox*>())
        connect(c, &QComboBox::activated, this, edited);
    for (QCheckBox* c : recordGroup->findChildren<QCheckBox*>())
        connect(c, &QCheckBox::clicked, this, edited);
}

void TManagePageBase::OnFieldClick(QWidget* field, std::function<void()> handler) {
    FieldClicks[field] = std::move(handler);
    field->installEventFilter(this);
}

bool TManagePageBase::eventFilter(QObject* watched, QEvent* e) {
    if (watched == SearchEdit && e->type() == QEvent::KeyPress && SearchKeyHandler) {
        if (SearchKeyHandler(static_cast<QKeyEvent*>(e)->key()))
            return true;
    } else if ((e->type() == QEvent::MouseButtonPress &&
                static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) ||
               (e->type() == QEvent::FocusIn && ByKeyboard(*static_cast<QFocusEvent*>(e)))) {
        const auto found = FieldClicks.find(watched);
        if (found != FieldClicks.end())
            found->second();
    }
    return QObject::eventFilter(watched, e);
}

void TManagePageBase::DisablePage() {
    TManageForm::EnableGroup(RecordGroup, false);
}

void TManagePageBase::SearchEditChange() {
    if (Form.TypeAheadEnabled)
        IncrementalSearch(SearchTarget, ListTarget, SearchTopOffset);
}

bool TManagePageBase::SearchEditKey(int key) {
    if (key == Qt::Key_Backspace) {
        if (!SearchEdit->hasSelectedText())
            return false; // an ordinary backspace; the change runs the search
        BackspaceCompletion(SearchTarget);
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        SearchEdit->deselect();
        SearchEdit->end(false);
        ShowRecord();
        return true;
    }
    return false;
}

void TManagePageBase::ListClick() {
    if (Refilling || Form.Asking())
        return; // under an open question the list keeps the entry that asked
    const TManageForm::TBusy busy(Form);
    const int row = SelectedRow();
    void* clicked = row >= 0 ? ListTarget.Item(row) : nullptr;
    if (HasUnappliedEdits()) {
        const TSettled settled = SettleEdits();
        if (settled == TSettled::Gone)
            return; // another city list replaced the records meanwhile
        if (settled == TSettled::Refused) {
            // The edits stay, with their record, ready to be put right and applied.
            SelectInList(EditedRecord());
            return;
        }
        // Whatever the list was made to show under the question (and an Apply refills it),
        // the clicked entry is meant.
        SelectInList(clicked);
    }
    Form.TypeAheadEnabled = false;
    ShowRecord();
    Form.TypeAheadEnabled = true;
    MarkStored();
    if (!Form.DeleteMode)
        ApplyButton->setEnabled(false);
}

bool TManagePageBase::HasUnappliedEdits() const {
    if (Form.DeleteMode || Form.Data == nullptr)
        return false;
    // A new record's button is enabled from the start: only what was typed or chosen counts.
    return Edited || (!Form.NewMode && ApplyButton->isEnabled());
}

TManagePageBase::TSettled TManagePageBase::SettleEdits() {
    const TAnswer a = Form.AskYesNo(QStringLiteral("Apply changes?"), QStringLiteral("Apply"));
    if (Form.Data == nullptr)
        return TSettled::Gone;
    if (a != TAnswer::Yes)
        return TSettled::Done;
    if (!ApplyRecord()) {
        ApplyButton->setEnabled(true);
        return TSettled::Refused;
    }
    return TSettled::Done;
}

void TManagePageBase::EnableApply() {
    ApplyButton->setEnabled(true);
}

void TManagePageBase::Refuse(const std::string& message, QWidget* field) {
    Form.ShowMessage(QString::fromStdString(message));
    if (field != nullptr && field->isEnabled())
        field->setFocus();
}

void TManagePageBase::RefillList() {
    Refilling = true;
    {
        const QSignalBlocker quiet(List);
        ListTarget.BeginFill(); // many records: sorted in one go
        FillLists();
        ListTarget.EndFill();
        ListTarget.SetItemIndex(-1);
    }
    Refilling = false;
    MarkStored();
}

void TManagePageBase::UnselectList() {
    {
        const QSignalBlocker quiet(List);
        ListTarget.SetItemIndex(-1);
    }
    MarkStored();
}

void TManagePageBase::SelectInList(const void* record) {
    int found = -1;
    for (int i = 0; record != nullptr && i < ListTarget.Count(); ++i)
        if (ListTarget.Item(i) == record)
            found = i;
    ListTarget.SetItemIndex(found);
}

int TManagePageBase::SelectedRow() const {
    const QListWidgetItem* current = List->currentItem();
    return current != nullptr && current->isSelected() ? List->currentRow() : -1;
}

int TManagePageBase::TopRow() const {
    return List->verticalScrollBar()->value();
}

void TManagePageBase::SetTopRow(int row) {
    List->verticalScrollBar()->setValue(std::max(0, row));
}

void TManagePageBase::ShowAppliedInList(int topRow) {
    RefillList();
    SelectInList(EditedRecord());
    if (Form.NewMode)
        SetTopRow(SelectedRow() - NewRecordTopOffset);
    else
        SetTopRow(topRow);
}

void TManagePageBase::LoadRecord(const void* record) {
    SelectInList(record);
    Form.TypeAheadEnabled = false;
    ShowRecord();
    Form.TypeAheadEnabled = true;
    MarkStored();
    if (!Form.DeleteMode)
        ApplyButton->setEnabled(false);
    if (SelectedRow() >= 0)
        List->scrollToItem(List->currentItem(), QAbstractItemView::PositionAtCenter);
}

bool TManagePageBase::DeleteRecord() {
    if (EditedRecord() == nullptr)
        return false;
    const std::string refusal = DeleteRefusal();
    if (!refusal.empty()) {
        Refuse(refusal, nullptr);
        return false;
    }
    Form.Host.Store().Delete(Kind, EditedRecordId());
    ForgetRecord();
    RefillList();
    ClearPage(); // the search edit as well: the name it holds is gone
    DisablePage();
    ApplyButton->setEnabled(false);
    emit Form.RecordDeleted(Page);
    return true;
}

void TManagePageBase::ShowEditCaption() {
    ApplyButton->setText(QStringLiteral("Apply"));
}

void TManagePageBase::EnterDeleteMode() {
    Form.SetPage(Page);
    ListTarget.SetItemIndex(-1);
    ApplyButton->setText(QStringLiteral("Delete"));
    Form.DeleteMode = true;
    MarkStored();
}

void TManagePageBase::EnterNewMode(const QString& caption) {
    Form.SetPage(Page);
    ClearPage();
    TManageForm::EnableGroup(RecordGroup, true);
    Form.NewMode = true;
    ApplyButton->setText(caption);
    ApplyButton->setEnabled(true);
    MarkStored();
}

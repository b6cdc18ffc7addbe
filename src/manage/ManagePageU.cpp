#include "ManagePageU.h"

#include "ManageU.h"
#include "QtTextU.h"

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

TManagePageBase::TManagePageBase(TManageForm& form, TManagePage page) : Form(form), Page(page) {}

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
    SearchEdit->installEventFilter(this);
    for (QPushButton* b : {ApplyButton, CloseButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    ApplyButton->setEnabled(false);
    connect(CloseButton, &QPushButton::clicked, &Form, &QWidget::close);
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
    if (ApplyButton->isEnabled() && !Form.DeleteMode) {
        const TAnswer a = Form.AskYesNo(QStringLiteral("Apply changes?"), QStringLiteral("Apply"));
        if (Form.Data == nullptr)
            return; // another city list replaced the records meanwhile
        // Whatever the list was made to show under the question, the clicked entry is meant.
        SelectInList(clicked);
        if (a == TAnswer::Yes) {
            if (!ApplyRecord()) {
                // The edits stay, with their record, ready to be put right and applied.
                SelectInList(EditedRecord());
                ApplyButton->setEnabled(true);
                return;
            }
            SelectInList(clicked); // Apply refilled the list
        }
    }
    Form.TypeAheadEnabled = false;
    ShowRecord();
    Form.TypeAheadEnabled = true;
    if (!Form.DeleteMode)
        ApplyButton->setEnabled(false);
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
        FillLists();
        ListTarget.SetItemIndex(-1);
    }
    Refilling = false;
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
    if (!Form.DeleteMode)
        ApplyButton->setEnabled(false);
    if (SelectedRow() >= 0)
        List->scrollToItem(List->currentItem(), QAbstractItemView::PositionAtCenter);
}

void TManagePageBase::EnterDeleteMode() {
    Form.SetPage(Page);
    ListTarget.SetItemIndex(-1);
    ApplyButton->setText(QStringLiteral("Delete"));
    Form.DeleteMode = true;
}

void TManagePageBase::EnterNewMode(const QString& caption) {
    Form.SetPage(Page);
    ClearPage();
    TManageForm::EnableGroup(RecordGroup, true);
    Form.NewMode = true;
    ApplyButton->setText(caption);
    ApplyButton->setEnabled(true);
}

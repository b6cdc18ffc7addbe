#include "widgets/QtListU.h"

#include "widgets/CollationU.h"
#include "widgets/LocaleSortU.h"
#include "widgets/QtTextU.h"

#include <QSignalBlocker>

namespace {

constexpr int ItemRole = Qt::UserRole + 1;

} // namespace

void TQtListTarget::Clear() {
    PendingTexts.clear();
    PendingItems.clear();
    List->clear();
}

void TQtListTarget::BeginFill() {
    Filling = true;
    PendingTexts.clear();
    PendingItems.clear();
}

void TQtListTarget::EndFill() {
    Filling = false;
    if (PendingTexts.isEmpty())
        return;
    std::vector<int> order;
    if (Sorted && List->count() == 0) {
        order = LocaleOrder(PendingTexts);
    } else {
        // Lines already there: each new one finds its place as a single Add would.
        const QStringList texts = PendingTexts;
        const std::vector<void*> items = PendingItems;
        PendingTexts.clear();
        PendingItems.clear();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            std::string ansi;
            FromQ(texts.at(i), ansi);
            Add(ansi, items[static_cast<std::size_t>(i)]);
        }
        return;
    }
    List->setUpdatesEnabled(false);
    for (int i : order) {
        auto* line = new QListWidgetItem(PendingTexts.at(i));
        line->setData(ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(
                                    PendingItems[static_cast<std::size_t>(i)])));
        if (CheckList) {
            line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
            line->setCheckState(Qt::Unchecked);
        }
        List->addItem(line);
    }
    List->setUpdatesEnabled(true);
    PendingTexts.clear();
    PendingItems.clear();
}

int TQtListTarget::Add(const std::string& text, void* item) {
    if (Filling) {
        PendingTexts.append(ToQ(text));
        PendingItems.push_back(item);
        return -1;
    }
    const QString q = ToQ(text);
    int at = List->count();
    if (Sorted) {
        // Binary search for the first line that sorts after the new one, as people sort names.
        int lo = 0, hi = List->count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (CompareNames(List->item(mid)->text(), q) <= 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        at = lo;
    }
    auto* line = new QListWidgetItem(q);
    line->setData(ItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    if (CheckList) {
        line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
        line->setCheckState(Qt::Unchecked);
    }
    List->insertItem(at, line);
    return at;
}

int TQtListTarget::Count() const {
    return List->count();
}

void* TQtListTarget::Item(int index) const {
    const QListWidgetItem* line = List->item(index);
    return line ? reinterpret_cast<void*>(line->data(ItemRole).value<quintptr>()) : nullptr;
}

void TQtListTarget::SetChecked(int index, bool checked) {
    if (QListWidgetItem* line = List->item(index))
        line->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool TQtListTarget::Checked(int index) const {
    const QListWidgetItem* line = List->item(index);
    return line && line->checkState() == Qt::Checked;
}

void TQtListTarget::SetItemIndex(int index) {
    const QSignalBlocker quiet(List); // a selection made by code is no click
    List->setCurrentRow(index);
    if (index < 0)
        List->clearSelection();
}

std::string TQtListTarget::Text(int index) const {
    std::string ansi;
    if (const QListWidgetItem* line = List->item(index))
        FromQ(line->text(), ansi);
    return ansi;
}

void TQtListTarget::SetTopIndex(int index) {
    if (QListWidgetItem* line = List->item(index))
        List->scrollToItem(line, QAbstractItemView::PositionAtTop);
}

std::string TQtSearchEdit::Text() const {
    std::string ansi;
    if (!FromQ(Edit->text(), ansi))
        ansi.clear(); // text the data cannot hold matches nothing
    return ansi;
}

void TQtSearchEdit::SetText(const std::string& text, bool notify) {
    if (notify) {
        Edit->setText(ToQ(text));
        return;
    }
    const QSignalBlocker quiet(Edit);
    Edit->setText(ToQ(text));
}

int TQtSearchEdit::SelStart() const {
    return Edit->hasSelectedText() ? Edit->selectionStart() : Edit->cursorPosition();
}

int TQtSearchEdit::SelLength() const {
    return Edit->selectedText().size();
}

void TQtSearchEdit::SetSelection(int start, int length) {
    Edit->setSelection(start, length);
}

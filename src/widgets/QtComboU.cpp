#include "QtComboU.h"

#include "LocaleSortU.h"
#include "QtTextU.h"

#include <QSignalBlocker>

void TQtComboTarget::Clear() {
    const QSignalBlocker quiet(Combo);
    Combo->clear();
}

int TQtComboTarget::Add(const std::string& text, void* item) {
    const QString q = ToQ(text);
    int at = Combo->count();
    if (Sorted && at >= FixedHead) {
        // The first line after the head that sorts after the new one.
        int lo = FixedHead, hi = Combo->count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (LocaleLess(q, Combo->itemText(mid)))
                hi = mid;
            else
                lo = mid + 1;
        }
        at = lo;
    }
    const QSignalBlocker quiet(Combo);
    Combo->insertItem(at, q, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
    return at;
}

int TQtComboTarget::Count() const {
    return Combo->count();
}

void* TQtComboTarget::Item(int index) const {
    if (index < 0 || index >= Combo->count())
        return nullptr;
    return reinterpret_cast<void*>(Combo->itemData(index).value<quintptr>());
}

void TQtComboTarget::SetItemIndex(int index) {
    const QSignalBlocker quiet(Combo);
    Combo->setCurrentIndex(index);
}

void* TQtComboTarget::SelectedItem() const {
    return Item(Combo->currentIndex());
}

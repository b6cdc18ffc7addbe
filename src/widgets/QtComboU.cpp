#include "QtComboU.h"

#include "QtTextU.h"

#include <QSignalBlocker>

namespace {

constexpr int ItemRole = Qt::UserRole; // where insertItem keeps its data

} // namespace

void TQtComboTarget::Clear() {
    const QSignalBlocker quiet(Combo);
    Combo->clear();
}

int TQtComboTarget::Add(const std::string& text, void* item) {
    const QString q = ToQ(text);
    const QVariant data = QVariant::fromValue(reinterpret_cast<quintptr>(item));
    int at = Combo->count();
    if (Sorted) {
        int lo = 0, hi = Combo->count();
        while (lo < hi && Item(lo) == nullptr)
            ++lo; // entries without a record lead
        if (item == nullptr) {
            at = lo;
        } else {
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                if (QString::localeAwareCompare(Combo->itemText(mid), q) <= 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            at = lo;
        }
    }
    const QSignalBlocker quiet(Combo);
    Combo->insertItem(at, q, data);
    return at;
}

int TQtComboTarget::Count() const {
    return Combo->count();
}

void* TQtComboTarget::Item(int index) const {
    if (index < 0 || index >= Combo->count())
        return nullptr;
    return reinterpret_cast<void*>(Combo->itemData(index, ItemRole).value<quintptr>());
}

void TQtComboTarget::SetItemIndex(int index) {
    const QSignalBlocker quiet(Combo);
    Combo->setCurrentIndex(index < Combo->count() ? index : -1);
}

void TQtComboTarget::SelectItem(const void* item) {
    int found = -1;
    for (int i = 0; item != nullptr && i < Combo->count(); ++i)
        if (Item(i) == item)
            found = i;
    SetItemIndex(found);
}

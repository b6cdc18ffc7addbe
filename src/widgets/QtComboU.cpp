#include "widgets/QtComboU.h"

#include "widgets/LocaleSortU.h"
#include "widgets/QtTextU.h"

#include <QSignalBlocker>
#include <QStandardItemModel>
#include <algorithm>
#include <numeric>

namespace {

QVariant Attached(void* item) {
    return QVariant::fromValue(reinterpret_cast<quintptr>(item));
}

} // namespace

void TQtComboTarget::Clear() {
    Pending.clear();
    const QSignalBlocker quiet(Combo);
    Combo->clear();
}

int TQtComboTarget::Add(const std::string& text, void* item) {
    if (Sorted && Combo->count() >= FixedHead) {
        Pending.emplace_back(ToQ(text), item);
        return Combo->count() + static_cast<int>(Pending.size()) - 1;
    }
    Flush();
    const QSignalBlocker quiet(Combo);
    const int at = Combo->count();
    Combo->insertItem(at, ToQ(text), Attached(item));
    return at;
}

void TQtComboTarget::Flush() const {
    if (Pending.empty())
        return;
    // The lines already there join the new ones, and all go in sorted, those without a record
    // first as they came.
    for (int i = FixedHead; i < Combo->count(); ++i)
        Pending.emplace_back(Combo->itemText(i), RawItem(i));
    std::stable_partition(Pending.begin(), Pending.end(),
                          [](const auto& line) { return line.second == nullptr; });
    const auto leading = std::count_if(Pending.begin(), Pending.end(),
                                       [](const auto& line) { return line.second == nullptr; });
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(Pending.size()) - leading);
    for (std::size_t i = static_cast<std::size_t>(leading); i < Pending.size(); ++i)
        texts << Pending[i].first;
    std::vector<int> order(static_cast<std::size_t>(leading));
    std::iota(order.begin(), order.end(), 0);
    for (int i : LocaleOrder(texts))
        order.push_back(i + static_cast<int>(leading));
    const QSignalBlocker quiet(Combo);
    auto* model = qobject_cast<QStandardItemModel*>(Combo->model());
    if (model != nullptr) {
        if (Combo->count() > FixedHead)
            model->removeRows(FixedHead, Combo->count() - FixedHead);
        QList<QStandardItem*> rows;
        rows.reserve(static_cast<qsizetype>(order.size()));
        for (int i : order) {
            auto* row = new QStandardItem(Pending[static_cast<std::size_t>(i)].first);
            row->setData(Attached(Pending[static_cast<std::size_t>(i)].second), Qt::UserRole);
            rows << row;
        }
        model->invisibleRootItem()->insertRows(FixedHead, rows);
    } else {
        while (Combo->count() > FixedHead)
            Combo->removeItem(FixedHead);
        for (int i : order)
            Combo->addItem(Pending[static_cast<std::size_t>(i)].first,
                           Attached(Pending[static_cast<std::size_t>(i)].second));
    }
    Pending.clear();
}

int TQtComboTarget::Count() const {
    Flush();
    return Combo->count();
}

void* TQtComboTarget::Item(int index) const {
    Flush();
    return RawItem(index);
}

void* TQtComboTarget::RawItem(int index) const {
    if (index < 0 || index >= Combo->count())
        return nullptr;
    return reinterpret_cast<void*>(Combo->itemData(index).value<quintptr>());
}

void TQtComboTarget::SetItemIndex(int index) {
    Flush();
    const QSignalBlocker quiet(Combo);
    Combo->setCurrentIndex(index);
}

int TQtComboTarget::ItemIndex() const {
    Flush();
    return Combo->currentIndex();
}

void* TQtComboTarget::SelectedItem() const {
    Flush();
    return RawItem(Combo->currentIndex());
}

void TQtComboTarget::SelectItem(const void* item) {
    Flush();
    int found = -1;
    for (int i = 0; item != nullptr && i < Combo->count(); ++i)
        if (RawItem(i) == item)
            found = i;
    SetItemIndex(found);
}

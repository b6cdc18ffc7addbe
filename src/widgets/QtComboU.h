#pragma once

#include "ListTargetU.h"

#include <QComboBox>

// A combo box as the data's fill operations see it. A sorted combo keeps its entries in the
// order people sort names; entries without a record ("-- No City --") stay ahead of them.
class TQtComboTarget : public TListTarget {
public:
    TQtComboTarget(QComboBox* combo, bool sorted) : Combo(combo), Sorted(sorted) {}

    void Clear() override;
    int Add(const std::string& text, void* item) override;
    int Count() const override;
    void* Item(int index) const override;
    void SetChecked(int, bool) override {}
    // A selection made by code is no choice of the user: the combo's signals stay quiet.
    void SetItemIndex(int index) override;

    int ItemIndex() const { return Combo->currentIndex(); }
    // The record of the selected entry, or none.
    void* SelectedItem() const { return Item(ItemIndex()); }
    // Selects the entry that carries the record; none when no entry does.
    void SelectItem(const void* item);

    QComboBox* Combo;

private:
    bool Sorted;
};

#pragma once

#include "ListTargetU.h"

#include <QComboBox>

// A combo box as the data's fill operations see it. A sorted combo keeps its lines after the
// first fixedHead ones in locale order, whatever order they are added in; the head lines (an
// "any" entry) stay where they were added.
class TQtComboTarget : public TListTarget {
public:
    TQtComboTarget(QComboBox* combo, bool sorted, int fixedHead = 0)
        : Combo(combo), Sorted(sorted), FixedHead(fixedHead) {}

    void Clear() override;
    int Add(const std::string& text, void* item) override;
    int Count() const override;
    void* Item(int index) const override;
    void SetChecked(int, bool) override {}
    // Selecting by code is no choice of the user's: no handler runs.
    void SetItemIndex(int index) override;

    int ItemIndex() const { return Combo->currentIndex(); }
    // The record of the selected line, none when nothing or a line without one is selected.
    void* SelectedItem() const;

    QComboBox* Combo;

private:
    bool Sorted;
    int FixedHead;
};

#pragma once

#include "data/ListTargetU.h"

#include <QComboBox>
#include <QString>
#include <utility>
#include <vector>

// A combo box as the data's fill operations see it. A sorted combo keeps its lines after the
// first fixedHead ones in the order people sort names, whatever order they are added in; the
// head lines (an "any" entry) and lines without a record ("-- No City --") lead in the order
// they were added. Sorted lines are gathered and put in place in one
// go when the combo is next asked anything: inserting thousands one by one is slow.
class TQtComboTarget : public TListTarget {
public:
    TQtComboTarget(QComboBox* combo, bool sorted, int fixedHead = 0)
        : Combo(combo), Sorted(sorted), FixedHead(fixedHead) {}

    void Clear() override;
    // For a sorted combo, the answer is only where the line goes for now.
    int Add(const std::string& text, void* item) override;
    int Count() const override;
    void* Item(int index) const override;
    void SetChecked(int, bool) override {}
    // Selecting by code is no choice of the user's: no handler runs.
    void SetItemIndex(int index) override;

    int ItemIndex() const;
    // The record of the selected line, none when nothing or a line without one is selected.
    void* SelectedItem() const;
    // Selects the line that carries the record; none when no line does.
    void SelectItem(const void* item);

    QComboBox* Combo;

private:
    void Flush() const;
    void* RawItem(int index) const;

    bool Sorted;
    int FixedHead;
    mutable std::vector<std::pair<QString, void*>> Pending;
};

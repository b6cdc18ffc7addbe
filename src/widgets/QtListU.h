#pragma once

#include "data/ListTargetU.h"
#include "data/TypeAheadU.h"

#include <QLineEdit>
#include <QListWidget>
#include <QStringList>
#include <vector>

// A list widget as the data's fill operations and the type-ahead see it. A sorted list keeps
// its lines in the order people sort names (CompareNames) whatever order they are added in.
class TQtListTarget : public TListTarget, public TSearchList {
public:
    TQtListTarget(QListWidget* list, bool sorted, bool checkList)
        : List(list), Sorted(sorted), CheckList(checkList) {}

    void Clear() override;
    int Add(const std::string& text, void* item) override;
    int Count() const override;
    void* Item(int index) const override;
    bool IsCheckList() const override { return CheckList; }
    void SetChecked(int index, bool checked) override;
    void SetItemIndex(int index) override;

    std::string Text(int index) const override;
    void SetTopIndex(int index) override;

    bool Checked(int index) const;
    int ItemIndex() const { return List->currentRow(); }

    // Lines added between these two go into a sorted list in one go: a sorted insert each costs
    // a list update, which over thousands of lines is slow. Meanwhile Add answers -1 and the
    // lines are not in the list yet.
    void BeginFill();
    void EndFill();

    QListWidget* List;

private:
    bool Sorted;
    bool CheckList;
    bool Filling = false;
    QStringList PendingTexts;
    std::vector<void*> PendingItems;
};

class TQtSearchEdit : public TSearchEdit {
public:
    explicit TQtSearchEdit(QLineEdit* edit) : Edit(edit) {}
    std::string Text() const override;
    void SetText(const std::string& text, bool notify) override;
    int SelStart() const override;
    int SelLength() const override;
    void SetSelection(int start, int length) override;

private:
    QLineEdit* Edit;
};

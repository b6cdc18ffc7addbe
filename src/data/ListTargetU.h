#pragma once

#include <string>
#include <vector>

// What the fill operations need of a list box, check-list box or combo box. Texts are
// Windows-1252 bytes; the window layer converts them for display.
class TListTarget {
public:
    virtual ~TListTarget() = default;
    virtual void Clear() = 0;
    // Appends a line with its attached item and answers the line's index.
    virtual int Add(const std::string& text, void* item) = 0;
    virtual int Count() const = 0;
    virtual void* Item(int index) const = 0;
    virtual bool IsCheckList() const { return false; }
    virtual void SetChecked(int index, bool checked) = 0;
    // Single selection: index -1 selects nothing.
    virtual void SetItemIndex(int index) = 0;
};

// A list kept in memory; stands in for a widget in tests and command-line tools.
class TMemoryList : public TListTarget {
public:
    struct Line {
        std::string Text;
        void* Item = nullptr;
        bool Checked = false;
    };

    explicit TMemoryList(bool checkList = false) : CheckList(checkList) {}
    void Clear() override;
    int Add(const std::string& text, void* item) override;
    int Count() const override { return static_cast<int>(Lines.size()); }
    void* Item(int index) const override { return Lines.at(index).Item; }
    bool IsCheckList() const override { return CheckList; }
    void SetChecked(int index, bool checked) override { Lines.at(index).Checked = checked; }
    void SetItemIndex(int index) override { ItemIndex = index; }

    std::vector<Line> Lines;
    int ItemIndex = -1;
    bool CheckList;
};

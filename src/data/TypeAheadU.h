#pragma once

#include <string>

// The search edit above a list, as the type-ahead needs it. Texts are Windows-1252 bytes.
class TSearchEdit {
public:
    virtual ~TSearchEdit() = default;
    virtual std::string Text() const = 0;
    // notify: whether the edit's change handling runs for this change.
    virtual void SetText(const std::string& text, bool notify) = 0;
    virtual int SelStart() const = 0;
    virtual int SelLength() const = 0;
    virtual void SetSelection(int start, int length) = 0;
};

// The list being searched, in its display order.
class TSearchList {
public:
    virtual ~TSearchList() = default;
    virtual int Count() const = 0;
    virtual std::string Text(int index) const = 0;
    virtual void SetItemIndex(int index) = 0; // -1 selects none
    virtual void SetTopIndex(int index) = 0;
};

// Selects the entry that the edit's text names best (case of A to Z ignored): the first whose
// whole name it is, else the first that begins with it; completes the edit with that entry
// (less a trailing " *") and selects the completion.
void IncrementalSearch(TSearchEdit& edit, TSearchList& list, int topOffset);

// Backspace on a completed text: drops the completion and the last typed character, and lets
// the search run again through the edit's change handling.
void BackspaceCompletion(TSearchEdit& edit);

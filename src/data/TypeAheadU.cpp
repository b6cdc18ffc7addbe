#include "TypeAheadU.h"

#include <algorithm>

namespace {

char FoldAsciiCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool StartsWithIgnoringCase(const std::string& entry, const std::string& prefix) {
    if (entry.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (FoldAsciiCase(entry[i]) != FoldAsciiCase(prefix[i]))
            return false;
    return true;
}

} // namespace

void IncrementalSearch(TSearchEdit& edit, TSearchList& list, int topOffset) {
    const int typed = static_cast<int>(edit.Text().size());
    list.SetItemIndex(-1);
    if (typed == 0)
        return;
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
        const std::string entry = list.Text(i);
        if (!StartsWithIgnoringCase(entry, edit.Text()))
            continue;
        list.SetItemIndex(i);
        if (topOffset > 0 && i - topOffset > 0)
            list.SetTopIndex(i - topOffset);
        std::string completed = entry;
        if (!completed.empty() && completed.back() == '*')
            completed.resize(completed.size() >= 2 ? completed.size() - 2 : 0);
        edit.SetText(completed, false);
        edit.SetSelection(typed, std::max(0, static_cast<int>(completed.size()) - typed));
    }
}

void BackspaceCompletion(TSearchEdit& edit) {
    if (edit.SelLength() <= 0)
        return;
    const int keep = edit.SelStart() - 1;
    edit.SetText(edit.Text().substr(0, keep > 0 ? static_cast<std::size_t>(keep) : 0), true);
}

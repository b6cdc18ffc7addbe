#include "data/TypeAheadU.h"

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

// Whether the entry's name ends where the typed text does: nothing follows, or the marker
// " *", or the places and offset that a full city name adds (", Peru", " (UTC -5)").
bool NamesWhole(const std::string& entry, std::size_t typed) {
    const std::string rest = entry.substr(typed);
    return rest.empty() || rest == " *" || rest.rfind(", ", 0) == 0 || rest.rfind(" (", 0) == 0;
}

} // namespace

void IncrementalSearch(TSearchEdit& edit, TSearchList& list, int topOffset) {
    const std::string typed = edit.Text();
    list.SetItemIndex(-1);
    if (typed.empty())
        return;
    int found = -1;
    std::string entry;
    const int count = list.Count();
    for (int i = 0; i < count; ++i) {
        std::string line = list.Text(i);
        if (!StartsWithIgnoringCase(line, typed))
            continue;
        const bool whole = NamesWhole(line, typed.size());
        if (found < 0 || whole) {
            found = i;
            entry = std::move(line);
        }
        if (whole)
            break;
    }
    if (found < 0)
        return;
    list.SetItemIndex(found);
    if (topOffset > 0 && found - topOffset > 0)
        list.SetTopIndex(found - topOffset);
    if (!entry.empty() && entry.back() == '*')
        entry.resize(entry.size() >= 2 ? entry.size() - 2 : 0);
    edit.SetText(entry, false);
    edit.SetSelection(static_cast<int>(typed.size()),
                      std::max(0, static_cast<int>(entry.size() - typed.size())));
}

void BackspaceCompletion(TSearchEdit& edit) {
    if (edit.SelLength() <= 0)
        return;
    const int keep = edit.SelStart() - 1;
    edit.SetText(edit.Text().substr(0, keep > 0 ? static_cast<std::size_t>(keep) : 0), true);
}

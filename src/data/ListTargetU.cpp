#include "data/ListTargetU.h"

void TMemoryList::Clear() {
    Lines.clear();
    ItemIndex = -1;
}

int TMemoryList::Add(const std::string& text, void* item) {
    Lines.push_back({text, item, false});
    return static_cast<int>(Lines.size()) - 1;
}

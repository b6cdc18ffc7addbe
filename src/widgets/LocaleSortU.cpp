#include "widgets/LocaleSortU.h"

#include "widgets/CollationU.h"

#include <QCollator>
#include <algorithm>
#include <numeric>

bool LocaleLess(const QString& a, const QString& b) {
    return CompareNames(a, b) < 0;
}

std::vector<int> LocaleOrder(const QStringList& texts) {
    static const QCollator collator = NameCollator(QLocale::system()); // as CompareNames sorts
    std::vector<QCollatorSortKey> keys;
    keys.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& t : texts)
        keys.push_back(collator.sortKey(t));
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return c != 0 ? c < 0 : QString::compare(texts.at(a), texts.at(b)) < 0;
    });
    return order;
}

std::vector<int> TLocaleOrderCache::Order(const QStringList& texts) {
    std::vector<int> ranks;
    ranks.reserve(static_cast<std::size_t>(texts.size()));
    for (const QString& t : texts) {
        const auto it = Rank.constFind(t);
        if (it == Rank.constEnd())
            break;
        ranks.push_back(*it);
    }
    if (ranks.size() == static_cast<std::size_t>(texts.size())) {
        std::vector<int> order(ranks.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return ranks[static_cast<std::size_t>(a)] < ranks[static_cast<std::size_t>(b)];
        });
        return order;
    }
    std::vector<int> order = LocaleOrder(texts);
    if (texts.size() >= Rank.size()) {
        Rank.clear();
        Rank.reserve(texts.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            Rank.insert(texts.at(order[i]), static_cast<int>(i));
    }
    return order;
}

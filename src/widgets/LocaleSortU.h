#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

// Lists "sorted by their text" sort as people sort names, in the user's locale. Texts the
// locale calls equal still get one fixed order.
bool LocaleLess(const QString& a, const QString& b);

// The positions of the texts in that order, equal texts in their given order. Compares each
// text's collation key, which for long lists is much faster than comparing the texts.
std::vector<int> LocaleOrder(const QStringList& texts);

// Remembers the order of the texts of the longest list it sorted, so that sorting texts it has
// seen needs no collation again: the search sorts its results on every keystroke. The order of
// texts depends on the texts alone, so what it remembers never goes stale.
class TLocaleOrderCache {
public:
    std::vector<int> Order(const QStringList& texts);

private:
    QHash<QString, int> Rank;
};

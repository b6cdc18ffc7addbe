#include "widgets/CollationU.h"
#include "widgets/QtListU.h"

#include <QListWidget>
#include <gtest/gtest.h>

namespace {

QStringList Lines(const QListWidget& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        lines.append(list.item(i)->text());
    return lines;
}

} // namespace

TEST(SortedLists, KeepNamesInTheOrderPeopleSortThem) {
    QListWidget widget;
    TQtListTarget list(&widget, true, false);
    int payload[7] = {};
    // Added as the data holds them, in its code page.
    const char* names[] = {"Szeged", "Z\xFCrich", "S\xE3o Paulo", "apple",
                           "Zagreb", "Apple",     "Berlin"};
    for (int i = 0; i < 7; ++i)
        list.Add(names[i], &payload[i]);
    EXPECT_EQ(Lines(widget).join(u'|'),
              QStringLiteral("apple|Apple|Berlin|São Paulo|Szeged|Zagreb|Zürich"));
    EXPECT_EQ(list.Item(3), &payload[2]) << "each line keeps its item";
    EXPECT_EQ(list.Text(3), "S\xE3o Paulo") << "in the data's code page";

    // Equal lines stay in the order they came; an unsorted list keeps that order throughout.
    list.Add("Berlin", &payload[0]);
    EXPECT_EQ(list.Item(2), &payload[6]);
    EXPECT_EQ(list.Item(3), &payload[0]);
    QListWidget plainWidget;
    TQtListTarget plain(&plainWidget, false, false);
    plain.Add("b", nullptr);
    plain.Add("a", nullptr);
    EXPECT_EQ(Lines(plainWidget).join(u'|'), QStringLiteral("b|a"));
}

TEST(SortedLists, CollateByTheLocaleAndAsEnglishUnderC) {
    const QCollator c = NameCollator(QLocale::c());
    EXPECT_LT(CompareNames(c, QStringLiteral("São Paulo"), QStringLiteral("Szeged")), 0)
        << "a C locale must not fall back to code order";
    EXPECT_LT(CompareNames(c, QStringLiteral("sao paulo"), QStringLiteral("São Paulo")), 0);
    EXPECT_LT(CompareNames(c, QStringLiteral("Østfold"), QStringLiteral("Zagreb")), 0);
    EXPECT_NE(CompareNames(c, QStringLiteral("Apple"), QStringLiteral("apple")), 0)
        << "only equal texts are equal";
    EXPECT_EQ(CompareNames(c, QStringLiteral("Apple"), QStringLiteral("Apple")), 0);

    // The user's locale rules: in Swedish Ö comes after Z.
    const QCollator sv = NameCollator(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_GT(CompareNames(sv, QStringLiteral("Östersund"), QStringLiteral("Zagreb")), 0);
}

#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

// Sorting names as people sort them: by the user's locale, letters first, with accents and then
// case deciding only between names that are otherwise equal ("São Paulo" before "Szeged").

// The collator for a locale; a C or POSIX locale, which would sort by code, sorts as English.
QCollator NameCollator(const QLocale& locale);

// -1, 0 or 1 by the collator; names it finds equal are ordered by their code points, so that
// only equal texts compare equal.
int CompareNames(const QCollator& collator, const QString& a, const QString& b);

// The same with the collator of the user's locale, made once.
int CompareNames(const QString& a, const QString& b);

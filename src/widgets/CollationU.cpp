#include "widgets/CollationU.h"

QCollator NameCollator(const QLocale& locale) {
    const bool plain = locale.language() == QLocale::C;
    QCollator c(plain ? QLocale(QLocale::English, QLocale::UnitedStates) : locale);
    c.setCaseSensitivity(Qt::CaseSensitive); // case counts, but only after letters and accents
    c.setNumericMode(false);
    c.setIgnorePunctuation(false);
    return c;
}

int CompareNames(const QCollator& collator, const QString& a, const QString& b) {
    int r = collator.compare(a, b);
    if (r == 0)
        r = QString::compare(a, b, Qt::CaseSensitive);
    return (r > 0) - (r < 0);
}

int CompareNames(const QString& a, const QString& b) {
    static const QCollator collator = NameCollator(QLocale::system());
    return CompareNames(collator, a, b);
}

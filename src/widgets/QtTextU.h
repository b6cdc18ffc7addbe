#pragma once

#include "data/AnsiTextU.h"

#include <QString>
#include <string>

// Windows-1252 bytes of the data to and from the toolkit's strings.
inline QString ToQ(const std::string& ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
}

// False when the text holds a character the data cannot store.
inline bool FromQ(const QString& text, std::string& ansi) {
    return Utf8ToAnsi(text.toStdString(), ansi);
}

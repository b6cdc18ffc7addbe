#pragma once

#include <string>

// Texts are held as Windows-1252 bytes, the way the city-list file stores them. These convert
// to and from UTF-8 for display and input; every byte value maps to a code point and back.
std::string AnsiToUtf8(const std::string& ansi);
// False when the text holds a character the code page cannot store (out is then unchanged), or
// when it is not valid UTF-8.
bool Utf8ToAnsi(const std::string& utf8, std::string& out);
bool CanHoldAsAnsi(const std::string& utf8);

// The code point of one Windows-1252 byte, and the byte of a code point (-1 when none).
char32_t AnsiCharToUnicode(unsigned char c);
int UnicodeToAnsiChar(char32_t cp);

// Removes leading and trailing blanks and control characters (every byte up to 32).
std::string TrimAnsi(const std::string& s);

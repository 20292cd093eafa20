#pragma once
#include <windows.h>

#include <string>

// Text is UTF-16 inside the program; these convert to and from the system
// ANSI code page (Shift-JIS on Japanese Windows) for the A functions.
// Embedded NULs are kept; a character the code page lacks becomes its
// default character.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& bytes);

// The longest prefix of at most maxBytes bytes that does not end in the
// first half of a double-byte character.
std::string CutAnsi(const std::string& bytes, size_t maxBytes);

// True when the text survives the trip to the ANSI code page unchanged.
bool IsAnsiRepresentable(const std::wstring& text);

// The number in decimal digits, with a minus sign when negative. Used where
// std::to_wstring would do: that one goes through the C runtime's wide
// printf, which brings a whole formatting engine into the exe.
std::wstring DecimalText(long long value);

// A separator of the user's locale, read into a buffer of fixed size: false
// when the locale has none of this type or one too long for that buffer.
bool UserLocaleSeparator(LCTYPE type, std::wstring& text);

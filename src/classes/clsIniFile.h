#pragma once
#include <string>

#include "../runtime/VBTypes.h"

// Reads and writes single keys of one INI file through the profile functions.
// Only setFile ever creates the file; reads and writes on a file that has
// gone missing do nothing, so the profile functions never create it either.
class clsIniFile {
public:
    // Binds to the file, creating it empty when it is missing or IblnInit is
    // True. False (and the previous binding kept) when that fails.
    bool setFile(const std::wstring& IstrFilePath, bool IblnInit = false);
    bool setValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName, const std::wstring& IstrValue);
    // The value, at most 255 bytes of it; "" when missing, empty or unbound.
    std::wstring getValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName);
    // The value as a 16-bit number (a half rounds to even), IintValue when it
    // is not numeric; raises the overflow error 6 beyond -32768..32767.
    Integer getIntValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName, Integer IintValue = 0);
    // The same rules for a 32-bit number, for values that can exceed 16 bits.
    Long getLongValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName, Long IlngValue = 0);

private:
    std::wstring mstrFilePath;
    bool mblnFileSet = false;
};

// The numeric test of the settings file: optional blanks and sign, digits
// with the locale's decimal and grouping separators, an optional exponent.
// The value comes out rounded to an integer, a half to the even one.
bool ParseNumericText(const std::wstring& text, double& value);

// A directory search for exactly this path: normal, read-only and archive
// files count; folders, hidden and system files do not.
bool FileExists(const std::wstring& path);
// The read-only mark, which the user sets to keep a file as it is.
bool IsReadOnly(const std::wstring& path);

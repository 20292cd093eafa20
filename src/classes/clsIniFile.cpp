#include "clsIniFile.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cwctype>

#include "../runtime/Error.h"
#include "../runtime/Handle.h"
#include "../runtime/Text.h"

namespace {
constexpr DWORD kValueBufferSize = 256;
constexpr DWORD kNotOrdinaryFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    std::wstring text;
    if (!UserLocaleSeparator(type, text) || text.empty()) return fallback;
    return text;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Walks a numeric text and writes it out in the C locale's notation.
class NumberScanner {
public:
    explicit NumberScanner(const std::wstring& text)
        : text_(text), decimal_(LocaleText(LOCALE_SDECIMAL, L".")), grouping_(LocaleText(LOCALE_STHOUSAND, L",")) {}

    bool Scan(std::string& cText) {
        SkipBlanks();
        Sign();
        const int wholeDigits = Digits(true);
        int fractionDigits = 0;
        if (Match(decimal_)) {
            out_ += '.';
            fractionDigits = Digits(false);
        }
        if (wholeDigits + fractionDigits == 0) return false;
        if (!Exponent()) return false;
        SkipBlanks();
        cText = out_;
        return at_ == text_.size();
    }

private:
    void SkipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
    }
    void Sign() {
        if (at_ < text_.size() && (text_[at_] == L'+' || text_[at_] == L'-')) {
            if (text_[at_] == L'-') out_ += '-';
            ++at_;
        }
    }
    bool Match(const std::wstring& token) {
        if (token.empty() || text_.compare(at_, token.size(), token) != 0) return false;
        at_ += token.size();
        return true;
    }
    // Grouping separators count only between digits of the whole part.
    int Digits(bool allowGrouping) {
        int count = 0;
        for (;;) {
            if (at_ < text_.size() && IsDigit(text_[at_])) {
                out_ += static_cast<char>(text_[at_++]);
                ++count;
            } else if (allowGrouping && count > 0 && at_ + grouping_.size() < text_.size() &&
                       text_.compare(at_, grouping_.size(), grouping_) == 0 && IsDigit(text_[at_ + grouping_.size()])) {
                at_ += grouping_.size();
            } else {
                return count;
            }
        }
    }
    bool Exponent() {
        if (at_ >= text_.size() || std::wcschr(L"eEdD", text_[at_]) == nullptr) return true;
        ++at_;
        out_ += 'e';
        Sign();
        return Digits(false) > 0;
    }

    const std::wstring& text_;
    std::wstring decimal_;
    std::wstring grouping_;
    size_t at_ = 0;
    std::string out_;
};

// Rounds "[-]digits[.digits][e[-]digits]" to the nearest integer, a half to
// the even one, from the digits as written: the nearest double can land on a
// half that the text is not (2.50000000000000000001 is nearer 3 than 2).
double RoundHalfEven(const std::string& cText) {
    const size_t sign = cText[0] == '-' ? 1 : 0;
    const size_t exponentAt = std::min(cText.find('e'), cText.size());
    std::string digits = cText.substr(sign, exponentAt - sign);
    const size_t point = std::min(digits.find('.'), digits.size());
    if (point < digits.size()) digits.erase(point, 1);
    const size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, zeros);
    const long exponent = exponentAt < cText.size() ? std::strtol(cText.c_str() + exponentAt + 1, nullptr, 10) : 0;
    // How many digits stand before the point; beyond 15 no range holds it.
    const long whole = static_cast<long>(point) - static_cast<long>(zeros) + std::clamp(exponent, -100000L, 100000L);
    if (digits.empty() || whole < 0) return 0.0;
    if (whole > 15) return sign ? -HUGE_VAL : HUGE_VAL;
    const size_t cut = static_cast<size_t>(whole);
    double value = 0.0;
    for (size_t i = 0; i < cut; ++i) value = value * 10.0 + (i < digits.size() ? digits[i] - '0' : 0);
    const char next = cut < digits.size() ? digits[cut] : '0';
    const bool rest = cut < digits.size() && digits.find_first_not_of('0', cut + 1) != std::string::npos;
    if (next > '5' || (next == '5' && (rest || std::fmod(value, 2.0) == 1.0))) value += 1.0;
    return sign ? -value : value;
}

// Raises the overflow error outside [low, high].
double CheckRange(double value, double low, double high) {
    if (!std::isfinite(value) || value < low || value > high) RaiseOverflow();
    return value;
}

// The profile functions take the path in the ANSI code page. A folder that
// the code page cannot spell (Hangul or an emoji on a Japanese system) is
// made the current folder for the length of one call, and the file named
// relative to it; the current folder is put back afterwards.
class ProfilePath {
public:
    explicit ProfilePath(const std::wstring& path) : ansi_(ToAnsi(path)) {
        const size_t slash = path.find_last_of(L"\\/");
        if (IsAnsiRepresentable(path) || slash == std::wstring::npos) return;
        std::wstring previous(GetCurrentDirectoryW(0, nullptr), L'\0');
        previous.resize(GetCurrentDirectoryW(static_cast<DWORD>(previous.size()), previous.data()));
        if (previous.empty() || !SetCurrentDirectoryW(path.substr(0, slash + 1).c_str())) return;
        previous_ = previous;
        ansi_ = ".\\" + ToAnsi(path.substr(slash + 1));
    }
    ~ProfilePath() {
        if (!previous_.empty()) SetCurrentDirectoryW(previous_.c_str());
    }
    ProfilePath(const ProfilePath&) = delete;
    ProfilePath& operator=(const ProfilePath&) = delete;
    const char* c_str() const { return ansi_.c_str(); }

private:
    std::string ansi_;
    std::wstring previous_;
};

bool CreateEmptyFile(const std::wstring& path) {
    if (IsReadOnly(path)) return false;
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}
}  // namespace

bool ParseNumericText(const std::wstring& text, double& value) {
    std::string cText;
    if (!NumberScanner(text).Scan(cText)) return false;
    value = RoundHalfEven(cText);
    return true;
}

// Windows refuses to write a read-only file; a process with the rights to
// ignore the flag (root under Wine) must refuse all the same.
bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool FileExists(const std::wstring& path) {
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(path.c_str(), &found));
    if (!search) return false;
    return (found.dwFileAttributes & kNotOrdinaryFile) == 0;
}

bool clsIniFile::setFile(const std::wstring& IstrFilePath, bool IblnInit) {
    try {
        // The file's own name goes to the profile functions in the ANSI code
        // page: one that does not survive that could name another file.
        const size_t slash = IstrFilePath.find_last_of(L"\\/");
        if (IstrFilePath.empty() || !IsAnsiRepresentable(IstrFilePath.substr(slash + 1))) return false;
        if ((!FileExists(IstrFilePath) || IblnInit) && !CreateEmptyFile(IstrFilePath)) return false;
        mstrFilePath = IstrFilePath;
        mblnFileSet = true;
        return true;
    } catch (...) {
        return false;
    }
}

bool clsIniFile::setValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName,
                          const std::wstring& IstrValue) {
    try {
        if (!mblnFileSet || !FileExists(mstrFilePath) || IsReadOnly(mstrFilePath)) return false;
        const ProfilePath file(mstrFilePath);
        return WritePrivateProfileStringA(ToAnsi(IstrSection).c_str(), ToAnsi(IstrKeyName).c_str(),
                                          ToAnsi(IstrValue).c_str(), file.c_str()) != 0;
    } catch (...) {
        return false;
    }
}

std::wstring clsIniFile::getValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName) {
    try {
        if (!mblnFileSet || !FileExists(mstrFilePath)) return L"";
        char buffer[kValueBufferSize] = {};
        const ProfilePath file(mstrFilePath);
        const DWORD copied = GetPrivateProfileStringA(ToAnsi(IstrSection).c_str(), ToAnsi(IstrKeyName).c_str(), "",
                                                      buffer, kValueBufferSize, file.c_str());
        if (copied == 0) return L"";
        buffer[kValueBufferSize - 1] = '\0';
        // A cut value may end in half of a double-byte character: drop it.
        return FromAnsi(CutAnsi(buffer, kValueBufferSize - 1));
    } catch (...) {
        return L"";
    }
}

Integer clsIniFile::getIntValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName, Integer IintValue) {
    double value;
    if (!ParseNumericText(getValue(IstrSection, IstrKeyName), value)) return IintValue;
    return static_cast<Integer>(CheckRange(value, -32768.0, 32767.0));
}

Long clsIniFile::getLongValue(const std::wstring& IstrSection, const std::wstring& IstrKeyName, Long IlngValue) {
    double value;
    if (!ParseNumericText(getValue(IstrSection, IstrKeyName), value)) return IlngValue;
    return static_cast<Long>(CheckRange(value, -2147483648.0, 2147483647.0));
}

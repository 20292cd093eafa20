#include "Text.h"

#include <windows.h>

#include <iterator>

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::wstring FromAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), needed);
    return text;
}

std::string CutAnsi(const std::string& bytes, size_t maxBytes) {
    size_t end = 0;
    while (end < bytes.size()) {
        const size_t width = IsDBCSLeadByte(static_cast<BYTE>(bytes[end])) ? 2 : 1;
        if (end + width > maxBytes || end + width > bytes.size()) break;
        end += width;
    }
    return bytes.substr(0, end);
}

bool IsAnsiRepresentable(const std::wstring& text) {
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(text.size());
    if (size == 0) return true;
    const int needed =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &usedDefault);
    return needed > 0 && !usedDefault;
}

std::wstring DecimalText(long long value) {
    // Counts in the negative range, which also holds the most negative value.
    long long rest = value < 0 ? value : -value;
    wchar_t digits[24];
    wchar_t* first = digits + 24;
    do {
        *--first = static_cast<wchar_t>(L'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0) *--first = L'-';
    return std::wstring(first, digits + 24);
}

bool UserLocaleSeparator(LCTYPE type, std::wstring& text) {
    // The system's separators are at most three characters long.
    wchar_t buffer[8] = L"";
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer))) == 0) return false;
    text = buffer;
    return true;
}

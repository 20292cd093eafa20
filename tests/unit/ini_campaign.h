#pragma once
// Settings files made from a seed, and what the settings rules say a load of
// one must give, worked out here without the program's own reader.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/VBTypes.h"

namespace campaign {

enum class Kind { Empty, RandomBytes, Canonical, Noisy, Numbers, ShiftJis, LineEnds, Duplicates, Nul, LongLine, Huge };
const char* KindName(Kind kind);

struct GeneratedFile {
    Kind kind;
    std::string bytes;
    // Written exactly as the profile functions write a file (CRLF, no blank
    // lines, no blanks around names and values, valid Shift-JIS): a rewrite
    // by them must give back every line byte for byte.
    bool platformLayout = false;
};

// The same seed and number always give the same file.
GeneratedFile Generate(uint32_t seed, int number);

// The eight settings, in the order the program reads and writes them.
struct Setting {
    const char* section;
    const char* key;
    enum Type { Number32, Number16, Flag } type;
    Long fallback;
    Long low, high;  // what the menus offer; for a position, the screen
};
extern const Setting kSettings[8];
using Values = std::array<Long, 8>;  // Booleans as -1 / 0

// Reading a file by the settings rules: the texts as the platform's profile
// lookup gives them, cut to 255 bytes, then each by its key's rule.
struct Expectation {
    std::string text[8];
    int overflowAt = -1;  // the setting whose number is out of range
    Values values{};
};
Expectation Expect(const std::wstring& path);
// The text as GetPrivateProfileStringA gives it with a 256-byte buffer.
std::string ProfileText(const std::wstring& path, const char* section, const char* key);
// The texts a save of these values writes.
std::string TextOf(const Setting& setting, Long value);

// The lines other than the eight settings' own: of the file as the profile
// functions list it (one "[name]" line per section, then its entries), or of
// the file's own CRLF lines.
std::vector<std::string> OtherEntries(const std::wstring& path);
std::vector<std::string> OtherLines(const std::string& bytes);
// Empty when "after" is "before" plus at most, at the end, headers of the
// settings' sections that "before" lacked; else where they first differ.
std::string Difference(const std::vector<std::string>& before, const std::vector<std::string>& after);

std::string Describe(const std::string& bytes, size_t limit = 400);
}  // namespace campaign

#pragma once
// Settings files made from a seed, and what the settings rules say a load of
// one must give, worked out here without the program's own reader.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/VBTypes.h"

namespace campaign {

enum class Kind { Empty, RandomBytes, Canonical, Noisy, Numbers, ShiftJis, LineEnds, Duplicates, Nul, LongLine, Huge };
constexpr int kKindCount = 11;
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
// KALVORY_CAMPAIGN_SEED, or the fixed default.
uint32_t SeedFromEnvironment();

// The eight settings, in the order the program reads and writes them.
struct Setting {
    const char* section;
    const char* key;
    enum Type { Number32, Number16, Flag } type;
    Long fallback;
};
extern const Setting kSettings[8];

struct Values {
    Long number[8] = {};  // Booleans as -1 / 0
    bool operator==(const Values& other) const;
};

// Reading a file by the settings rules: the texts as the platform's profile
// lookup gives them, cut to 255 bytes, then each by its key's rule.
struct Expectation {
    std::string text[8];
    bool overflow = false;
    int overflowAt = -1;  // the setting whose number is out of range
    Values values;
};
Expectation Expect(const std::wstring& path);
// The text as GetPrivateProfileStringA gives it with a 256-byte buffer.
std::string ProfileText(const std::wstring& path, const char* section, const char* key);

// Every section and entry of the file as the profile functions list them,
// apart from the eight settings themselves.
struct Section {
    std::string name;
    std::vector<std::string> entries;
    bool operator==(const Section& other) const { return name == other.name && entries == other.entries; }
};
std::vector<Section> OtherEntries(const std::wstring& path);
// Whether "after" is "before", give or take the settings' sections added at
// the end by a save.
bool SameApartFromAddedSections(const std::vector<Section>& before, const std::vector<Section>& after);

// For a file in the platform's layout: whether every other line of "before" is in "after" byte for byte and in
// the same order, and "after" adds at most the settings' section headers at
// the end, for sections that "before" lacked.
bool SameOtherLines(const std::string& before, const std::string& after);

// The texts a save of these values writes.
std::string TextOf(const Setting& setting, Long value);

std::string Describe(const std::string& bytes, size_t limit = 400);
}  // namespace campaign

#include "ini_campaign.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>
#include <string_view>

namespace campaign {

const Setting kSettings[8] = {
    {"Window Design", "Top", Setting::Number32, 1000, 0, 12000},
    {"Window Design", "Left", Setting::Number32, 1000, 0, 12000},
    {"Window Design", "Font Size", Setting::Number16, 16, 1, 16},
    {"Window Design", "Font Color", Setting::Number16, 1, 1, 6},
    {"Window Design", "Font Bold", Setting::Flag, 0, -1, 0},
    {"Window Design", "Translucence", Setting::Number16, 0, 0, 10},
    {"Config", "Disp Clock", Setting::Flag, 0, -1, 0},
    {"Config", "Time Tone", Setting::Flag, 0, -1, 0},
};

namespace {
// Per kind: its share of every 20 files, and the chances in percent that a
// file is in the platform's layout, has Shift-JIS text, repeats sections and
// keys, and that a number is an edge case.
struct KindInfo {
    const char* name;
    int share, layout, shiftJis, duplicates, edges;
};
const KindInfo kKinds[] = {
    {"empty", 0, 0, 0, 0, 0},        {"random bytes", 2, 0, 0, 0, 0},   {"platform layout", 5, 100, 30, 20, 15},
    {"noisy", 3, 0, 0, 0, 15},       {"numbers", 3, 50, 0, 0, 60},      {"Shift-JIS", 2, 50, 100, 0, 15},
    {"line ends", 2, 0, 0, 0, 15},   {"duplicates", 2, 50, 0, 100, 15}, {"NUL bytes", 1, 0, 0, 0, 15},
    {"64 KB line", 0, 50, 0, 0, 15}, {"1 MB", 0, 100, 100, 0, 15}};

Kind KindOf(int number) {
    if (number % 1663 == 777) return Kind::Huge;
    if (number % 97 == 13) return Kind::LongLine;
    if (number % 211 == 5) return Kind::Empty;
    int slot = number % 20, kind = 0;
    while (slot >= kKinds[kind].share) slot -= kKinds[kind++].share;
    return static_cast<Kind>(kind);
}

struct Random {
    std::mt19937 engine;
    uint32_t Below(size_t n) { return static_cast<uint32_t>(engine() % n); }
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
    const std::string& Pick(const std::vector<std::string>& items) { return items[Below(items.size())]; }
};

// Names as the profile functions compare them: case does not count.
bool SameLetters(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }
void MakeLower(std::string& name) { CharLowerBuffA(name.data(), static_cast<DWORD>(name.size())); }

// Items written "a|b|c".
std::vector<std::string> Split(const char* text) {
    std::vector<std::string> items(1);
    for (; *text; ++text) *text == '|' ? (void)items.emplace_back() : items.back().push_back(*text);
    return items;
}

// Double-byte characters, some with the trail byte of "\\", and half-width
// katakana; then lone lead bytes, bad trail bytes, unassigned codes and
// stray high bytes.
const auto kValidShiftJis = Split(
    "\x82\xa0|\x83\x4a|\x8e\x9e|\x90\xdd|\x83\x5c|\x95\x5c|\x94\x5c|\x81\x5b|\x81\x40|\x82\x4f|\xb1|\xb6\xde|\xdf");
const auto kBrokenShiftJis = Split("\x81|\x81\x20|\x81\x7f|\x85\x40|\x80|\xa0|\xfd|\xfe|\xff|\xef\xbb|\x9f\x0d|\xe0");

// A text from the numeric grammar and its near misses.
std::string GrammarNumber(Random& rng) {
    auto digits = [&](int count) {
        std::string text;
        while (count-- > 0) text += static_cast<char>('0' + rng.Below(10));
        return text;
    };
    std::string text = rng.Chance(40) ? (rng.Chance(50) ? "-" : "+") : "";
    for (int i = 0, whole = rng.Between(0, 7); i < whole; ++i) {
        if (i > 0 && rng.Chance(15)) text += ",";
        text += digits(1);
    }
    if (rng.Chance(50)) text += "." + digits(rng.Between(0, 25));
    if (rng.Chance(25)) {
        text += "eEdD"[rng.Below(4)];
        if (rng.Chance(50)) text += rng.Chance(50) ? "-" : "+";
        text += digits(rng.Between(rng.Chance(90) ? 1 : 0, 3));
    }
    if (rng.Chance(15) && !text.empty())
        text.insert(rng.Below(text.size() + 1), 1, "0123456789.,+-eEdD x\t"[rng.Below(21)]);
    return text;
}

// A number at or one beyond a limit, or a half either side of one, with a
// tail that only its digits decide (the nearest double of
// 32767.49999999999999999999 is 32767.5), plain, grouped or with exponent.
std::string EdgeNumber(Random& rng, bool wide) {
    static const long long limits[] = {32767, -32768, 2147483647, -2147483648LL};
    static const auto tails = Split("||5|49999999999999999999|50000000000000000001");
    const long long number = limits[rng.Below(2) + (wide && rng.Chance(60) ? 2 : 0)] + rng.Between(-1, 1);
    const std::string digits = std::to_string(std::llabs(number)), tail = rng.Pick(tails);
    const std::string point = tail.empty() ? "" : "." + tail, sign = number < 0 ? "-" : rng.Chance(10) ? "+" : "";
    std::string grouped = digits;
    for (size_t at = grouped.size(); at > 3; at -= 3) grouped.insert(at - 3, ",");
    const std::string forms[] = {
        digits + point, grouped + point,
        digits.substr(0, 1) + "." + digits.substr(1) + tail + "E" + std::to_string(digits.size() - 1),
        digits + tail + "d-" + std::to_string(tail.size())};
    return sign + forms[rng.Below(4)];
}

// Texts whose number depends on where the 255-byte cut falls, and others the
// grammar does not make.
std::string OddNumber(Random& rng) {
    static const auto odd =
        Split("0x10|&H10|(5)|5-|1_000|- 5|\"  12 \"|\"\t-7\t\"|' 3 '|\"1 2\"|\x82\x50\x82\x51|1e400|-1e400");
    const std::string zeros(253 + rng.Below(3), '0'), blanks(zeros.size(), ' ');
    const std::string cut[] = {zeros + "12",        "-" + zeros + "5",      "1" + zeros + zeros, "0." + zeros + "1",
                               zeros + "7\x82\x50", "\"7" + blanks + "9\"", rng.Pick(odd)};
    return cut[rng.Below(7)];
}

std::string ValueFor(Random& rng, const Setting& setting, int edges) {
    static const auto flags = Split(
        "true|TRUE|-1|1|0||Tru|Truee|Yes|\"True\"|'True'|\"True|\" True \"|\x82\x73\x82\x92\x82\x95\x82\x85|True;");
    if (setting.type == Setting::Flag) return rng.Chance(65) ? (rng.Chance(60) ? "True" : "False") : rng.Pick(flags);
    const int roll = rng.Between(0, 99);
    if (rng.Chance(edges))
        return roll < 35   ? GrammarNumber(rng)
               : roll < 85 ? EdgeNumber(rng, setting.type == Setting::Number32)
                           : OddNumber(rng);
    // A position in twips is whole pixels, 15 twips each, mostly on the screen.
    const bool position = setting.type == Setting::Number32;
    const int number =
        position ? 15 * rng.Between(0, 800) * (roll < 10 ? -1 : 1) : rng.Between(setting.low, setting.high);
    const std::string n = std::to_string(position && roll >= 90 ? rng.Between(-40000, 40000) : number);
    const std::string forms[] = {n, n, n, n, "+" + n, "00" + n, n + ".0", "\"" + n + "\""};
    return forms[rng.Below(8)];
}

// A file as lines, joined with their line ends at the end.
struct Builder {
    Random& rng;
    bool layout;  // the platform's own layout, nothing it would rewrite
    bool shiftJis, duplicates;
    int edges;
    std::vector<std::string> lines;

    std::string Word(bool japanese) {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
        std::string word;
        for (int i = rng.Between(1, 10); i > 0; --i)
            word += japanese && rng.Chance(40) ? rng.Pick(kValidShiftJis) : std::string(1, letters[rng.Below(65)]);
        return word;
    }
    std::string Words() {
        std::string text = Word(shiftJis);
        for (int i = rng.Between(0, 4); i > 0; --i) text += " " + Word(shiftJis);
        return text;
    }
    std::string Blank() { return layout ? "" : rng.Pick(Split("| |\t|  ")); }

    // The platform trims blanks around a value: in its layout there are none.
    std::string Entry(const std::string& key, std::string value) {
        if (layout) {
            value.erase(0, std::min(value.find_first_not_of(" \t"), value.size()));
            value.erase(value.find_last_not_of(" \t") + 1);
        }
        return Blank() + key + Blank() + "=" + Blank() + value + (value.empty() ? "" : Blank());
    }

    // A line that no setting reads: foreign keys (some named like the
    // settings), comments, and what the platform drops or reshapes.
    std::string Noise() {
        const bool j = shiftJis;
        const uint32_t pick = rng.Below(layout ? 6 : 11);
        if (pick == 0) return Entry(Word(j), Words());
        if (pick == 1) return Entry(rng.Pick(Split("Top|Left|Font Size|Disp Clock")), GrammarNumber(rng));
        if (pick == 2) return (rng.Chance(50) ? ";" : "#") + Words();
        if (pick == 3) return Word(j);            // a key without a value
        if (pick == 4) return "[" + Word(false);  // an unclosed header is a key
        if (pick == 5) return Entry(Word(j), "");
        if (pick == 6) return rng.Pick(Split("| |\t|\x1a|\v|\f"));
        if (pick == 7) return "=" + Word(j);
        if (pick == 8) return Entry(Word(true), rng.Pick(kBrokenShiftJis) + Word(j));
        return "[" + Word(false) + "] tail";
    }

    // The settings' two sections (0, 1) and others (2) in any order.
    void Sections() {
        for (int i = rng.Chance(20) ? rng.Between(1, 3) : 0; i > 0; --i) lines.push_back(Noise());
        std::vector<int> blocks(static_cast<size_t>(rng.Between(0, 3)), 2);
        for (int i = 0; i < 2; ++i)
            if (rng.Chance(90)) blocks.push_back(i);
        for (int i = duplicates ? rng.Between(1, 2) : 0; i > 0; --i) blocks.push_back(rng.Between(0, 1));
        std::shuffle(blocks.begin(), blocks.end(), rng.engine);
        for (int block : blocks) Section(block);
    }

    void Section(int block) {
        static const auto names =
            Split("Window Design|Config|General|Other|Window|Design|Config2|\x90\xdd\x92\xe8|Window Design2|Conf ig");
        std::string name = block < 2 ? names[block] : rng.Chance(50) ? names[2 + rng.Below(8)] : Word(shiftJis);
        std::vector<const Setting*> keys;
        for (const Setting& setting : kSettings) {
            if (name != setting.section) continue;
            if (rng.Chance(85)) keys.push_back(&setting);
            if (duplicates && rng.Chance(40)) keys.push_back(&setting);
        }
        if (block < 2 && rng.Chance(20)) MakeLower(name);
        lines.push_back(Blank() + "[" + Blank() + name + Blank() + "]");
        if (!layout && rng.Chance(10)) lines.back() += rng.Chance(50) ? " ; note" : "junk]";
        std::shuffle(keys.begin(), keys.end(), rng.engine);
        for (const Setting* setting : keys) {
            if (rng.Chance(30)) lines.push_back(Noise());
            std::string key = setting->key;
            if (rng.Chance(10)) MakeLower(key);
            lines.push_back(Entry(key, ValueFor(rng, *setting, edges)));
        }
        for (int i = block < 2 ? rng.Chance(30) : rng.Between(0, 6); i > 0; --i) lines.push_back(Noise());
    }

    // Never first in a section name: a header with an empty name makes the
    // platform move the keys under it into the section before when it
    // rewrites the file.
    void SprinkleNuls() {
        for (int i = rng.Between(1, 5); i > 0 && !lines.empty(); --i) {
            std::string& line = lines[rng.Below(lines.size())];
            const size_t name = line.find_first_not_of(" \t["), at = rng.Below(line.size() + 1);
            line.insert(line.find('[') < name && at <= name ? line.size() : at, 1, '\0');
        }
    }

    void LongLine() {
        const std::string head = rng.Pick(Split("Other=|;|Top=|[|"));
        const std::string line = head + std::string(65536, '7') + (head == "[" ? "]" : head.empty() ? "=k" : "");
        lines.insert(lines.begin() + rng.Between(0, static_cast<int>(lines.size())), line);
    }

    void Bulk() {
        lines.push_back("[Bulk]");
        for (size_t i = 0, size = 0; size < (1u << 20); ++i, size += lines.back().size() + 2)
            lines.push_back("entry" + std::to_string(i) + "=" + Words());
    }

    std::string Build(Kind kind) {
        Sections();
        if (kind == Kind::Nul) SprinkleNuls();
        if (kind == Kind::LongLine) LongLine();
        if (kind == Kind::Huge) Bulk();
        return Join(kind == Kind::LineEnds);
    }

    std::string Join(bool anyEnds) {
        static const auto ends = Split("\r\n|\n|\r|\n\r|\r\r\n");
        const size_t kind = anyEnds ? 1 + rng.Below(3) : 0;  // CRLF; LF, CR or mixed
        std::string bytes;
        for (size_t i = 0; i < lines.size(); ++i) {
            bytes += lines[i];
            if (i + 1 < lines.size() || !anyEnds || rng.Chance(70)) bytes += ends[kind < 3 ? kind : rng.Below(5)];
        }
        return bytes;
    }
};

std::string RandomBytes(Random& rng) {
    static const auto fragments = Split(
        "[Window Design]|[Config]|Top=|Left=|Font Size=|Font Bold=True|Disp Clock=True|Time Tone=|Translucence=|=|"
        "\r\n|\n|\r|;|32768|12");
    std::string bytes;
    for (size_t length = rng.Below(4097); bytes.size() < length;) {
        const int roll = rng.Between(0, 99);
        bytes += roll < 10 ? rng.Pick(fragments)
                           : std::string(1, roll < 40 ? "[]=\r\n;# \t\0"[rng.Below(10)]
                                                      : static_cast<char>(rng.Between(0, 255)));
    }
    // A header with an empty name makes the platform merge the keys under
    // it into the section before when it rewrites the file: a section name
    // here is never empty.
    for (size_t at = bytes.find('['); at != std::string::npos; at = bytes.find('[', at + 2)) bytes.insert(at + 1, "r");
    return bytes;
}

// The platform drops what follows a NUL in a line when it rewrites the
// file, and its next read changes what is left: blanks that now end a name
// or value are trimmed (two keys become one), and a key whose name was only
// a NUL is read as nameless, so a nameless key after it is dropped. A NUL
// here never follows a blank or starts a line.
void KeepNulsOffBlanks(std::string& bytes) {
    for (size_t i = bytes.find('\0'); i != std::string::npos; i = bytes.find('\0', i + 1)) {
        if (i == 0 || bytes[i - 1] == '\r' || bytes[i - 1] == '\n')
            bytes[i] = 'w';
        else if (std::string_view(" \t\v\f\x1a").find(bytes[i - 1]) != std::string_view::npos)
            bytes[i - 1] = 'w';
    }
}
}  // namespace

const char* KindName(Kind kind) { return kKinds[static_cast<int>(kind)].name; }

GeneratedFile Generate(uint32_t seed, int number) {
    std::seed_seq sequence{seed, static_cast<uint32_t>(number)};
    Random rng{std::mt19937(sequence)};
    const Kind kind = KindOf(number);
    const KindInfo& info = kKinds[static_cast<int>(kind)];
    Builder file{rng, rng.Chance(info.layout), rng.Chance(info.shiftJis), rng.Chance(info.duplicates), info.edges, {}};
    std::string bytes = kind == Kind::Empty         ? rng.Pick(Split("|\r\n|   |\r\n\r\n\t|\x1a|\n\n\n"))
                        : kind == Kind::RandomBytes ? RandomBytes(rng)
                                                    : file.Build(kind);
    KeepNulsOffBlanks(bytes);
    return {kind, bytes, file.layout || bytes.empty()};
}

namespace {
std::string Ansi(const std::wstring& text) {
    char bytes[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes, sizeof(bytes) - 1, nullptr, nullptr);
    return bytes;
}

// Blanks, a sign, digits with "," only between two, "." and digits, an
// exponent (e, E, d or D, a sign, at least one digit), blanks.
const std::regex kNumber("[ \t]*[-+]?([0-9]+(?:,[0-9]+)*)?(?:\\.([0-9]*))?(?:[eEdD]([-+]?[0-9]+))?[ \t]*");

// The nearest integer, a half to the even one, from the digits as written;
// false when no number.
bool ReadNumber(const std::string& text, long long& value) {
    std::smatch match;
    if (!std::regex_match(text, match, kNumber) || match.length(1) + match.length(2) == 0) return false;
    std::string digits = match.str(1) + match.str(2);
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    long long point = static_cast<long long>(digits.size() - match.str(2).size()), exponent = 0;
    for (char c : match.str(3))
        if (c >= '0') exponent = std::min(exponent * 10 + (c - '0'), 1000000000LL);
    const size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, zeros);
    point += (match.str(3)[0] == '-' ? -exponent : exponent) - static_cast<long long>(zeros);
    value = !digits.empty() && point > 12 ? LLONG_MAX : 0;  // more digits than any 32-bit number
    if (value) return true;
    const size_t whole = digits.empty() ? 0 : static_cast<size_t>(std::max(point, 0LL));
    for (size_t i = 0; i < whole; ++i) value = value * 10 + (i < digits.size() ? digits[i] - '0' : 0);
    // Above a half goes up, and a half when that makes the number even.
    const bool rest = digits.find_first_not_of('0', whole + 1) != std::string::npos;
    if (point >= 0 && whole < digits.size() && (digits[whole] > '5' || (digits[whole] == '5' && (rest || value % 2))))
        ++value;
    if (text.find('-') < text.find_first_of("eEdD")) value = -value;
    return true;
}

// The platform reads a setting from the first line of its key in the first
// section of its name: that line is the setting's own, the rest are not.
std::vector<std::string> WithoutSettings(const std::vector<std::string>& lines) {
    std::vector<std::string> kept, headers;
    unsigned seen = 0;  // a bit for each setting
    std::string section;
    bool first = false;
    for (const std::string& line : lines) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            first = std::none_of(headers.begin(), headers.end(), [&](const auto& h) { return SameLetters(h, line); });
            headers.push_back(line);
        } else if (first) {
            auto own = std::find_if(std::begin(kSettings), std::end(kSettings), [&](const Setting& s) {
                return SameLetters(section, s.section) && SameLetters(line.substr(0, line.find('=')), s.key);
            });
            const unsigned bit = 1u << (own - std::begin(kSettings));
            if (own != std::end(kSettings) && (seen & bit) == 0) {
                seen |= bit;
                continue;
            }
        }
        kept.push_back(line);
    }
    return kept;
}

// The strings of a double-NUL-terminated list that the call writes.
template <typename Call>
std::vector<std::string> Listed(Call call) {
    static std::vector<char> buffer(1 << 22);
    std::vector<std::string> items;
    for (size_t at = 0, length = call(buffer.data(), static_cast<DWORD>(buffer.size())); at < length;
         at += items.back().size() + 1)
        items.emplace_back(buffer.data() + at);
    return items;
}
}  // namespace

std::string ProfileText(const std::wstring& path, const char* section, const char* key) {
    char buffer[256] = {};
    const DWORD copied = GetPrivateProfileStringA(section, key, "", buffer, 256, Ansi(path).c_str());
    const std::string text(buffer, std::min<DWORD>(copied, 255));
    // Drops a double-byte character that the 255-byte buffer cut in half.
    size_t end = 0;
    auto width = [&] { return IsDBCSLeadByte(static_cast<BYTE>(text[end])) ? 2u : 1u; };
    while (end < text.size() && text[end] != '\0' && end + width() <= text.size()) end += width();
    return text.substr(0, end);
}

Expectation Expect(const std::wstring& path) {
    Expectation expected;
    for (int i = 0; i < 8 && expected.overflowAt < 0; ++i) {
        const Setting& setting = kSettings[i];
        const std::string& text = expected.text[i] = ProfileText(path, setting.section, setting.key);
        const long long high = setting.type == Setting::Number32 ? INT32_MAX : INT16_MAX;
        long long value = setting.fallback;
        if (setting.type == Setting::Flag)
            value = text == "True" ? -1 : 0;
        else if (ReadNumber(text, value) && (value < -high - 1 || value > high))
            expected.overflowAt = i;
        expected.values[i] = static_cast<Long>(value);
    }
    return expected;
}

std::string TextOf(const Setting& setting, Long value) {
    return setting.type != Setting::Flag ? std::to_string(value) : value ? "True" : "False";
}

std::vector<std::string> OtherEntries(const std::wstring& path) {
    const std::string file = Ansi(path);
    std::vector<std::string> names =
        Listed([&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, file.c_str()); });
    names.insert(names.begin(), "");  // the lines before the first header
    std::vector<std::string> lines;
    for (auto name = names.begin(); name != names.end(); ++name) {
        // A repeated name lists the first section of that name again.
        if (std::any_of(names.begin(), name, [&](const auto& before) { return SameLetters(before, *name); })) continue;
        const auto entries = Listed([&](char* buffer, DWORD size) {
            return GetPrivateProfileSectionA(name->c_str(), buffer, size, file.c_str());
        });
        lines.push_back("[" + *name + "]");
        lines.insert(lines.end(), entries.begin(), entries.end());
    }
    return WithoutSettings(lines);
}

std::vector<std::string> OtherLines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (size_t at = 0, end = 0; at < bytes.size(); at = end + 2) {
        end = std::min(bytes.find("\r\n", at), bytes.size());
        lines.push_back(bytes.substr(at, end - at) + (end == bytes.size() ? "<no line end>" : ""));
    }
    return WithoutSettings(lines);
}

std::string Difference(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    auto at = static_cast<size_t>(std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first -
                                  before.begin());
    auto added = [&](const std::string& line) {  // one not there before
        return std::none_of(after.begin(), after.begin() + static_cast<std::ptrdiff_t>(at),
                            [&](const auto& old) { return SameLetters(old, line); });
    };
    while (at >= before.size() && at < after.size() && (after[at] == "[Window Design]" || after[at] == "[Config]") &&
           added(after[at]))
        ++at;
    if (at >= before.size() && at == after.size()) return "";
    return "line " + std::to_string(at) + " '" + (at < before.size() ? Describe(before[at]) : "") + "' became '" +
           (at < after.size() ? Describe(after[at]) : "") + "'";
}

std::string Describe(const std::string& bytes, size_t limit) {
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        char escaped[8];
        std::snprintf(escaped, sizeof(escaped), c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", c);
        text += escaped;
    }
    return bytes.size() > limit ? text + "... (" + std::to_string(bytes.size()) + " bytes)" : text;
}
}  // namespace campaign

#include "ini_campaign.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace campaign {

const Setting kSettings[8] = {
    {"Window Design", "Top", Setting::Number32, 1000},
    {"Window Design", "Left", Setting::Number32, 1000},
    {"Window Design", "Font Size", Setting::Number16, 16},
    {"Window Design", "Font Color", Setting::Number16, 1},
    {"Window Design", "Font Bold", Setting::Flag, 0},
    {"Window Design", "Translucence", Setting::Number16, 0},
    {"Config", "Disp Clock", Setting::Flag, 0},
    {"Config", "Time Tone", Setting::Flag, 0},
};

const char* KindName(Kind kind) {
    static const char* const names[kKindCount] = {
        "empty",     "random bytes", "platform layout", "noisy",      "numbers", "Shift-JIS",
        "line ends", "duplicates",   "NUL bytes",       "64 KB line", "1 MB"};
    return names[static_cast<int>(kind)];
}

bool Values::operator==(const Values& other) const { return std::equal(number, number + 8, other.number); }

namespace {
constexpr uint32_t kDefaultSeed = 20260706;

class Random {
public:
    Random(uint32_t seed, int number, uint32_t stream = 0) {
        std::seed_seq sequence{seed, static_cast<uint32_t>(number), stream};
        engine_.seed(sequence);
    }
    uint32_t Below(size_t n) { return static_cast<uint32_t>(engine_() % n); }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Below(items.size())];
    }
    uint32_t Raw() { return engine_(); }

private:
    std::mt19937 engine_;
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Names as the profile functions compare them: case does not count.
bool SameLetters(const std::string& a, const char* b) {
    return a.size() == std::char_traits<char>::length(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) { return Lower(x) == Lower(y); });
}

// ---- pieces of text -------------------------------------------------------

const std::vector<std::string> kValidShiftJis = {
    "\x82\xa0", "\x82\xa9", "\x82\xf1", "\x83\x4a", "\x83\x89", "\x8e\x9e", "\x8c\x76", "\x90\xdd", "\x92\xe8",
    "\x83\x5c", "\x95\x5c", "\x94\x5c", "\x81\x5b", "\x81\x5d", "\x83\x5b", "\x81\x40", "\x81\x60", "\x82\x4f",
    "\x82\x54", "\xb1",     "\xb6\xde", "\xdf",     "\x88\x9f", "\x97\x5c", "\x8f\x5c", "\x82\x60"};
// Lone lead bytes, bad trail bytes, unassigned codes and stray high bytes.
const std::vector<std::string> kBrokenShiftJis = {"\x81", "\x81\x20", "\x81\x7f", "\x85\x40", "\x80",     "\xa0",
                                                  "\xfd", "\xfe",     "\xff",     "\xef\xbb", "\x9f\x0d", "\xe0"};

std::string Word(Random& rng, bool shiftJis) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
    std::string word;
    const int length = rng.Between(1, 10);
    for (int i = 0; i < length; ++i) {
        if (shiftJis && rng.Chance(40))
            word += rng.Pick(kValidShiftJis);
        else
            word += letters[rng.Below(sizeof(letters) - 1)];
    }
    return word;
}

std::string Words(Random& rng, bool shiftJis) {
    std::string text = Word(rng, shiftJis);
    for (int i = rng.Between(0, 4); i > 0; --i) text += " " + Word(rng, shiftJis);
    return text;
}

// ---- numbers --------------------------------------------------------------

std::string Digits(Random& rng, int count) {
    std::string digits;
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + rng.Below(10));
    return digits;
}

// A text from the numeric grammar and its near misses.
std::string GrammarNumber(Random& rng) {
    std::string text;
    if (rng.Chance(40)) text += rng.Chance(50) ? "-" : "+";
    const int whole = rng.Between(0, 7);
    for (int i = 0; i < whole; ++i) {
        if (i > 0 && rng.Chance(15)) text += ",";
        text += Digits(rng, 1);
    }
    if (rng.Chance(50)) text += "." + Digits(rng, rng.Between(0, 25));
    if (rng.Chance(25)) {
        text += "eEdD"[rng.Below(4)];
        if (rng.Chance(50)) text += rng.Chance(50) ? "-" : "+";
        text += Digits(rng, rng.Between(rng.Chance(90) ? 1 : 0, 3));
    }
    if (rng.Chance(15) && !text.empty()) {
        static const char odd[] = "0123456789.,+-eEdD x\t";
        const size_t at = rng.Below(text.size() + 1);
        text.insert(at, 1, odd[rng.Below(sizeof(odd) - 1)]);
    }
    return text;
}

const std::vector<std::string> kEdges16 = {
    "32767", "-32768", "32768", "-32769", "32767.5", "32766.5", "-32768.5", "-32767.5", "-32769.5", "32768.5",
    "32767.49999999999999999999", "-32768.50000000000000000001", "-32768.49999999999999999999",
    "2.50000000000000000001", "3.49999999999999999999", "0.5", "-0.5", "1.5", "-1.5", "2.5", "3.2767e4", "3.2768E4",
    "327675d-1", "327665D-1", "1e5", "1e400", "-1e400", "1e-400", "0e99999", "0.000000000000000000000000000001",
    "32,767", "32,768", "3,2767", "1,2,3", "1,,2", ",1", "1,", "1.5.5", ".5", "5.", "-.5", "+.5e1", "e5", "1e", "1e+",
    "-", "+", "", "abc", "12abc", "0x10", "&H10", "(5)", "5-", "1_000", "-0", "+0", "- 5",
    "00000000000000000000000000000000000000000007", "\"  12 \"", "\"\t-7\t\"", "' 3 '", "\"1 2\"", "\x82\x50\x82\x51",
    "1" + std::string(300, '0'), "0." + std::string(300, '0') + "1",
    // Where the 255-byte cut falls decides these.
    std::string(254, '0') + "1", std::string(254, '0') + "12", "-" + std::string(253, '0') + "5",
    "\"7" + std::string(253, ' ') + "9\"", "\"7" + std::string(252, ' ') + "9\"",
    "\"7" + std::string(254, ' ') + "x\""};

const std::vector<std::string> kEdges32 = {"2147483647",
                                           "-2147483648",
                                           "2147483648",
                                           "-2147483649",
                                           "2147483647.5",
                                           "2147483646.5",
                                           "-2147483648.5",
                                           "-2147483649.5",
                                           "2147483647.49999999999999999",
                                           "-2147483648.5000000000000001",
                                           "2,147,483,647",
                                           "2,147,483,648",
                                           "2.147483647e9",
                                           "2.1474836475e9",
                                           "21474836475d-1",
                                           "1e10",
                                           "99999999999",
                                           "-99999999999",
                                           "4294967296",
                                           "1e9",
                                           "-1e9",
                                           "32768",
                                           "-32769",
                                           "40000",
                                           "1,500",
                                           "1e3",
                                           "12.5"};

std::string MenuIndex(Random& rng, const Setting& setting) {
    const int high = std::string(setting.key) == "Font Size" ? 16 : std::string(setting.key) == "Font Color" ? 6 : 10;
    const int low = std::string(setting.key) == "Translucence" ? 0 : 1;
    const int value = rng.Between(low, high);
    switch (rng.Below(8)) {
        case 0:
            return "+" + std::to_string(value);
        case 1:
            return "00" + std::to_string(value);
        case 2:
            return std::to_string(value) + ".0";
        case 3:
            return "\"" + std::to_string(value) + "\"";
        default:
            return std::to_string(value);
    }
}

std::string Position(Random& rng) {
    const int twips = 15 * rng.Between(0, 800);
    if (rng.Chance(10)) return std::to_string(-twips);
    if (rng.Chance(10)) return std::to_string(rng.Between(-40000, 40000));
    return std::to_string(twips);
}

std::string FlagText(Random& rng) {
    static const std::vector<std::string> odd = {
        "true",  "TRUE", "-1",       "1",      "0",      "",           "Tru",
        "Truee", "Yes",  "\"True\"", "'True'", "\"True", "\" True \"", "\x82\x73\x82\x92\x82\x95\x82\x85",
        "True;", "False"};
    const uint32_t roll = rng.Below(100);
    if (roll < 40) return "True";
    if (roll < 65) return "False";
    return rng.Pick(odd);
}

std::string ValueFor(Random& rng, const Setting& setting, int edgePercent) {
    if (setting.type == Setting::Flag) return FlagText(rng);
    if (rng.Chance(static_cast<uint32_t>(edgePercent))) {
        if (rng.Chance(35)) return GrammarNumber(rng);
        return setting.type == Setting::Number32 && rng.Chance(60) ? rng.Pick(kEdges32) : rng.Pick(kEdges16);
    }
    return setting.type == Setting::Number32 ? Position(rng) : MenuIndex(rng, setting);
}

// ---- whole files ----------------------------------------------------------

struct Style {
    bool layout = false;  // the platform's own layout, nothing it would rewrite
    bool shiftJis = false;
    bool duplicates = false;
    bool nul = false;
    int edgePercent = 15;
    int lineEnds = 0;  // 0 CRLF, 1 LF, 2 CR, 3 mixed
};

class Builder {
public:
    Builder(Random& rng, const Style& style) : rng_(rng), style_(style) {}

    std::vector<std::string> Lines() {
        if (rng_.Chance(20)) Foreign(rng_.Between(1, 3));
        std::vector<int> blocks;  // 0, 1: the settings' sections; 2: foreign
        for (int i = 0; i < 2; ++i)
            if (rng_.Chance(90)) blocks.push_back(i);
        for (int i = rng_.Between(0, 3); i > 0; --i) blocks.push_back(2);
        if (style_.duplicates)
            for (int i = rng_.Between(1, 2); i > 0; --i) blocks.push_back(static_cast<int>(rng_.Below(2)));
        std::shuffle(blocks.begin(), blocks.end(), std::minstd_rand(rng_.Raw()));
        for (int block : blocks)
            block == 2 ? ForeignSection() : SettingsSection(block == 0 ? "Window Design" : "Config");
        if (style_.nul) SprinkleNuls();
        return lines_;
    }

    void Add(std::string line) { lines_.push_back(std::move(line)); }

private:
    std::string Blank() { return style_.layout ? "" : rng_.Pick(std::vector<std::string>{"", " ", "\t", "  "}); }

    std::string Header(const std::string& name, bool anyCase) {
        std::string shown = name;
        if (anyCase && rng_.Chance(15)) std::transform(shown.begin(), shown.end(), shown.begin(), Lower);
        if (anyCase && rng_.Chance(10)) std::transform(shown.begin(), shown.end(), shown.begin(), Upper);
        std::string header = Blank() + "[" + Blank() + shown + Blank() + "]";
        if (!style_.layout && rng_.Chance(10)) header += rng_.Chance(50) ? " ; note" : "junk]";
        return header;
    }

    std::string Entry(const std::string& key, std::string value) {
        // The platform trims blanks around a value: in its layout there are none.
        if (style_.layout) {
            value.erase(0, std::min(value.find_first_not_of(" \t"), value.size()));
            value.erase(value.find_last_not_of(" \t") + 1);
        }
        return Blank() + key + Blank() + "=" + Blank() + value + (value.empty() ? "" : Blank());
    }

    void SettingsSection(const char* section) {
        Add(Header(section, true));
        std::vector<const Setting*> keys;
        for (const Setting& setting : kSettings)
            if (std::string(setting.section) == section && rng_.Chance(85)) keys.push_back(&setting);
        if (style_.duplicates)
            for (const Setting& setting : kSettings)
                if (std::string(setting.section) == section && rng_.Chance(40)) keys.push_back(&setting);
        std::shuffle(keys.begin(), keys.end(), std::minstd_rand(rng_.Raw()));
        for (const Setting* setting : keys) {
            if (rng_.Chance(30)) Noise();
            std::string key = setting->key;
            if (rng_.Chance(10)) std::transform(key.begin(), key.end(), key.begin(), Lower);
            Add(Entry(key, ValueFor(rng_, *setting, style_.edgePercent)));
        }
        if (rng_.Chance(30)) Noise();
    }

    void ForeignSection() {
        static const std::vector<std::string> names = {
            "General", "Other", "Window", "Design", "Config2", "\x90\xdd\x92\xe8", "Window Design2", "Conf ig"};
        Add(Header(rng_.Chance(50) ? rng_.Pick(names) : Word(rng_, style_.shiftJis), false));
        Foreign(rng_.Between(0, 6));
    }

    void Foreign(int count) {
        for (int i = 0; i < count; ++i) Noise();
    }

    // A line that no setting reads: foreign keys (some named like the
    // settings), comments, and what the platform drops or reshapes.
    void Noise() {
        const bool sjis = style_.shiftJis;
        switch (rng_.Below(style_.layout ? 6 : 12)) {
            case 0:
                return Add(Entry(Word(rng_, sjis), Words(rng_, sjis)));
            case 1:
                return Add(Entry(rng_.Pick(std::vector<std::string>{"Top", "Left", "Font Size", "Disp Clock"}),
                                 GrammarNumber(rng_)));
            case 2:
                return Add(std::string(rng_.Chance(50) ? ";" : "#") + Words(rng_, sjis));
            case 3:
                return Add(Word(rng_, sjis));  // a key without a value
            case 4:
                return Add("[" + Word(rng_, false));  // an unclosed header is a key
            case 5:
                return Add(Entry(Word(rng_, sjis), sjis ? LongShiftJis() : ""));
            case 6:
                return Add("");
            case 7:
                return Add(rng_.Pick(std::vector<std::string>{" ", "\t", "\x1a", "\v", "\f"}));
            case 8:
                return Add("=" + Word(rng_, sjis));
            case 9:
                return Add("; a = b");
            case 10:
                return Add(Entry(Word(rng_, true), rng_.Pick(kBrokenShiftJis) + Word(rng_, sjis)));
            default:
                return Add("[" + Word(rng_, false) + "] tail");
        }
    }

    // A value around the 255-byte cut with double-byte characters across it.
    std::string LongShiftJis() {
        std::string text;
        const size_t length = static_cast<size_t>(rng_.Between(250, 262));
        while (text.size() < length) text += rng_.Chance(70) ? rng_.Pick(kValidShiftJis) : "x";
        return text;
    }

    // Never first in a section name: a header with an empty name makes the
    // platform move the keys under it into the section before when it
    // rewrites the file.
    void SprinkleNuls() {
        for (int i = rng_.Between(1, 5); i > 0 && !lines_.empty(); --i) {
            std::string& line = lines_[rng_.Below(lines_.size())];
            const size_t name = line.find_first_not_of(" \t[");
            const size_t at = rng_.Below(line.size() + 1);
            line.insert(line.find('[') < name && at <= name ? line.size() : at, 1, '\0');
        }
    }

    Random& rng_;
    Style style_;
    std::vector<std::string> lines_;
};

std::string Join(Random& rng, const std::vector<std::string>& lines, int lineEnds) {
    static const std::vector<std::string> mixed = {"\r\n", "\n", "\r", "\n\r", "\r\r\n"};
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i) {
        bytes += lines[i];
        const bool last = i + 1 == lines.size();
        if (last && lineEnds != 0 && rng.Chance(30)) break;
        bytes += lineEnds == 0 ? "\r\n" : lineEnds == 1 ? "\n" : lineEnds == 2 ? "\r" : rng.Pick(mixed);
    }
    return bytes;
}

Kind KindOf(int number) {
    if (number % 1663 == 777) return Kind::Huge;
    if (number % 97 == 13) return Kind::LongLine;
    if (number % 211 == 5) return Kind::Empty;
    static const Kind cycle[20] = {Kind::Canonical,  Kind::Canonical, Kind::Canonical,   Kind::Canonical,
                                   Kind::Canonical,  Kind::Noisy,     Kind::Noisy,       Kind::Noisy,
                                   Kind::Numbers,    Kind::Numbers,   Kind::Numbers,     Kind::ShiftJis,
                                   Kind::ShiftJis,   Kind::LineEnds,  Kind::LineEnds,    Kind::Duplicates,
                                   Kind::Duplicates, Kind::Nul,       Kind::RandomBytes, Kind::RandomBytes};
    return cycle[number % 20];
}

std::string RandomBytes(Random& rng) {
    static const std::vector<std::string> fragments = {"[Window Design]",
                                                       "[Config]",
                                                       "Top=",
                                                       "Left=",
                                                       "Font Size=",
                                                       "Font Bold=True",
                                                       "Disp Clock=True",
                                                       "Time Tone=",
                                                       "Translucence=",
                                                       "=",
                                                       "\r\n",
                                                       "\n",
                                                       "\r",
                                                       ";",
                                                       "32768",
                                                       "12"};
    std::string bytes;
    const size_t length = rng.Below(4097);
    while (bytes.size() < length) {
        const uint32_t roll = rng.Below(100);
        if (roll < 10)
            bytes += rng.Pick(fragments);
        else if (roll < 40)
            bytes += "[]=\r\n;# \t\0"[rng.Below(10)];
        else if (roll < 65)
            bytes += static_cast<char>(rng.Between(0x20, 0x7e));
        else
            bytes += static_cast<char>(rng.Below(256));
    }
    // A header with an empty name makes the platform merge the keys under
    // it into the section before when it rewrites the file: a section name
    // here is never empty.
    std::string safe;
    for (char c : bytes) {
        safe += c;
        if (c == '[') safe += 'r';
    }
    return safe;
}

std::vector<std::string> LongLine(Random& rng) {
    const std::string big(65536, 'L');
    switch (rng.Below(5)) {
        case 0:
            return {"Other=" + big};
        case 1:
            return {";" + big};
        case 2:
            return {"Top=" + std::string(65536, '7')};
        case 3:
            return {big + "=key"};
        default:
            return {"[" + big + "]", "x=1"};
    }
}

std::vector<std::string> HugeLines(Random& rng) {
    std::vector<std::string> lines = {"[Bulk]"};
    size_t size = 0;
    for (int i = 0; size < (1u << 20); ++i) {
        lines.push_back("entry" + std::to_string(i) + "=" + Words(rng, true));
        size += lines.back().size() + 2;
    }
    return lines;
}

// The platform drops what follows a NUL in a line when it rewrites the
// file, and its next read changes what is left: blanks that now end a name
// or value are trimmed (two keys become one), and a key whose name was only
// a NUL is read as nameless, so a nameless key after it is dropped. A NUL
// here never follows a blank or starts a line.
void KeepNulsOffBlanks(std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\0') continue;
        if (i == 0 || bytes[i - 1] == '\r' || bytes[i - 1] == '\n')
            bytes[i] = 'w';
        else if (std::string(" \t\v\f\x1a").find(bytes[i - 1]) != std::string::npos)
            bytes[i - 1] = 'w';
    }
}

Style StyleFor(Kind kind, Random& rng) {
    Style style;
    style.layout = true;
    switch (kind) {
        case Kind::Canonical:
            style.shiftJis = rng.Chance(30);
            style.duplicates = rng.Chance(20);
            break;
        case Kind::Numbers:
            style.layout = rng.Chance(50);
            style.edgePercent = 60;
            break;
        case Kind::ShiftJis:
            style.layout = rng.Chance(50);
            style.shiftJis = true;
            break;
        case Kind::LineEnds:
            style.layout = false;
            style.lineEnds = rng.Between(1, 3);
            break;
        case Kind::Duplicates:
            style.layout = rng.Chance(50);
            style.duplicates = true;
            break;
        case Kind::Nul:
            style.layout = false;
            style.nul = true;
            break;
        case Kind::LongLine:
            style.layout = rng.Chance(50);
            break;
        case Kind::Huge:
            break;
        default:
            style.layout = false;
            break;
    }
    return style;
}
}  // namespace

GeneratedFile Generate(uint32_t seed, int number) {
    Random rng(seed, number);
    GeneratedFile file{KindOf(number), "", false};
    if (file.kind == Kind::Empty) {
        file.bytes = rng.Pick(std::vector<std::string>{"", "\r\n", "   ", "\r\n\r\n\t", "\x1a", "\n\n\n"});
        file.platformLayout = file.bytes.empty();
        return file;
    }
    if (file.kind == Kind::RandomBytes) {
        file.bytes = RandomBytes(rng);
        KeepNulsOffBlanks(file.bytes);
        return file;
    }
    const Style style = StyleFor(file.kind, rng);
    Builder builder(rng, style);
    std::vector<std::string> lines;
    if (file.kind == Kind::LongLine) {
        lines = builder.Lines();
        const std::vector<std::string> inserted = LongLine(rng);
        lines.insert(lines.begin() + rng.Below(lines.size() + 1), inserted.begin(), inserted.end());
    } else if (file.kind == Kind::Huge) {
        lines = HugeLines(rng);
        const std::vector<std::string> settings = builder.Lines();
        lines.insert(lines.begin(), settings.begin(), settings.end());
    } else {
        lines = builder.Lines();
    }
    file.bytes = Join(rng, lines, style.lineEnds);
    KeepNulsOffBlanks(file.bytes);
    file.platformLayout = style.layout;
    return file;
}

uint32_t SeedFromEnvironment() {
    const char* text = std::getenv("KALVORY_CAMPAIGN_SEED");
    return text && *text ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : kDefaultSeed;
}

// ---- the oracle -----------------------------------------------------------

namespace {
std::string Ansi(const std::wstring& text) {
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<size_t>(size) * 2, '\0');
    const int written = WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), size * 2, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(written));
    return bytes;
}

// Drops a double-byte character that the 255-byte buffer cut in half.
std::string WholeCharacters(const std::string& bytes) {
    size_t end = 0;
    while (end < bytes.size()) {
        const size_t width = IsDBCSLeadByte(static_cast<BYTE>(bytes[end])) ? 2 : 1;
        if (end + width > bytes.size()) break;
        end += width;
    }
    return bytes.substr(0, end);
}

struct Decimal {
    bool negative = false;
    std::string digits;  // without leading zeros
    long long exponent = 0;
};

class NumberText {
public:
    explicit NumberText(const std::string& text) : text_(text) {}

    bool Read(Decimal& number) {
        Blanks();
        if (Next('-'))
            number.negative = true;
        else
            Next('+');
        const size_t whole = Whole(number.digits);
        size_t fraction = 0;
        if (Next('.')) fraction = Run(number.digits);
        if (whole + fraction == 0) return false;
        long long exponent = 0;
        if (at_ < text_.size() && std::string("eEdD").find(text_[at_]) != std::string::npos) {
            ++at_;
            const bool down = Next('-');
            if (!down) Next('+');
            std::string digits;
            if (Run(digits) == 0) return false;
            for (char d : digits) exponent = std::min(exponent * 10 + (d - '0'), 1000000000LL);
            if (down) exponent = -exponent;
        }
        Blanks();
        if (at_ != text_.size()) return false;
        number.exponent = exponent - static_cast<long long>(fraction);
        number.digits.erase(0, std::min(number.digits.find_first_not_of('0'), number.digits.size()));
        return true;
    }

private:
    bool Next(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    void Blanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
    }
    bool IsDigitAt(size_t i) const { return i < text_.size() && text_[i] >= '0' && text_[i] <= '9'; }
    size_t Run(std::string& digits) {
        const size_t start = at_;
        while (IsDigitAt(at_)) digits += text_[at_++];
        return at_ - start;
    }
    // Digits, with "," allowed only between two digits.
    size_t Whole(std::string& digits) {
        size_t count = Run(digits);
        while (count > 0 && at_ < text_.size() && text_[at_] == ',' && IsDigitAt(at_ + 1)) {
            ++at_;
            count += Run(digits);
        }
        return count;
    }

    const std::string& text_;
    size_t at_ = 0;
};

// Nearest integer, a half to the even one; false when it has more digits
// than any 32-bit number.
bool RoundHalfEven(const Decimal& number, long long& value) {
    const long long length = static_cast<long long>(number.digits.size());
    if (number.digits.empty() || length + number.exponent <= 0) {
        // Only a fraction: 0, unless it is above one half.
        const bool aboveHalf =
            length + number.exponent == 0 && !number.digits.empty() &&
            (number.digits[0] > '5' ||
             (number.digits[0] == '5' && number.digits.find_first_not_of('0', 1) != std::string::npos));
        value = aboveHalf ? (number.negative ? -1 : 1) : 0;
        return true;
    }
    if (length + number.exponent > 12) return false;
    const size_t wholeDigits = static_cast<size_t>(length + number.exponent);
    long long magnitude = 0;
    for (size_t i = 0; i < wholeDigits; ++i)
        magnitude = magnitude * 10 + (i < number.digits.size() ? number.digits[i] - '0' : 0);
    if (wholeDigits < number.digits.size()) {
        const char first = number.digits[wholeDigits];
        const bool rest = number.digits.find_first_not_of('0', wholeDigits + 1) != std::string::npos;
        if (first > '5' || (first == '5' && (rest || magnitude % 2 == 1))) ++magnitude;
    }
    value = number.negative ? -magnitude : magnitude;
    return true;
}
enum class Numeric { No, InRange, OutOfRange };

// Rounds half to even from the digits as written; out of range is told, not
// clamped.
Numeric ReadNumber(const std::string& text, long long low, long long high, long long& value) {
    Decimal number;
    if (!NumberText(text).Read(number)) return Numeric::No;
    if (!RoundHalfEven(number, value) || value < low || value > high) return Numeric::OutOfRange;
    return Numeric::InRange;
}
}  // namespace

std::string ProfileText(const std::wstring& path, const char* section, const char* key) {
    char buffer[256] = {};
    const DWORD copied = GetPrivateProfileStringA(section, key, "", buffer, 256, Ansi(path).c_str());
    std::string text(buffer, std::min<DWORD>(copied, 255));
    return WholeCharacters(text.substr(0, text.find('\0')));
}

Expectation Expect(const std::wstring& path) {
    Expectation expected;
    for (int i = 0; i < 8 && !expected.overflow; ++i) {
        const Setting& setting = kSettings[i];
        const std::string& text = expected.text[i] = ProfileText(path, setting.section, setting.key);
        if (setting.type == Setting::Flag) {
            expected.values.number[i] = text == "True" ? -1 : 0;
            continue;
        }
        const bool wide = setting.type == Setting::Number32;
        long long value = 0;
        switch (ReadNumber(text, wide ? INT32_MIN : INT16_MIN, wide ? INT32_MAX : INT16_MAX, value)) {
            case Numeric::No:
                expected.values.number[i] = setting.fallback;
                break;
            case Numeric::InRange:
                expected.values.number[i] = static_cast<Long>(value);
                break;
            case Numeric::OutOfRange:
                expected.overflow = true;
                expected.overflowAt = i;
                break;
        }
    }
    return expected;
}

// ---- what else the file holds -------------------------------------------

namespace {
std::vector<std::string> Strings(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::string> strings;
    size_t at = 0;
    while (at < length) {
        std::string item(buffer.data() + at);
        at += item.size() + 1;
        strings.push_back(item);
    }
    return strings;
}

// Asks again with a larger buffer while the answer fills the one given.
template <typename Call>
std::vector<std::string> Listed(size_t hint, Call call) {
    for (size_t size = hint;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        const DWORD length = call(buffer.data(), static_cast<DWORD>(size));
        if (length + 2 < size) return Strings(buffer, length);
    }
}

const Setting* SettingNamed(const std::string& section, const std::string& key) {
    for (const Setting& setting : kSettings)
        if (SameLetters(section, setting.section) && SameLetters(key, setting.key)) return &setting;
    return nullptr;
}

bool IsSettingsSection(const std::string& name) {
    return SameLetters(name, "Window Design") || SameLetters(name, "Config");
}

std::string KeyOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

size_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.nFileSizeLow;
}
}  // namespace

std::vector<Section> OtherEntries(const std::wstring& path) {
    const std::string file = Ansi(path);
    const size_t hint = FileSize(path) * 3 + 65536;
    std::vector<std::string> names = Listed(
        hint, [&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, file.c_str()); });
    names.insert(names.begin(), "");  // the lines before the first header
    std::vector<Section> sections;
    for (const std::string& name : names) {
        Section section{name, Listed(hint, [&](char* buffer, DWORD size) {
                            return GetPrivateProfileSectionA(name.c_str(), buffer, size, file.c_str());
                        })};
        // A save changes only the first entry of each setting.
        for (const Setting& setting : kSettings) {
            if (!SameLetters(name, setting.section)) continue;
            auto found = std::find_if(section.entries.begin(), section.entries.end(),
                                      [&](const std::string& entry) { return SameLetters(KeyOf(entry), setting.key); });
            if (found != section.entries.end()) section.entries.erase(found);
        }
        sections.push_back(section);
    }
    return sections;
}

bool SameApartFromAddedSections(const std::vector<Section>& before, const std::vector<Section>& after) {
    if (after.size() < before.size() || !std::equal(before.begin(), before.end(), after.begin())) return false;
    for (size_t i = before.size(); i < after.size(); ++i) {
        const bool hadIt = std::any_of(before.begin(), before.end(),
                                       [&](const Section& s) { return SameLetters(s.name, after[i].name.c_str()); });
        if (!IsSettingsSection(after[i].name) || hadIt || !after[i].entries.empty()) return false;
    }
    return true;
}

namespace {
std::vector<std::string> CrlfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at) + "<no line end>");
            break;
        }
        lines.push_back(bytes.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

bool IsHeader(const std::string& line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

// The lines other than the eight settings' own.
std::vector<std::string> OtherLines(const std::string& bytes) {
    std::vector<std::string> kept;
    std::vector<std::string> sections;
    std::vector<const Setting*> settings;
    std::string section;
    bool first = false;  // the first section of its name, the one the platform reads
    for (const std::string& line : CrlfLines(bytes)) {
        if (IsHeader(line)) {
            section = line.substr(1, line.size() - 2);
            first = std::none_of(sections.begin(), sections.end(),
                                 [&](const std::string& s) { return SameLetters(s, section.c_str()); });
            sections.push_back(section);
            kept.push_back(line);
            continue;
        }
        const Setting* setting = first ? SettingNamed(section, KeyOf(line)) : nullptr;
        if (setting && std::find(settings.begin(), settings.end(), setting) == settings.end()) {
            settings.push_back(setting);  // only the first line of a setting is its own
            continue;
        }
        kept.push_back(line);
    }
    return kept;
}
}  // namespace

bool SameOtherLines(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = OtherLines(before);
    const std::vector<std::string> now = OtherLines(after);
    if (now.size() < old.size() || !std::equal(old.begin(), old.end(), now.begin())) return false;
    for (size_t i = old.size(); i < now.size(); ++i) {
        const std::string name = IsHeader(now[i]) ? now[i].substr(1, now[i].size() - 2) : "";
        const bool hadIt = std::any_of(old.begin(), old.end(), [&](const std::string& line) {
            return IsHeader(line) && SameLetters(line.substr(1, line.size() - 2), name.c_str());
        });
        if ((name != "Window Design" && name != "Config") || hadIt) return false;
    }
    return true;
}

std::string TextOf(const Setting& setting, Long value) {
    if (setting.type == Setting::Flag) return value ? "True" : "False";
    return std::to_string(value);
}

std::string Describe(const std::string& bytes, size_t limit) {
    std::string text;
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        char escaped[8];
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c < 0x20 || c >= 0x7f) {
            std::snprintf(escaped, sizeof(escaped), "\\x%02x", c);
            text += escaped;
        } else
            text += static_cast<char>(c);
    }
    if (bytes.size() > limit) text += "... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}
}  // namespace campaign

// Settings files made from a seed go through the real load and save, checked by the settings rules and the platform's
// own profile functions, never by the program's reader.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <regex>

#include "modules/modGlobal.h"
#include "modules/modStart.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "support.h"

namespace {
struct Setting {
    const char* key;
    Long bits, fallback, low, high;  // 1 bit for a flag; what the menus offer, for a position the screen in twips
    void* global;
};
// In the order the program reads them, the first six in "Window Design": the first number out of range ends a load.
const Setting kSettings[8] = {
    {"Top", 32, 1000, 0, 12000, &glngTop},       {"Left", 32, 1000, 0, 12000, &glngLeft},
    {"Font Size", 16, 16, 1, 16, &gintFontSize}, {"Font Color", 16, 1, 1, 6, &gintFontColor},
    {"Font Bold", 1, 0, -1, 0, &gblnFontBold},   {"Translucence", 16, 0, 0, 10, &gintTranslucence},
    {"Disp Clock", 1, 0, -1, 0, &gblnDispClock}, {"Time Tone", 1, 0, -1, 0, &gblnTimeTone}};
const char* Section(const Setting& s) { return &s < kSettings + 6 ? "Window Design" : "Config"; }
Long Get(const Setting& s) { return s.bits == 32 ? *static_cast<Long*>(s.global) : *static_cast<Integer*>(s.global); }
std::string Text(const Setting& s) { return s.bits > 1 ? std::to_string(Get(s)) : Get(s) ? "True" : "False"; }
void Put(const Setting& s, Long v) {
    s.bits == 32 ? void(*static_cast<Long*>(s.global) = v) : void(*static_cast<Integer*>(s.global) = Integer(v));
}
// Per kind: its share of every 2000 files; the chances in percent of the platform's own layout, of Shift-JIS text and
// of an edge number; then what it adds: copies of lines (so repeated sections and keys), NULs, a long line, and so on.
struct Kind {
    const char* name;
    int share, layout, shiftJis, edges, copies = 0, nuls = 0, longLine = 0, bulk = 0, randomBytes = 0;
    const char *only = nullptr, *ends = "\r\n";  // the whole file is one of "only"; "*" mixes line ends
};
const Kind kKinds[] = {{"1 MB", 1, 100, 100, 15, 0, 0, 0, 1 << 20},
                       {"64 KB line", 20, 50, 0, 15, 0, 0, 1 << 16},
                       {"empty", 10, 0, 0, 0, 0, 0, 0, 0, 0, "|\r\n|   |\r\n\r\n\t|\x1a|\n\n\n"},
                       {"random bytes", 197, 0, 0, 0, 0, 0, 0, 0, 4096},
                       {"platform layout", 493, 100, 30, 15, 1},
                       {"noisy", 296, 0, 0, 15},
                       {"numbers", 296, 50, 0, 60},
                       {"Shift-JIS", 197, 50, 100, 15},
                       {"line ends", 197, 0, 0, 15, 0, 0, 0, 0, 0, nullptr, "\n|\r|*"},
                       {"duplicates", 197, 50, 0, 15, 6},
                       {"NUL bytes", 96, 0, 0, 15, 0, 4}};
// Lines no setting reads, Shift-JIS ones with trail bytes "\\" and "["; outside the layout what the platform reshapes.
const char kTidy[] = "Other=a b|Top=-1e9|Font Size=x|;a comment|#k=1|lone|[unclosed|Empty=|[Other]";
const char kShiftJis[] = "\x83\x5c\x83\x74\x83\x67=\x95\x5c\x8e\xa6|;\x94\x5c\x81\x5b|[\x90\xdd\x92\xe8]|\xb1\xb6\xde";
const char kRough[] = " |\t|\x1a|\v|=x| k \t= v|[Conf ig] x|b=\x81k|b=\x81 k|b=\x81\x7f\x85\x40|b=\x80\xfd|b=\x9f\r";
// At and beyond the limits, halves and long tails either side (the double nearest 32767.49999999999999999999 is a
// half: only the digits decide), grouped, with exponents.
const char kEdges[] =
    "32767|32768|-32768|-32769|+32766.5|32767.5|-32768.5|-32769.5|32767.49999999999999999999|32,767|-32,769|3.2767E4|"
    "-32768.50000000000000000001|3.2768e+4|327665d-1|-3.27685D4|2147483647|2147483648|-2147483648|-2147483649|"
    "2147483646.5|-2147483648.5|2147483647.5|2147483647.49999999999999999999|2,147,483,647|2.147483648E9|-2147483648d0";
std::vector<std::string> Split(const std::string& text, const std::string& end) {  // pieces each ended by "end"
    std::vector<std::string> pieces;
    for (size_t at = 0, next; at < text.size(); at = next + end.size())
        pieces.push_back(text.substr(at, (next = std::min(text.find(end, at), text.size())) - at));
    return pieces;
}
std::mt19937 gRandom;
size_t Below(size_t n) { return gRandom() % n; }
int In(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
bool Chance(int percent) { return In(0, 99) < percent; }
std::string Of(const std::vector<std::string>& items) { return items.empty() ? "" : items[Below(items.size())]; }
std::string Pick(const char* choices) { return Of(Split(choices, "|")); }
// Mostly what the menus offer; else an edge, a longer or near-miss number, or one the cut at 255 bytes decides.
std::string Value(const Setting& s, int edges) {
    if (s.bits == 1) return Pick(Chance(65) ? "True|False" : "true|TRUE|-1|1||Tru|\"True\"|'True'|\" True \"");
    const std::string n = std::to_string(s.bits == 16 ? In(s.low, s.high) : 15 * In(-80, 800)), z(253 + Below(3), '0');
    if (!Chance(edges)) return Of({n, n, "+" + n, "00" + n, n + ".5", "\"" + n + "\"", "- " + n});
    std::string text = Of({n, Pick(kEdges), n + "." + std::to_string(gRandom()) + std::to_string(gRandom())});
    if (Chance(25)) text += Pick("e|E|d|D|e-|E+|d-|D+") + (Chance(90) ? std::to_string(Below(1000)) : "");
    if (Chance(15)) text.insert(Below(text.size() + 1), Pick("0|5|.|,|+|-|e|D|x|(|&H"));
    const std::string cut = Of({z + "12", "-" + z + "5", "1" + z + z, "0." + z + "1", z + "7\x82\x50"});
    return Of({text, Pick(kEdges), Pick(kEdges), cut, "\"7" + std::string(z.size(), ' ') + "9\""});
}
std::tuple<std::string, size_t, bool> Generate(uint32_t seed, int number) {
    gRandom.seed(seed * 2654435761u + static_cast<uint32_t>(number));
    size_t kind = 0;
    for (int slot = number % 2000 * 7 % 2000; slot >= kKinds[kind].share;) slot -= kKinds[kind++].share;
    const Kind& k = kKinds[kind];
    const bool layout = Chance(k.layout), sjis = Chance(k.shiftJis);
    auto blank = [&] { return Pick(layout ? "|" : "| |\t|  "); };
    auto noise = [&] { return Pick(sjis && Chance(50) ? kShiftJis : layout || Chance(50) ? kTidy : kRough); };
    // Both settings' sections in either order; then anywhere other lines, and copies of lines (sections, keys) again.
    std::vector<std::string> lines;
    for (int i = 0, first = 6 * In(0, 1); i < 8; ++i) {
        const Setting& s = kSettings[(first + i) % 8];
        if ((&s - kSettings) % 6 == 0) lines.push_back(blank() + "[" + blank() + Section(s) + blank() + "]");
        if (Chance(85)) lines.push_back(blank() + s.key + blank() + "=" + blank() + Value(s, k.edges) + blank());
    }
    for (int i = In(0, 6) + k.copies; i > 0; --i)
        lines.insert(lines.begin() + Below(lines.size() + 1), i > k.copies ? noise() : Of(lines));
    const std::string head = Pick("Other=|;|Top=|[|"), tail = head == "[" ? "]" : "=k";
    if (k.longLine) lines.insert(lines.begin() + Below(lines.size()), head + std::string(k.longLine, '7') + tail);
    for (int i = 0, size = 0; size < k.bulk; size += static_cast<int>(lines.back().size()) + 2)
        lines.push_back(i++ ? "entry" + std::to_string(i) + "=" + noise() : "[Bulk]");
    std::string bytes = k.only ? Pick(k.only) : "", end = Pick(k.ends);
    for (size_t i = 0; i < lines.size() && !k.only && !k.randomBytes; ++i)
        bytes += lines[i] + (end != "*" ? end : Pick("\r\n|\n|\r|\n\r"));
    for (size_t length = Below(k.randomBytes + 1); bytes.size() < length;)
        bytes += Chance(10) ? Pick("[Config]|Top=|Font Bold=True|=|\r\n") : std::string(1, char(In(0, 255)));
    for (int i = 0; i < k.nuls; ++i) bytes.insert(Below(bytes.size() + 1), 1, '\0');
    // The platform drops what follows a NUL in a line when it rewrites the file, and its next read trims blanks that
    // now end a name or value; a key named only by a NUL becomes nameless, a header with an empty name merges.
    bytes = std::regex_replace(bytes, std::regex("(^|[\r\n \t\v\f\x1a[])\\x00"), "$1w");
    return {k.randomBytes ? std::regex_replace(bytes, std::regex("\\["), "[r") : bytes, kind, layout};
}
// As the program's 256-byte buffer holds it, less a double-byte character cut in half at byte 255.
std::string ProfileText(const std::string& file, const Setting& s) {
    char buffer[256] = {};
    GetPrivateProfileStringA(Section(s), s.key, "", buffer, 256, file.c_str());
    size_t end = 0, length = std::string(buffer).size();
    while (end < length) end += IsDBCSLeadByte(static_cast<BYTE>(buffer[end])) ? 2 : 1;
    return std::string(buffer, end > length ? end - 2 : end);
}
// Blanks, a sign, digits with "," only between two, "." and digits, an exponent (e, E, d or D, a sign, digits), blanks.
const std::regex kNumber("[ \t]*([-+]?)([0-9]+(?:,[0-9]+)*)?(?:\\.([0-9]*))?(?:[eEdD]([-+]?[0-9]+))?[ \t]*");
// The nearest integer, a half to the even one, from the digits as written; false when not a number.
bool ReadNumber(const std::string& text, long long& value) {
    std::smatch m;
    if (!std::regex_match(text, m, kNumber) || m.length(2) + m.length(3) == 0) return false;
    const std::string whole = std::regex_replace(m.str(2), std::regex(","), "");
    const long long point =
        std::clamp<long long>(whole.size() + std::min(std::strtoll(m.str(4).c_str(), nullptr, 10), 9999LL), -1, 999);
    const std::string digits = std::string(point < 0, '0') + whole + m.str(3) + std::string(1000, '0');
    const size_t next = static_cast<size_t>(std::max(point, 0LL));  // the first digit after the point
    value = 0;
    for (size_t i = 0; i < next && value < (1LL << 40); ++i) value = value * 10 + digits[i] - '0';
    const bool half = digits[next] == '5' && digits.find_first_not_of('0', next + 1) == std::string::npos;
    value += digits[next] > '5' || (digits[next] == '5' && (!half || value % 2));
    if (m.str(1) == "-") value = -value;
    return true;
}
long ErrorOf(void (*run)()) try { return run(), 0; } catch (const VBError& e) {
    return e.Number();
} catch (...) {
    return -1;  // nothing else may escape
}
long long Env(const char* name, long long other) { return std::getenv(name) ? std::atoll(std::getenv(name)) : other; }
char gFile[64] = "no file yet";  // a crash in the program's code ends the run: it must still name the file
LONG WINAPI Crash(EXCEPTION_POINTERS*) { return std::fprintf(stderr, "crash: %s\n", gFile), EXCEPTION_CONTINUE_SEARCH; }

TEST(SettingsCampaign, GeneratedFilesLoadAndSaveByTheRules) {
    SetUnhandledExceptionFilter(Crash);
    const long long seed = Env("KALVORY_CAMPAIGN_SEED", 20260706), only = Env("KALVORY_CAMPAIGN_FILE", -1);
    const long long end = only < 0 ? Env("KALVORY_CAMPAIGN_FILES", 1000) : only + 1;
    const testing::TestResult& result = *testing::UnitTest::GetInstance()->current_test_info()->result();
    TempFolder folder;
    int kinds[std::size(kKinds)] = {}, raised = 0, saves = 0, inLayout = 0;
    for (int number = int(std::max(only, 0LL)); number < end && result.total_part_count() < 10;
         ++number, DeleteFileW(gstrIniPath.c_str())) {
        const auto [bytes, kind, layout] = Generate(static_cast<uint32_t>(seed), number);
        std::snprintf(gFile, sizeof gFile, "seed %lld file %d (%s)", seed, number, kKinds[kind].name);
        const std::string file = ToAnsi(gstrIniPath = folder.File(std::to_wstring(number) + L".ini"));
        WriteBytes(gstrIniPath, bytes);
        SCOPED_TRACE(gFile + (": " + testing::PrintToString(bytes.substr(0, 400))));
        std::string want;  // the settings read, or the error that ends the load
        for (const Setting* s = kSettings; s < kSettings + 8 && want != "error 6"; Put(*s++, 0)) {
            const std::string text = ProfileText(file, *s);
            long long v = s->bits == 1 ? -(text == "True") : s->fallback;  // out of range: it changes in its width
            const bool over = s->bits > 1 && ReadNumber(text, v) && v != (s->bits > 16 ? Long(v) : Integer(v));
            want = over ? "error 6" : want + s->key + "=" + std::to_string(v) + " ";
        }
        const long error = ErrorOf(LoadSettings);
        std::string got = error ? "error " + std::to_string(error) : "";
        for (const Setting& s : kSettings) got += error ? "" : s.key + ("=" + std::to_string(Get(s))) + " ";
        EXPECT_EQ(want, got + (error && ReadBytes(gstrIniPath) != bytes ? " and a changed file" : ""));
        ++kinds[kind], raised += error == 6;
        if (got != want || error) continue;
        const std::wstring copy = folder.File(L"copy" + std::to_wstring(number) + L".ini");
        WriteBytes(copy, bytes);
        for (const Setting& s : kSettings)  // what the menus can set, positions anywhere
            Put(s, s.bits < 32 ? In(s.low, s.high) : Long(Chance(80) ? gRandom() : 0x7fffffffu + Below(2)));
        EXPECT_EQ(0, ErrorOf(SaveSettings));
        for (const Setting& s : kSettings) EXPECT_EQ(Text(s), ProfileText(file, s)) << s.key;
        // The rest of the file must be as the platform itself leaves it when it writes those texts in that order.
        for (const Setting& s : kSettings)
            WritePrivateProfileStringA(Section(s), s.key, Text(s).c_str(), ToAnsi(copy).c_str());
        const std::string saved = ReadBytes(gstrIniPath), expected = ReadBytes(copy);
        const size_t at =
            std::mismatch(saved.begin(), saved.end(), expected.begin(), expected.end()).first - saved.begin();
        EXPECT_TRUE(saved == expected) << "from byte " << at << ": " << testing::PrintToString(saved.substr(at, 200))
                                       << " instead of " << testing::PrintToString(expected.substr(at, 200));
        saves++, inLayout += layout, DeleteFileW(copy.c_str());
    }
    std::string counts;
    for (size_t i = 0; i < std::size(kKinds); ++i) counts += kKinds[i].name + (" " + std::to_string(kinds[i])) + ", ";
    std::printf("campaign: seed %lld: %s%d loads raised, %d saves checked, %d of them in the platform's layout\n", seed,
                counts.c_str(), raised, saves, inLayout);
}
}  // namespace

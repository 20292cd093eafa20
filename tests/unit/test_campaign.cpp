// Seeded settings files through the real load and save, judged by the rules and the platform's own profile calls.
#include "support.h"

namespace {
const struct Setting {  // in the order the program reads them: the first number out of range ends a load
    const char* key;
    Long bits, fallback, low, high;  // 1 bit for a flag; what the menus offer, for a position the screen in twips
    void* global;
} kSettings[8] = {{"Top", 32, 1000, 0, 12000, &glngTop},       {"Left", 32, 1000, 0, 12000, &glngLeft},
                  {"Font Size", 16, 16, 1, 16, &gintFontSize}, {"Font Color", 16, 1, 1, 6, &gintFontColor},
                  {"Font Bold", 1, 0, -1, 0, &gblnFontBold},   {"Translucence", 16, 0, 0, 10, &gintTranslucence},
                  {"Disp Clock", 1, 0, -1, 0, &gblnDispClock}, {"Time Tone", 1, 0, -1, 0, &gblnTimeTone}};
const char* Section(const Setting& s) { return &s < kSettings + 6 ? "Window Design" : "Config"; }
Long Get(const Setting& s) { return s.bits == 32 ? *static_cast<Long*>(s.global) : *static_cast<Integer*>(s.global); }
std::string Text(const Setting& s) { return s.bits > 1 ? std::to_string(Get(s)) : Get(s) ? "True" : "False"; }
void Put(const Setting& s, Long v) {
    s.bits == 32 ? void(*static_cast<Long*>(s.global) = v) : void(*static_cast<Integer*>(s.global) = Integer(v));
}
const struct Kind {  // share of every 2000 files; layout, shiftJis, edges: chances in percent
    const char* name;
    int share, layout, shiftJis, edges, copies = 0, nuls = 0, longLine = 0, bulk = 0, randomBytes = 0;
    const char *only = nullptr, *ends = "\r\n";  // the whole file is one of "only"; "*" mixes line ends
} kKinds[] = {{"1 MB", 1, 100, 100, 15, 0, 0, 0, 1 << 20},
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
const char kEdges[] =  // the double nearest 32767.49999999999999999999 is a half: only the digits decide
    "32767|32768|-32768|-32769|+32766.5|32767.5|-32768.5|-32769.5|32767.49999999999999999999|32,767|-32,769|3.2767E4|"
    "-32768.50000000000000000001|3.2768e+4|327665d-1|-3.27685D4|2147483647|2147483648|-2147483648|-2147483649|"
    "2147483646.5|-2147483648.5|2147483647.5|2147483647.49999999999999999999|2,147,483,647|2.147483648E9|-2147483648d0";
std::mt19937 gRandom;
size_t Below(size_t n) { return gRandom() % n; }
int In(int low, int high) { return low + static_cast<int>(Below(static_cast<size_t>(high - low + 1))); }
bool Chance(int percent) { return In(0, 99) < percent; }
std::string Of(const std::vector<std::string>& items) { return items.empty() ? "" : items[Below(items.size())]; }
const std::regex kBar("\\|");  // between choices; a "|" at the end adds none
std::vector<std::string> Choices(const std::string& s) {
    return {std::sregex_token_iterator(s.begin(), s.end(), kBar, -1), {}};
}
std::string Pick(const std::string& s) { return Of(Choices(s)); }
// Numbers almost written right: each stands in every numeric key of the first files, whatever the seed.
const std::vector<std::string> kMalformed = Choices(
    ",5|,|5,|,,5|1,,2|1,2,|-,5|+,5|.,5|,.5|5.,|5.5,5|1.2.3|1..2|.|-|+|- 5|"
    "--1|+-1|1-|1+|e5|1e|1e+|1e-|1e5.5|1ee5|1e5e|d|.e1|1 2|0x10|&H10|(5)|5%|$5|1_0|\x82\x54");
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
std::pair<std::string, bool> Generate(uint32_t seed, int number, const Kind& k) {
    std::string bytes = "[Window Design]\r\n";
    for (const size_t i : {0u, 1u, 2u, 3u, 5u})
        bytes += kSettings[i].key + ("=" + kMalformed[(size_t(number) + i) % kMalformed.size()]) + "\r\n";
    if (size_t(number) < kMalformed.size()) return {bytes, true};
    gRandom.seed(seed * 2654435761u + static_cast<uint32_t>(number));
    const bool layout = Chance(k.layout), sjis = Chance(k.shiftJis);
    auto blank = [&] { return Pick(layout ? "|" : "| |\t|  "); };
    auto noise = [&] { return Pick(sjis && Chance(50) ? kShiftJis : layout || Chance(50) ? kTidy : kRough); };
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
    std::string end = Pick(k.ends);
    bytes = k.only ? Pick(k.only) : "";
    for (size_t i = 0; i < lines.size() && !k.only && !k.randomBytes; ++i)
        bytes += lines[i] + (end != "*" ? end : Pick("\r\n|\n|\r|\n\r"));
    for (size_t length = Below(k.randomBytes + 1); bytes.size() < length;)
        bytes += Chance(10) ? Pick("[Config]|Top=|Font Bold=True|=|\r\n") : std::string(1, char(In(0, 255)));
    for (int i = 0; i < k.nuls; ++i) bytes.insert(Below(bytes.size() + 1), 1, '\0');
    // Not after a separator: the platform's rewrite cuts a line at a NUL, and would trim or merge what is left.
    bytes = std::regex_replace(bytes, std::regex("(^|[\r\n \t\v\f\x1a[])\\x00"), "$1w");
    return {k.randomBytes ? std::regex_replace(bytes, std::regex("\\["), "[r") : bytes, layout};
}
const std::regex kNumber("[ \t]*([-+]?)([0-9]+(?:,[0-9]+)*)?(?:\\.([0-9]*))?(?:[eEdD]([-+]?[0-9]+))?[ \t]*");
bool ReadNumber(const std::string& text, long long& value) {  // to the nearest, a half to even, by the written digits
    std::smatch m;
    if (!std::regex_match(text, m, kNumber) || m.length(2) + m.length(3) == 0) return false;
    const std::string whole = std::regex_replace(m.str(2), std::regex(","), "");
    const std::string digits = "0" + whole + m.str(3) + std::string(1000, '0');
    const long long point = std::min(std::strtoll(m.str(4).c_str(), nullptr, 10), 9999LL) + whole.size();
    const size_t at = static_cast<size_t>(std::clamp(point + 1, 0LL, 1000LL));  // the first digit after the point
    value = std::min(std::strtoll(digits.substr(0, at).c_str(), nullptr, 10), 1LL << 40);  // or far out of range
    value += digits[at] > '5' - (digits.find_first_not_of('0', at + 1) < digits.size() || value % 2);  // tie: to even
    if (m.str(1) == "-") value = -value;
    return true;
}
std::string ErrorOf(const std::function<void()>& run) try { return run(), ""; } catch (const VBError& e) {
    return "error " + std::to_string(e.Number());
} catch (...) {
    return "an exception that is not the program's own error";
}
long long Env(const char* name, long long other) { return std::getenv(name) ? std::atoll(std::getenv(name)) : other; }
char gFile[64] = "no file yet";  // a crash in the program's code ends the run: it must still name the file
LONG WINAPI Crash(EXCEPTION_POINTERS*) { return std::fprintf(stderr, "crash: %s\n", gFile), EXCEPTION_CONTINUE_SEARCH; }
TEST(SettingsCampaign, GeneratedFilesLoadAndSaveByTheRules) {
    SetUnhandledExceptionFilter(Crash);
    const long long seed = Env("KALVORY_CAMPAIGN_SEED", 20260706), only = Env("KALVORY_CAMPAIGN_FILE", -1);
    const long long end = only < 0 ? Env("KALVORY_CAMPAIGN_FILES", 1000) : only + 1;
    const testing::TestResult& result = *testing::UnitTest::GetInstance()->current_test_info()->result();
    TempFolder folder, unspellable(L"-시계");  // every other file in a folder the code page cannot spell
    int raised = 0, saves = 0, inLayout = 0;
    for (int number = int(std::max(only, 0LL)); number < end && result.total_part_count() < 10; ++number) {
        size_t kind = 0;
        for (int slot = number % 2000 * 7 % 2000; slot >= kKinds[kind].share;) slot -= kKinds[kind++].share;
        const auto [bytes, layout] = Generate(static_cast<uint32_t>(seed), number, kKinds[kind]);
        std::snprintf(gFile, sizeof gFile, "seed %lld file %d (%s)", seed, number, kKinds[kind].name);
        const std::wstring copy = folder.File(std::to_wstring(number) + L".copy");
        gstrIniPath = (number % 2 ? unspellable : folder).File(std::to_wstring(number) + L".ini");
        WriteBytes(gstrIniPath, bytes), WriteBytes(copy, bytes);
        SCOPED_TRACE(gFile + (": " + testing::PrintToString(bytes.substr(0, 400))));
        std::string want;  // the settings read, or the error that ends the load
        for (const Setting* s = kSettings; s < kSettings + 8 && want != "error 6"; Put(*s++, 0)) {
            char buffer[256] = {};  // the program's own size; a double-byte character cut at byte 255 is dropped
            GetPrivateProfileStringA(Section(*s), s->key, "", buffer, 256, ToAnsi(copy).c_str());
            size_t kept = 0, size = std::string(buffer).size();
            while (kept < size) kept += IsDBCSLeadByte(static_cast<BYTE>(buffer[kept])) ? 2 : 1;
            const std::string text(buffer, kept > size ? kept - 2 : kept);
            long long v = s->bits == 1 ? -(text == "True") : s->fallback;  // out of range: it changes in its width
            const bool over = s->bits > 1 && ReadNumber(text, v) && v != (s->bits > 16 ? Long(v) : Integer(v));
            want = over ? "error 6" : want + s->key + "=" + std::to_string(v) + " ";
        }
        std::string error = ErrorOf(LoadSettings), got = error;
        for (const Setting& s : kSettings) got += error.empty() ? s.key + ("=" + std::to_string(Get(s))) + " " : "";
        EXPECT_EQ(want, got + (error.size() && ReadBytes(gstrIniPath) != bytes ? " and a changed file" : ""));
        raised += error == "error 6";
        if (got != want || error.size()) continue;
        for (const Setting& s : kSettings)  // as the menus set them, any position; the rest as the platform leaves it
            Put(s, s.bits < 32 ? In(s.low, s.high) : Long(Chance(80) ? gRandom() : 0x7fffffffu + Below(2))),
                WritePrivateProfileStringA(Section(s), s.key, Text(s).c_str(), ToAnsi(copy).c_str());
        const auto save = [] { EXPECT_TRUE(SaveSettings()) << "reported unsaved"; };
        const std::string saved = ErrorOf(save).append(ReadBytes(gstrIniPath)), copied = ReadBytes(copy);
        const size_t at = std::mismatch(saved.begin(), saved.end(), copied.begin(), copied.end()).first - saved.begin();
        EXPECT_EQ(copied.substr(at, 200), saved.substr(at, 200)) << "the save differs from byte " << at;
        saves++, inLayout += layout;
    }
    std::printf("campaign: seed %lld: %d loads raised, %d saves checked, %d in the platform's layout\n", seed, raised,
                saves, inLayout);
}
}  // namespace

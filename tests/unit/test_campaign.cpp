// Thousands of generated settings files through the real load and save,
// each checked against the settings rules worked out independently.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

#include "ini_campaign.h"
#include "modules/modGlobal.h"
#include "modules/modStart.h"
#include "runtime/Error.h"
#include "support.h"

using namespace campaign;

namespace {
// A crash inside the program's code ends the run; the file that caused it
// must still be named. (A hang ends at the test's time limit.)
char gCurrent[64] = "no file yet";
LONG WINAPI NameTheCrash(EXCEPTION_POINTERS*) {
    std::fprintf(stderr, "campaign: crashed on %s\n", gCurrent);
    return EXCEPTION_CONTINUE_SEARCH;
}

Values Globals() {
    return {glngTop,      glngLeft,         gintFontSize,  gintFontColor,
            gblnFontBold, gintTranslucence, gblnDispClock, gblnTimeTone};
}

void SetGlobals(const Values& v) {
    glngTop = v[0], glngLeft = v[1];
    gintFontSize = Integer(v[2]), gintFontColor = Integer(v[3]), gintTranslucence = Integer(v[5]);
    gblnFontBold = Boolean(v[4]), gblnDispClock = Boolean(v[6]), gblnTimeTone = Boolean(v[7]);
}

// What the menus can set, positions anywhere; now and then the values just
// loaded, which the platform then leaves unwritten where the text is the same.
Values ValuesToSave(uint32_t seed, int number, const Values& loaded) {
    std::mt19937 rng(seed ^ (static_cast<uint32_t>(number) * 2654435761u));
    bool menus = true;
    for (int i = 2; i < 8; ++i) menus = menus && loaded[i] >= kSettings[i].low && loaded[i] <= kSettings[i].high;
    if (menus && rng() % 4 == 0) return loaded;
    Values v{};
    for (int i = 0; i < 8; ++i) {
        const uint32_t roll = rng(), span = static_cast<uint32_t>(kSettings[i].high - kSettings[i].low + 1);
        const Long position = roll % 10 == 0 ? INT32_MIN : roll % 10 == 1 ? INT32_MAX : static_cast<Long>(rng());
        v[i] = i >= 2 ? kSettings[i].low + static_cast<Long>(roll % span) : position;
    }
    return v;
}

std::string Show(const Values& v) {
    std::string text;
    for (int i = 0; i < 8; ++i) text += std::string(kSettings[i].key) + "=" + std::to_string(v[i]) + " ";
    return text;
}

struct Campaign {
    const char* given = std::getenv("KALVORY_CAMPAIGN_SEED");
    uint32_t seed = given && *given ? static_cast<uint32_t>(std::strtoul(given, nullptr, 10)) : 20260706;
    TempFolder folder;
    std::map<Kind, int> kinds;
    int raised = 0, saves = 0, layoutSaves = 0, failures = 0;

    void Run(int number) {
        std::snprintf(gCurrent, sizeof(gCurrent), "seed %u file %d", seed, number);
        const GeneratedFile file = Generate(seed, number);
        ++kinds[file.kind];
        const std::wstring path = folder.File(L"c" + std::to_wstring(number) + L".ini");
        WriteBytes(path, file.bytes);
        gstrIniPath = path;
        SCOPED_TRACE(std::string(gCurrent) + " (" + KindName(file.kind) +
                     "; rerun with KALVORY_CAMPAIGN_SEED=" + std::to_string(seed) +
                     " KALVORY_CAMPAIGN_FILE=" + std::to_string(number) + ")\n" + Describe(file.bytes));
        if (Load(path, file)) Save(path, file, number);
        DeleteFileW(path.c_str());
    }

    // The load must give what the rules give; false when it raised.
    bool Load(const std::wstring& path, const GeneratedFile& file) {
        const Expectation expected = Expect(path);
        long error = 0;
        SetGlobals(Values{});
        try {
            LoadSettings();
        } catch (const VBError& e) {
            error = e.Number();
        } catch (...) {
            return Fail("an exception other than the program's error escaped the load");
        }
        const int at = expected.overflowAt;
        raised += at >= 0;
        if (at >= 0 && error == vbErr::Overflow)
            return ReadBytes(path) != file.bytes && Fail("a load that raised changed the file");
        if (at < 0 && error == 0 && Globals() == expected.values) return true;
        std::string texts;
        for (const std::string& text : expected.text) texts += "'" + Describe(text) + "' ";
        return Fail("error " + std::to_string(error) + ", loaded " + Show(Globals()) + "\nexpected " +
                    (at >= 0 ? "the overflow error for " + std::string(kSettings[at].key) : Show(expected.values)) +
                    "\nfrom " + texts);
    }

    void Save(const std::wstring& path, const GeneratedFile& file, int number) {
        ++saves;
        const std::vector<std::string> entries = OtherEntries(path);
        const Values values = ValuesToSave(seed, number, Globals());
        SetGlobals(values);
        try {
            SaveSettings();
        } catch (...) {
            Fail("an exception escaped the save");
            return;
        }
        const std::string saved = ReadBytes(path);
        std::string wrong;
        for (int i = 0; i < 8; ++i) {
            const std::string text = ProfileText(path, kSettings[i].section, kSettings[i].key);
            if (text != TextOf(kSettings[i], values[i])) wrong += kSettings[i].key + (" is '" + Describe(text) + "'; ");
        }
        std::string rest = Difference(entries, OtherEntries(path));
        if (rest.empty() && file.platformLayout) {
            ++layoutSaves;
            rest = Difference(OtherLines(file.bytes), OtherLines(saved));
        }
        if (!wrong.empty() || !rest.empty())
            Fail("after saving " + Show(values) + ": " + wrong + (rest.empty() ? "" : "the rest changed at " + rest) +
                 "\nsaved file: " + Describe(saved, 2000));
    }

    bool Fail(const std::string& what) {
        ++failures;
        ADD_FAILURE() << what;
        return false;
    }
};

TEST(SettingsCampaign, GeneratedFilesLoadAndSaveByTheRules) {
    SetUnhandledExceptionFilter(NameTheCrash);
    Campaign campaign;
    const char* only = std::getenv("KALVORY_CAMPAIGN_FILE");
    const char* files = std::getenv("KALVORY_CAMPAIGN_FILES");
    const int first = only && *only ? std::atoi(only) : 0;
    const int end = only && *only ? first + 1 : files && *files ? std::atoi(files) : 1000;
    for (int number = first; number < end && campaign.failures < 10; ++number) campaign.Run(number);
    std::string kinds;
    for (const auto& [kind, count] : campaign.kinds) kinds += KindName(kind) + (" " + std::to_string(count)) + ", ";
    std::printf("campaign: seed %u: %s%d loads raised the overflow error, %d saves checked, %d of them line by line\n",
                campaign.seed, kinds.c_str(), campaign.raised, campaign.saves, campaign.layoutSaves);
}
}  // namespace

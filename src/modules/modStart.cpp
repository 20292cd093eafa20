#include "modStart.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <new>

#include "../classes/clsIniFile.h"
#include "../forms/frmMain.h"
#include "../runtime/App.h"
#include "../runtime/Error.h"
#include "../runtime/Forms.h"
#include "../runtime/Text.h"
#include "modDefine.h"
#include "modGlobal.h"
#include "modStandard.h"

namespace {
constexpr UINT kExitStartupError = 1;

Boolean ReadBoolean(clsIniFile& ini, const wchar_t* section, const wchar_t* key) {
    return CBool(ini.getValue(section, key) == kTextTrue);
}

bool WriteBoolean(clsIniFile& ini, const wchar_t* section, const wchar_t* key, Boolean value) {
    return ini.setValue(section, key, value ? kTextTrue : kTextFalse);
}

bool WriteNumber(clsIniFile& ini, const wchar_t* section, const wchar_t* key, long value) {
    return ini.setValue(section, key, DecimalText(value));
}

void StartUp() {
    gstrAppTitle = GetAppTitle(kProductName, kTitleTag);
    gstrAppPath = GetAppPath();
    gstrIniPath = gstrAppPath + kIniFileName;
    if (App.PrevInstance()) {
        ShowErrorMessage(kMsgSecondInstance);
        return;
    }
    LoadSettings();
    frmMain.Load();
}

[[noreturn]] void FailStartUp(const VBError& error) {
    ShowErrorMessage(kMsgUnexpectedError, &error);
    EndProgramNow(kExitStartupError);
}
}  // namespace

void Main() {
    try {
        StartUp();
    } catch (const VBError& error) {
        FailStartUp(error);
    } catch (const std::bad_alloc&) {
        FailStartUp(VBError(vbErr::OutOfMemory, L"メモリが不足しています。"));
    } catch (const std::exception& error) {
        FailStartUp(VBError(0, FromAnsi(error.what())));
    }
}

void LoadSettings() {
    gblnFirstRun = CBool(!FileExists(gstrIniPath));
    clsIniFile ini;
    ini.setFile(gstrIniPath, false);
    // Positions are read as 32-bit numbers: a clock on the right half of a
    // wide screen lies beyond 32767 twips and must start again from there.
    glngTop = ini.getLongValue(kSectionWindowDesign, kKeyTop, 1000);
    glngLeft = ini.getLongValue(kSectionWindowDesign, kKeyLeft, 1000);
    gintFontSize = ini.getIntValue(kSectionWindowDesign, kKeyFontSize, 16);
    gintFontColor = ini.getIntValue(kSectionWindowDesign, kKeyFontColor, 1);
    gblnFontBold = ReadBoolean(ini, kSectionWindowDesign, kKeyFontBold);
    gintTranslucence = ini.getIntValue(kSectionWindowDesign, kKeyTranslucence, 0);
    gblnDispClock = ReadBoolean(ini, kSectionConfig, kKeyDispClock);
    gblnTimeTone = ReadBoolean(ini, kSectionConfig, kKeyTimeTone);
    gblnHideInFullScreen = ReadBoolean(ini, kSectionConfig, kKeyHideInFullScreen);
}

bool SaveSettings() {
    clsIniFile ini;
    if (!ini.setFile(gstrIniPath, false)) return false;
    // Every key is tried, whatever became of the one before.
    const bool written[] = {WriteNumber(ini, kSectionWindowDesign, kKeyTop, glngTop),
                            WriteNumber(ini, kSectionWindowDesign, kKeyLeft, glngLeft),
                            WriteNumber(ini, kSectionWindowDesign, kKeyFontSize, gintFontSize),
                            WriteNumber(ini, kSectionWindowDesign, kKeyFontColor, gintFontColor),
                            WriteBoolean(ini, kSectionWindowDesign, kKeyFontBold, gblnFontBold),
                            WriteNumber(ini, kSectionWindowDesign, kKeyTranslucence, gintTranslucence),
                            WriteBoolean(ini, kSectionConfig, kKeyDispClock, gblnDispClock),
                            WriteBoolean(ini, kSectionConfig, kKeyTimeTone, gblnTimeTone)};
    // A file the user marked read-only is kept as it is, by their choice.
    return IsReadOnly(gstrIniPath) || std::all_of(std::begin(written), std::end(written), [](bool w) { return w; });
}

// The pieces below the clock window: the settings file's access, the program's folder and instance, the tray record.
#include "support.h"
// After windows.h, which it needs.
#include <sddl.h>

#include "classes/clsIniFile.h"

// The test exe's own import of the profile read, which a test may point elsewhere for a while.
extern void* gProfileRead asm("__imp__GetPrivateProfileStringA@24");

namespace {
// What a hand-edited settings file holds, key by key, and what the load makes of it: a number rounded to the nearest
// whole one, a half to the even one as its digits are written, and within the key's width, or the load ends with
// error 6; anything else the key's default; a flag set only by the exact "True". The file lives in a folder the code
// page cannot spell, and no load changes it.
TEST(Settings, EachValueLoadsByTheRules) {
    const TempFolder folder(L"-시계");
    gstrIniPath = folder.File(L"Kalvory.ini");
    const std::string keys[] = {"Top",          "Left",       "Font Size", "Font Color",         "Font Bold",
                                "Translucence", "Disp Clock", "Time Tone", "Hide In Full Screen"};
    const std::pair<std::string, std::string> cases[] = {
        {"", "1000 1000 16 1 0 0 0 0 0"},
        {"Font Size=12.5", "12"},
        {"Font Size=13.5", "14"},
        {"Font Size=-12.5", "-12"},
        {"Font Size=12.50000000000000000001", "13"},
        {"Font Size=15d-1", "2"},
        {"Font Size= +007 ", "7"},
        {"Font Size=1,005", "1005"},
        {"Font Size=1.2,5", "16"},
        {"Font Size=.5", "0"},
        {"Font Size=,5", "16"},
        {"Font Size=- 5", "16"},
        {"Font Size=1e", "16"},
        {"Font Size=32767.49999999999999999999", "32767"},
        {"Font Size=-32768.5", "-32768"},
        {"Font Size=32767.5", "error 6"},
        {"Font Size=-32769", "error 6"},
        {"Top=2147483647", "2147483647"},
        {"Top=-2147483648.5", "-2147483648"},
        {"Top=2147483648", "error 6"},
        {"Font Bold=True", "-1"},
        {"Disp Clock=true", "0"},
        {"Time Tone=TRUE", "0"},
        {"Hide In Full Screen=true", "0"},
    };
    for (const auto& [line, expected] : cases) {
        const size_t key = std::find(keys, keys + 9, line.substr(0, line.find('='))) - keys;
        const std::string bytes = (key >= 6 ? "[Config]\r\n" : "[Window Design]\r\n") + line + "\r\n";
        WriteBytes(gstrIniPath, bytes);
        std::string found;
        try {
            LoadSettings();
            const long values[] = {glngTop,          glngLeft,      gintFontSize, gintFontColor,       gblnFontBold,
                                   gintTranslucence, gblnDispClock, gblnTimeTone, gblnHideInFullScreen};
            for (size_t i = 0; i < 9; ++i) {
                if (key == i || key == 9) found += std::to_string(values[i]) + " ";
            }
        } catch (const VBError& error) {
            found = "error " + std::to_string(error.Number()) + " ";
        }
        EXPECT_EQ(found, expected + " ") << line;
        EXPECT_EQ(ReadBytes(gstrIniPath), bytes) << line;
    }
}

// Only an ordinary file, read-only or not, holds the settings.
TEST(IniFile, HiddenAndSystemFilesHoldNoSettings) {
    const TempFolder folder;
    const std::wstring path = folder.File(L"Kalvory.ini");
    WriteBytes(path, "");
    std::string found;
    for (const DWORD attributes :
         {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY}) {
        SetFileAttributesW(path.c_str(), attributes);
        found += std::to_string(FileExists(path));
    }
    EXPECT_EQ(found, "1001");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Windows may cut a value at its buffer's end through a double-byte character; Wine's profile function never does,
// so the exe's import of it is pointed at one that answers as Windows does.
DWORD WINAPI CutThroughACharacter(LPCSTR, LPCSTR, LPCSTR, LPSTR buffer, DWORD size, LPCSTR) {
    memset(buffer, 'x', size);
    buffer[size - 2] = '\x8e';
    buffer[size - 1] = '\0';
    return size - 1;
}

TEST(IniFile, AValueCutThroughACharacterLosesTheHalf) {
    const TempFolder folder;
    clsIniFile ini;
    ini.setFile(folder.File(L"Kalvory.ini"), true);
    const ImportPatch windowsProfileRead(&gProfileRead, reinterpret_cast<void*>(CutThroughACharacter));
    EXPECT_EQ(ini.getValue(L"Config", L"Long"), std::wstring(254, L'x'));
}

// A drive's root is the folder of an exe there.
TEST(App, TheFolderIsTheExesAndACopyThatCannotBeOpenedIsRunning) {
    App.SetModulePathForTest(L"D:\\Kalvory.exe");
    EXPECT_EQ(GetAppPath(), L"D:\\");
    App.SetModulePathForTest(L"");
    // A copy running elevated or as another user holds the program's name where this one may not open it.
    PSECURITY_DESCRIPTOR closed = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1, &closed, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, closed, FALSE};
    const KernelHandle other(CreateMutexW(&attributes, FALSE, L"Local\\Kalvory.SingleInstance"));
    EXPECT_TRUE(AppObject().PrevInstance());
    LocalFree(closed);
}

// The tip is cut to the 64-byte field of the shell's first record, in whole characters; nothing is written past the
// record.
TEST(TaskTray, TheTipIsCutToItsField) {
    const FakeShell shell(0);
    clsTaskTray tray;
    tray.SetToolTipText(std::wstring(40, L'時'));
    tray.Add();
    const NOTIFYICONDATAA& record = FakeShell::calls.at(0).record;
    EXPECT_EQ(record.szTip, ToAnsi(std::wstring(31, L'時')));
    const std::string beyond(reinterpret_cast<const char*>(&record) + 88, sizeof record - 88);
    EXPECT_EQ(beyond, std::string(sizeof record - 88, '\0'));
}
}  // namespace

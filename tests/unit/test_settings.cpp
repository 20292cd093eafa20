// The INI class's guard of its file on disk. Its reading of numbers and the
// load and save of the settings are the campaign's (test_campaign.cpp).
#include "classes/clsIniFile.h"
#include "support.h"

namespace {
class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    const std::wstring path = folder.File(L"Kalvory.ini"), nowhere = folder.File(L"missing\\Kalvory.ini");
    const std::string content = "[Config]\r\nDisp Clock=True\r\n";
    clsIniFile ini;
    std::wstring Read() { return ini.getValue(L"Config", L"Disp Clock"); }
};

TEST_F(IniFileTest, OnlySetFileCreatesOrEmptiesTheFileAndAFailedOneKeepsTheBinding) {
    EXPECT_FALSE(ini.setFile(nowhere));
    EXPECT_FALSE(PathExists(folder.File(L"missing")));
    EXPECT_EQ(Read(), L"") << "unbound";
    EXPECT_FALSE(ini.setValue(L"Config", L"Disp Clock", L"True"));
    EXPECT_TRUE(ini.setFile(path));
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ(ReadBytes(path), "");
    WriteBytes(path, content);
    EXPECT_TRUE(ini.setFile(path, false));
    EXPECT_FALSE(ini.setFile(nowhere));
    EXPECT_EQ(ReadBytes(path), content);
    EXPECT_EQ(Read(), L"True");
    EXPECT_TRUE(ini.setValue(L"Config", L"Time Tone", L"True"));
    EXPECT_EQ(ini.getValue(L"Config", L"Time Tone"), L"True");
    DeleteFileW(path.c_str());
    EXPECT_FALSE(ini.setValue(L"Config", L"Time Tone", L"False"));
    EXPECT_EQ(ini.getValue(L"Config", L"Time Tone"), L"");
    EXPECT_FALSE(PathExists(path)) << "never made again by a read or a write";
    WriteBytes(path, content);
    EXPECT_TRUE(ini.setFile(path, true));
    EXPECT_EQ(ReadBytes(path), "");
}

// A directory search with the ordinary attribute mask finds normal,
// read-only and archive files, and neither hidden nor system files nor folders.
TEST_F(IniFileTest, OnlyOrdinaryFilesCountAsThere) {
    WriteBytes(path, content);
    ASSERT_TRUE(ini.setFile(path));
    for (const DWORD attribute : {FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY}) {
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), attribute));
        const bool ordinary = (attribute & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
        EXPECT_EQ(FileExists(path), ordinary) << attribute;
        EXPECT_EQ(Read(), ordinary ? L"True" : L"") << attribute;
        EXPECT_TRUE(ordinary || !ini.setValue(L"Config", L"Disp Clock", L"False")) << attribute;
    }
    EXPECT_FALSE(ini.setValue(L"Config", L"Disp Clock", L"False")) << "read-only";
    EXPECT_FALSE(ini.setFile(path, true)) << "a read-only file is not emptied";
    EXPECT_EQ(ReadBytes(path), content);
    CreateDirectoryW(folder.File(L"Folder.ini").c_str(), nullptr);
    for (const wchar_t* name : {L"Folder.ini", L"*.ini", L"Kalvory.in?", L"K*", L""})
        EXPECT_FALSE(FileExists(folder.File(name))) << name;
    EXPECT_FALSE(ini.setFile(folder.File(L"Folder.ini")));
    EXPECT_FALSE(clsIniFile().setFile(folder.File(L"*.ini"))) << "a wildcard never binds to another file";
}
}  // namespace

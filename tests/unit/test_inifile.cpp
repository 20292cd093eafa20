// The INI class against real files: creation, the existence rule, the
// 255-byte read, the numeric rules and what a read-only file allows.
#include <gtest/gtest.h>

#include "classes/clsIniFile.h"
#include "runtime/Error.h"
#include "support.h"

namespace {
const std::wstring kSection = L"Window Design";

class IniFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::wstring path = folder.File(L"Kalvory.ini");
    clsIniFile ini;

    void Bind(const std::string& content) {
        WriteBytes(path, content);
        ASSERT_TRUE(ini.setFile(path));
    }
    long OverflowNumberOf(const std::string& value) {
        Bind("[Window Design]\r\nTop=" + value + "\r\n");
        try {
            ini.getIntValue(kSection, L"Top", 0);
        } catch (const VBError& error) {
            return error.Number();
        }
        return 0;
    }
};

TEST_F(IniFileTest, SetFileCreatesAMissingFileEmptyAndKeepsOrEmptiesAnExistingOne) {
    EXPECT_TRUE(ini.setFile(path));
    EXPECT_TRUE(PathExists(path));
    EXPECT_EQ(ReadBytes(path), "");

    WriteBytes(path, "[Config]\r\nTime Tone=True\r\n");
    EXPECT_TRUE(ini.setFile(path, false));
    EXPECT_EQ(ReadBytes(path), "[Config]\r\nTime Tone=True\r\n");

    EXPECT_TRUE(ini.setFile(path, true));
    EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(IniFileTest, AMissingFolderFailsAndKeepsThePreviousBinding) {
    Bind("[Config]\r\nDisp Clock=True\r\n");
    const std::wstring nowhere = folder.File(L"missing\\Kalvory.ini");
    EXPECT_FALSE(ini.setFile(nowhere));
    EXPECT_FALSE(PathExists(folder.File(L"missing")));
    EXPECT_EQ(ini.getValue(L"Config", L"Disp Clock"), L"True");
}

TEST_F(IniFileTest, AnUnboundObjectNeitherReadsNorWrites) {
    EXPECT_FALSE(ini.setFile(folder.File(L"missing\\Kalvory.ini")));
    EXPECT_EQ(ini.getValue(L"Config", L"Disp Clock"), L"");
    EXPECT_EQ(ini.getIntValue(kSection, L"Top", 42), 42);
    EXPECT_FALSE(ini.setValue(L"Config", L"Disp Clock", L"True"));
}

TEST_F(IniFileTest, EmptyAndMissingValuesReadAsEmptyText) {
    Bind("[Window Design]\r\nTop=\r\n");
    EXPECT_EQ(ini.getValue(kSection, L"Top"), L"");
    EXPECT_EQ(ini.getValue(kSection, L"Left"), L"");
    EXPECT_EQ(ini.getValue(L"Nowhere", L"Top"), L"");
}

TEST_F(IniFileTest, ValuesAreCutToTheirFirst255BytesNeverInsideACharacter) {
    Bind("[Window Design]\r\nLong=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ini.getValue(kSection, L"Long"), std::wstring(255, L'x'));

    // 128 two-byte characters: the 255th byte is the first half of the last one.
    std::string japanese;
    for (int i = 0; i < 128; ++i) japanese += "\x8e\x9e";  // 時
    Bind("[Window Design]\r\nLong=" + japanese + "\r\n");
    EXPECT_EQ(ini.getValue(kSection, L"Long"), std::wstring(127, L'時'));
}

TEST_F(IniFileTest, NumbersRoundHalfToEvenAndNonNumbersGiveTheDefault) {
    const struct {
        const char* text;
        Integer expected;
    } cases[] = {{"12", 12},    {"-5", -5},      {"2.5", 2},       {"3.5", 4},         {"12.5", 12},
                 {"1e3", 1000}, {" 7 ", 7},      {"32767", 32767}, {"-32768", -32768}, {"abc", 99},
                 {"", 99},      {"1,000", 1000}, {"12abc", 99},    {"-", 99}};
    for (const auto& c : cases) {
        Bind(std::string("[Window Design]\r\nTop=") + c.text + "\r\n");
        EXPECT_EQ(ini.getIntValue(kSection, L"Top", 99), c.expected) << "text: '" << c.text << "'";
    }
    // Rounded from the digits as written: the nearest double of each is the half itself.
    Bind("[Window Design]\r\nTop=2.50000000000000000001\r\nLeft=32767.49999999999999999999\r\n");
    EXPECT_EQ(ini.getIntValue(kSection, L"Top"), 3);
    EXPECT_EQ(ini.getIntValue(kSection, L"Left"), 32767);
}

TEST_F(IniFileTest, NumbersBeyondSixteenBitsRaiseTheOverflowError) {
    EXPECT_EQ(OverflowNumberOf("32768"), vbErr::Overflow);
    EXPECT_EQ(OverflowNumberOf("1e5"), vbErr::Overflow);
    EXPECT_EQ(OverflowNumberOf("-32769"), vbErr::Overflow);
    EXPECT_EQ(OverflowNumberOf("32767.5"), vbErr::Overflow);
    EXPECT_EQ(OverflowNumberOf("1e400"), vbErr::Overflow);
    EXPECT_EQ(OverflowNumberOf("-32768.50000000000000000001"), vbErr::Overflow);
}

TEST_F(IniFileTest, LongValuesFollowTheSameRulesWithThirtyTwoBits) {
    Bind("[Window Design]\r\nLeft=40000\r\nTop=99999999999\r\nWide=-2147483648\r\n");
    EXPECT_EQ(ini.getLongValue(kSection, L"Left", 0), 40000);
    EXPECT_EQ(ini.getLongValue(kSection, L"Wide", 0), INT32_MIN);
    EXPECT_EQ(ini.getLongValue(kSection, L"None", 1000), 1000);
    EXPECT_THROW(ini.getLongValue(kSection, L"Top", 0), VBError);
}

TEST_F(IniFileTest, WritesGoOnlyToAFileThatStillExists) {
    Bind("");
    EXPECT_TRUE(ini.setValue(L"Config", L"Time Tone", L"True"));
    EXPECT_EQ(ini.getValue(L"Config", L"Time Tone"), L"True");

    DeleteFileW(path.c_str());
    EXPECT_FALSE(ini.setValue(L"Config", L"Time Tone", L"False"));
    EXPECT_EQ(ini.getValue(L"Config", L"Time Tone"), L"");
    EXPECT_FALSE(PathExists(path));
}

TEST_F(IniFileTest, AReadOnlyFileIsReadButNeitherWrittenNorEmptied) {
    const std::string content = "[Config]\r\nDisp Clock=True\r\n";
    WriteBytes(path, content);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(ini.setFile(path, false));
    EXPECT_EQ(ini.getValue(L"Config", L"Disp Clock"), L"True");
    EXPECT_FALSE(ini.setValue(L"Config", L"Disp Clock", L"False"));
    EXPECT_FALSE(ini.setFile(path, true));
    EXPECT_EQ(ReadBytes(path), content);
}

TEST_F(IniFileTest, FoldersCountAsMissingAndAreNeverReplaced) {
    CreateDirectoryW(path.c_str(), nullptr);
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(ini.setFile(path));
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(IniFileTest, WildcardsNeverBindToAnotherFile) {
    Bind("[Config]\r\nDisp Clock=True\r\n");
    clsIniFile other;
    EXPECT_FALSE(other.setFile(folder.File(L"*.ini")));
    EXPECT_FALSE(FileExists(folder.File(L"Kalvory.in?")));
}
}  // namespace

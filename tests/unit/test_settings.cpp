// Loading and saving the eight settings through the real settings file.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "modules/modGlobal.h"
#include "modules/modStart.h"
#include "runtime/Error.h"
#include "support.h"

namespace {
class SettingsTest : public ::testing::Test {
protected:
    TempFolder folder;

    void SetUp() override { gstrIniPath = folder.File(L"Kalvory.ini"); }
    void Write(const std::string& content) { WriteBytes(gstrIniPath, content); }
    std::string Read() const { return ReadBytes(gstrIniPath); }
    void SetAll(Long top, Long left, Integer size, Integer color, Boolean bold, Integer trans, Boolean disp,
                Boolean tone) {
        glngTop = top;
        glngLeft = left;
        gintFontSize = size;
        gintFontColor = color;
        gblnFontBold = bold;
        gintTranslucence = trans;
        gblnDispClock = disp;
        gblnTimeTone = tone;
    }
};

TEST_F(SettingsTest, AMissingFileIsCreatedEmptyAndEveryKeyTakesItsDefault) {
    SetAll(1, 2, 3, 4, vbTrue, 5, vbTrue, vbTrue);
    LoadSettings();
    EXPECT_EQ(Read(), "");
    EXPECT_EQ(glngTop, 1000);
    EXPECT_EQ(glngLeft, 1000);
    EXPECT_EQ(gintFontSize, 16);
    EXPECT_EQ(gintFontColor, 1);
    EXPECT_EQ(gblnFontBold, vbFalse);
    EXPECT_EQ(gintTranslucence, 0);
    EXPECT_EQ(gblnDispClock, vbFalse);
    EXPECT_EQ(gblnTimeTone, vbFalse);
}

TEST_F(SettingsTest, EachKeyIsReadByItsOwnRule) {
    Write(
        "[Window Design]\r\nTop=1e3\r\nLeft=12.5\r\nFont Size=abc\r\nFont Color=\r\nFont Bold=True\r\n"
        "Translucence=3\r\n[Config]\r\nDisp Clock=true\r\nTime Tone=-1\r\n");
    LoadSettings();
    EXPECT_EQ(glngTop, 1000);
    EXPECT_EQ(glngLeft, 12);
    EXPECT_EQ(gintFontSize, 16);
    EXPECT_EQ(gintFontColor, 1);
    EXPECT_EQ(gblnFontBold, vbTrue);
    EXPECT_EQ(gintTranslucence, 3);
    EXPECT_EQ(gblnDispClock, vbFalse) << "only the exact text True is true";
    EXPECT_EQ(gblnTimeTone, vbFalse);
}

TEST_F(SettingsTest, PositionsBeyondSixteenBitsLoadAndSaveBackUnchanged) {
    Write("[Window Design]\r\nTop=-500\r\nLeft=40000\r\n");
    LoadSettings();
    EXPECT_EQ(glngTop, -500);
    EXPECT_EQ(glngLeft, 40000);
    SaveSettings();
    const auto lines = IniLines(Read());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Top=-500"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Left=40000"), lines.end());
}

TEST_F(SettingsTest, OutOfRangeNumbersFailTheLoadAndLeaveTheFileAlone) {
    for (const char* content : {"[Window Design]\r\nTop=99999999999\r\n", "[Window Design]\r\nFont Size=32768\r\n",
                                "[Window Design]\r\nTranslucence=-40000\r\n"}) {
        Write(content);
        try {
            LoadSettings();
            ADD_FAILURE() << "no error for " << content;
        } catch (const VBError& error) {
            EXPECT_EQ(error.Number(), vbErr::Overflow);
        }
        EXPECT_EQ(Read(), content);
    }
}

TEST_F(SettingsTest, AnEmptyFileReceivesBothSectionsWithTheirKeysInOrder) {
    Write("");
    SetAll(1500, -30, 11, 2, vbTrue, 3, vbTrue, vbFalse);
    SaveSettings();
    const std::vector<std::string> expected = {"[Window Design]", "Top=1500",       "Left=-30",       "Font Size=11",
                                               "Font Color=2",    "Font Bold=True", "Translucence=3", "[Config]",
                                               "Disp Clock=True", "Time Tone=False"};
    EXPECT_EQ(IniLines(Read()), expected);
}

TEST_F(SettingsTest, ForeignSectionsAndKeysSurviveASave) {
    Write("; kept comment\r\n[Other]\r\nx=1\r\n[Window Design]\r\nCustom=keep me\r\nTop=5\r\n");
    LoadSettings();
    SaveSettings();
    const auto lines = IniLines(Read());
    for (const char* kept : {"; kept comment", "[Other]", "x=1", "Custom=keep me", "Top=5"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), kept), lines.end()) << kept;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[Window Design]"), 1);
}

TEST_F(SettingsTest, ASaveRecreatesAFileThatWasDeletedWhileRunning) {
    LoadSettings();
    DeleteFileW(gstrIniPath.c_str());
    gblnTimeTone = vbTrue;
    SaveSettings();
    const auto lines = IniLines(Read());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Time Tone=True"), lines.end());
}
}  // namespace

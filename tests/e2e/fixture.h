#pragma once
// A fresh folder with its own copy of the exe under test, as a user who has
// just unpacked the program has.
#include <gtest/gtest.h>

#include <string>

#include "e2e/driver.h"
#include "unit/support.h"

class InstalledKalvoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::KalvoryAlreadyRunning())
            << "a Kalvory started elsewhere is still running in this Wine session";
        exe_ = e2e::InstallKalvory(folder_.Path());
        ASSERT_FALSE(exe_.empty()) << "KALVORY_EXE unset or not copied";
    }
    std::wstring Ini() const { return folder_.File(L"Kalvory.ini"); }

    TempFolder folder_;
    std::wstring exe_;
};

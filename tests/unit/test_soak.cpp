// A long run of face rebuilds, with the look changed now and then: what the
// process holds of GDI objects and memory must stay where it was.
#include <cstdio>
#include <cstdlib>

#include "clock_fixture.h"

namespace {
using FaceSoakTest = ClockWindowTest;

TEST_F(FaceSoakTest, AHundredThousandRebuildsLeaveGdiObjectsAndMemoryFlat) {
    gblnDispClock = vbFalse;  // a hidden window rebuilds three times faster
    frmMain.Load();
    for (int i = 0; i < 20; ++i) frmMain.timClock_Timer();
    const size_t gdiBefore = GdiFreeCapacity();
    const char* given = std::getenv("KALVORY_SOAK_REBUILDS");
    const int total = given && *given ? std::atoi(given) : 100000;
    // Every 500 rebuilds another size, and bold on or off: fourteen looks in
    // turn, all of them used before the first measurement.
    static const Integer sizes[] = {16, 11, 4, 8, 1, 13, 6};
    size_t memoryEarly = 0;
    for (int i = 1; i <= total; ++i) {
        if (i % 500 == 0) {
            frmMain.mnuFontSizeValue_Click(sizes[i / 500 % 7]);
            frmMain.mnuFontBold_Click();
        }
        SetFixedTime(static_cast<WORD>(i / 3600 % 24), static_cast<WORD>(i / 60 % 60), static_cast<WORD>(i % 60));
        frmMain.timClock_Timer();
        if (i % 1000 == 0) PumpMessages(0);
        if (i == total / 10) memoryEarly = PrivateBytes();
    }
    const size_t memoryLate = PrivateBytes();
    const size_t gdiAfter = GdiFreeCapacity();
    std::printf(
        "soak: %d rebuilds; free GDI capacity %zu before, %zu after; private bytes %zu after %d, %zu at the end\n",
        total, gdiBefore, gdiAfter, memoryEarly, total / 10, memoryLate);
    EXPECT_GT(gdiBefore, 60000u);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_LT(memoryLate, memoryEarly + 256 * 1024) << "growth per rebuild shows as megabytes";
}
}  // namespace

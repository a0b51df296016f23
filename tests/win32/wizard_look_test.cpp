// The default look from what the system reports.
#include <gtest/gtest.h>

#include "wizard/win32/wizard_look.h"

namespace {

// GetVersion() results: the build in the high word (the top bit set on the
// 95/98/Me family), the minor and major version in the low word.
constexpr std::uint32_t kWindows98 = 0xC0000A04;
constexpr std::uint32_t kWindowsMe = 0xC0005A04;
constexpr std::uint32_t kWindowsNt4 = 0x05650004;
constexpr std::uint32_t kWindowsXp = 0x0A280105;
constexpr std::uint32_t kWin32s = 0x80000003;  // the top bit, but system version 3

win32::LookFacts Facts(std::uint32_t major, std::uint32_t minor, std::uint32_t system) {
    win32::LookFacts facts;
    facts.commonControlsLoaded = true;
    facts.versionReported = true;
    facts.majorVersion = major;
    facts.minorVersion = minor;
    facts.systemVersion = system;
    return facts;
}

TEST(WizardLook, TheNewLookFromCommonControls471OnAndNeverOnThe9xFamily) {
    struct Case {
        const char* what;
        win32::LookFacts facts;
        bool newLook;
    };
    win32::LookFacts notLoaded = Facts(6, 0, kWindowsXp);
    notLoaded.commonControlsLoaded = false;
    win32::LookFacts unreported = Facts(6, 0, kWindowsXp);
    unreported.versionReported = false;
    const Case cases[] = {
        {"4.70 on NT", Facts(4, 70, kWindowsNt4), false},
        {"4.71 on NT", Facts(4, 71, kWindowsNt4), true},
        {"5.80 on XP", Facts(5, 80, kWindowsXp), true},
        {"6.0 on XP", Facts(6, 0, kWindowsXp), true},
        {"3.99", Facts(3, 99, kWindowsXp), false},
        {"5.80 on 98", Facts(5, 80, kWindows98), false},
        {"6.0 on Me", Facts(6, 0, kWindowsMe), false},
        {"5.80 on Win32s", Facts(5, 80, kWin32s), true},
        {"no comctl32.dll", notLoaded, false},
        {"no DllGetVersion: 4.0", unreported, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::NewLookSupported(c.facts), c.newLook) << c.what;
    }
}

}  // namespace

#include "wizard/win32/wizard_look.h"

namespace win32 {
namespace {

constexpr std::uint32_t kWindows9xFamily = 0x80000000;

}  // namespace

bool NewLookSupported(const LookFacts& facts) {
    if (!facts.commonControlsLoaded) {
        return false;
    }
    const std::uint32_t major = facts.versionReported ? facts.majorVersion : 4;
    const std::uint32_t minor = facts.versionReported ? facts.minorVersion : 0;
    const bool recentControls = major > 4 || (major == 4 && minor > 70);
    const bool windows9x =
        (facts.systemVersion & kWindows9xFamily) != 0 && (facts.systemVersion & 0xFF) > 3;
    return recentControls && !windows9x;
}

}  // namespace win32

// Whether the wizard takes the newer look of the common controls by
// default: from what the system reports, so that the decision is the same
// on every system and testable without one.
#pragma once

#include <cstdint>

namespace win32 {

// What the native code finds out about the system.
struct LookFacts {
    // "comctl32.dll" could be loaded.
    bool commonControlsLoaded = false;
    // Its "DllGetVersion" exists and answered (else the version is 4.0).
    bool versionReported = false;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    // The result of GetVersion(): the system's major version in the low
    // byte, the top bit set on the Windows 95/98/Me family.
    std::uint32_t systemVersion = 0;
};

// The new look needs the common controls from version 4.71 on, and is never
// used on the 95/98/Me family (from its version 4 on).
bool NewLookSupported(const LookFacts& facts);

}  // namespace win32

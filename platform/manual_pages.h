// Whether this system has manual pages, for the programs' pointers to
// their whole manual.
#pragma once

namespace platform {

// Linux has "man NAME"; on Windows a program's own help is all the manual
// there is.
#if defined(_WIN32)
constexpr bool kHasManualPages = false;
#else
constexpr bool kHasManualPages = true;
#endif

}  // namespace platform

// The language the user has chosen for programs, as a locale name
// ("de_DE.UTF-8", "de"; internal to platform/, used by translation.cpp).
#pragma once

#include <string>

namespace platform {

// POSIX: LC_ALL, LC_MESSAGES or LANG, the first that is set. Windows: the
// user interface language, as the tag of one of the wizard's languages.
// Empty when nothing is chosen (English, untranslated).
std::string UserLocaleName();

}  // namespace platform

// The user interface language (GetUserDefaultUILanguage) as the tag of one
// of the fourteen languages the wizard speaks; any other language is
// English.
#include "platform/win32/windows_api.h"

#include "platform/user_locale.h"
#include "platform/win32/language_tags.h"

namespace platform {
namespace win32 {

std::string LanguageTag(unsigned short language) {
    switch (PRIMARYLANGID(language)) {
        case LANG_SPANISH:
            return "es";
        case LANG_CZECH:
            return "cs";
        case LANG_DANISH:
            return "da";
        case LANG_GERMAN:
            return "de";
        case LANG_FINNISH:
            return "fi";
        case LANG_FRENCH:
            return "fr";
        case LANG_ITALIAN:
            return "it";
        case LANG_DUTCH:
            return "nl";
        case LANG_NORWEGIAN:  // Bokmål and Nynorsk: the one Norwegian catalogue
            return "nb";
        case LANG_POLISH:
            return "pl";
        case LANG_RUSSIAN:
            return "ru";
        case LANG_TURKISH:
            return "tr";
        case LANG_PORTUGUESE:
            return "pt";
        default:
            return "en";
    }
}

}  // namespace win32

std::string UserLocaleName() {
    return win32::LanguageTag(::GetUserDefaultUILanguage());
}

}  // namespace platform

// The tag of the wizard's language for a Windows language identifier
// (LANGID): one of es cs da de en fi fr it nl nb pl ru tr pt, "en" for any
// other language.
#pragma once

#include <string>

namespace platform::win32 {

std::string LanguageTag(unsigned short languageId);

}  // namespace platform::win32

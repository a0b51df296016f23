// The brands a model section accepts (ModemBrand).
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/ini_file.h"

// True when the section has a ModemBrand that is not empty (a value too
// long to be read counts: the section does restrict the brand).
bool HasModemBrand(const IniFile& ini, const std::string& section);

// The brand list as the check reads it: the comma-separated fields with
// trailing white space removed (leading white space stays), up to the
// first empty field, which ends the list.
std::vector<std::string> BrandFields(const std::string& modemBrand);

// True when brand is empty, when the section sets no brands, or when brand
// equals one of the fields exactly (case matters). A ModemBrand too long
// to be read accepts no brand but the empty one.
bool BrandAccepted(const IniFile& ini, const std::string& section, const std::string& brand);

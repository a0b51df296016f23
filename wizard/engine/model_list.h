// ModelList: the model sections of Wizard.inf.
#pragma once

#include <string>
#include <vector>

#include "wizard/engine/ini_file.h"
#include "wizard/engine/multi_string_buffer.h"

constexpr std::size_t MODEL_LIST_SIZE = 256;
using ModelList = MultiStringBuffer<MODEL_LIST_SIZE>;

// Every section name in file order, without the first section named
// Common (a later one counts as a model). Names that no longer fit into
// the list's 256 bytes are left out and, when dropped is given, listed
// there.
ModelList ReadModelList(const IniFile& ini, std::vector<std::string>* dropped = nullptr);

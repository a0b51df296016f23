// Settings of [Common] that are not lists of their own.
#pragma once

#include "wizard/engine/ini_file.h"

// True unless NoATInterpreter is exactly "1".
bool HasAtInterpreter(const IniFile& ini);

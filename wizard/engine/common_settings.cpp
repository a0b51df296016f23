#include "wizard/engine/common_settings.h"

#include "wizard/engine/config_keys.h"

bool HasAtInterpreter(const IniFile& ini) {
    IniValue value = ini.Get(kCommonSection, kKeyNoATInterpreter);
    return !(value.present() && value.text == "1");
}

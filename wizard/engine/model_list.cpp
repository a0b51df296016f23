#include "wizard/engine/model_list.h"

#include "wizard/engine/config_keys.h"
#include "wizard/engine/no_case.h"

ModelList ReadModelList(const IniFile& ini, std::vector<std::string>* dropped) {
    ModelList models;
    bool commonSeen = false;
    for (const IniSection& section : ini.Sections()) {
        if (!commonSeen && EqualsNoCase(section.name, kCommonSection)) {
            commonSeen = true;
            continue;
        }
        if (!models.Append(section.name) && dropped != nullptr) {
            dropped->push_back(section.name);
        }
    }
    return models;
}

// libFuzzer target: any bytes as Wizard.inf, through the reader and every
// configuration rule that works on it. Besides crashes and memory errors
// it stops on a broken promise of the reader (a refused value handed out,
// a list past its capacity, a path past its limit).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_api/multi_string.h"
#include "wizard/engine/brand_check.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/config_keys.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/upload_settings_builder.h"

namespace {

void Check(bool promise) {
    if (!promise) {
        __builtin_trap();
    }
}

void CheckValue(const IniValue& value) {
    if (value.state == IniValue::kPresent) {
        Check(value.text.size() <= kMaxIniValueLength);
        Check(value.text.find('\0') == std::string::npos);
    } else {
        Check(value.text.empty());
    }
}

void ExerciseSection(const IniFile& ini, const std::string& name) {
    for (const char* key :
         {kKeyDLLName, kKeyUploadCommand, kKeyUploadType, kKeyBaudrate, kKeyUploadInterface,
          kKeyUploadFile, kKeyFlashLoader, kKeyModemBrand, kKeyModemType}) {
        CheckValue(ini.Get(name, key));
    }
    UploadSettingsBuffer settings;
    std::string why;
    if (BuildUploadSettings(ini, "/opt/wizard", name, &settings, &why)) {
        std::size_t used = MultiStringSize(settings.settings.files, UPLOAD_FILES_SIZE);
        Check(used > 1 && used <= UPLOAD_FILES_SIZE);
        for (const std::string& file : settings.Files()) {
            Check(file.size() <= kMaxPathLength);
        }
        Check(std::strlen(settings.parameters.command) <= kMaxIniValueLength);
        Check(settings.settings.params == &settings.parameters);
    } else {
        Check(!why.empty());
    }
    std::string path;
    if (PluginPath(ini, "/opt/wizard", name, &path, &why)) {
        Check(path.size() <= kMaxPathLength);
    }
    bool restricted = HasModemBrand(ini, name);
    Check(BrandAccepted(ini, name, ""));
    if (!restricted) {
        Check(BrandAccepted(ini, name, "ALPHA"));
    }
    for (const std::string& field : BrandFields(ini.Get(name, kKeyModemBrand).text)) {
        Check(!field.empty());
        if (field.find(',') == std::string::npos) {
            Check(BrandAccepted(ini, name, field));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::Parse(bytes);

    std::vector<std::string> dropped;
    ModelList models = ReadModelList(ini, &dropped);
    Check(models.UsedBytes() >= 1 && models.UsedBytes() <= MODEL_LIST_SIZE);
    for (const std::string& name : models.Entries()) {
        Check(!name.empty());
    }
    HasAtInterpreter(ini);
    for (const char* key : {kKeyComList, kKeyVersionInfo, kKeyNoATInterpreter}) {
        CheckValue(ini.Get(kCommonSection, key));
    }
    for (const IniSection& section : ini.Sections()) {
        Check(!section.name.empty() && section.name.find('\0') == std::string::npos);
        ExerciseSection(ini, section.name);
        for (const IniEntry& entry : section.entries) {
            CheckValue(ini.Get(section.name, entry.key));
        }
    }
    int value = 0;
    for (const IniSection& section : ini.Sections()) {
        for (const IniEntry& entry : section.entries) {
            ParseProfileInt(entry.value, &value);
            Check(value >= 0);
        }
    }

    // The same bytes as the start of a firmware file.
    FirmwareHeader header;
    std::string why;
    int type = ParseFirmwareHeader(data, size, &header, &why);
    Check(type == FIRMWARE_NO_HEADER || std::strlen(header.version) <= 4);
    return 0;
}

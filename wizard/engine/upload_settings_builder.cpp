#include "wizard/engine/upload_settings_builder.h"

#include <cstring>

#include "plugin_api/multi_string.h"
#include "plugin_api/status.h"
#include "wizard/engine/config_keys.h"
#include "wizard/engine/config_location.h"

namespace {

// Reads a value that must not be refused; false with *why when it was.
bool ReadValue(const IniFile& ini, const std::string& section, const char* key,
               const std::string& fallback, std::string* value, std::string* why) {
    IniValue found = ini.Get(section, key);
    if (found.state == IniValue::kTooLong) {
        *why = std::string(key) + " is longer than " + std::to_string(kMaxIniValueLength) +
               " characters (line " + std::to_string(found.line) + ")";
        return false;
    }
    *value = found.Or(fallback);
    return true;
}

bool FilePath(const std::string& programDir, const std::string& name, const char* key,
              std::string* path, std::string* why) {
    *path = ProgramFilePath(programDir, name);
    if (path->size() > kMaxPathLength) {
        *why = std::string("the path of ") + key + " is longer than " +
               std::to_string(kMaxPathLength) + " characters: " + *path;
        return false;
    }
    return true;
}

}  // namespace

int SnapBaudrate(int configured) {
    for (int i = 6; i >= 0; --i) {
        if (kUploadSpeeds[i] <= configured) {
            return kUploadSpeeds[i];
        }
    }
    return configured;
}

std::int32_t UploadTypeFlags(const std::string& uploadType) {
    std::int32_t flags = 0;
    if (uploadType.find("UPLOAD_SUPPORTED_1K") != std::string::npos) {
        flags |= UPLOAD_SUPPORTED_1K;
    }
    if (uploadType.find("UPLOAD_MODEM") != std::string::npos) {
        flags |= UPLOAD_MODEM;
    }
    return flags;
}

bool IsStandardInterface(const std::string& uploadInterface) {
    return uploadInterface.find("STANDARD") != std::string::npos;
}

UploadSettingsBuffer::UploadSettingsBuffer() : settings{}, parameters{}, command{} {
    MultiStringClear(settings.files);
    settings.params = &parameters;
    parameters.command = command;
}

std::vector<std::string> UploadSettingsBuffer::Files() const {
    std::vector<std::string> files;
    for (const char* entry = settings.files; *entry != '\0'; entry = MultiStringNext(entry)) {
        files.emplace_back(entry);
    }
    return files;
}

bool BuildUploadSettings(const IniFile& ini, const std::string& programDir,
                         const std::string& section, UploadSettingsBuffer* out, std::string* why) {
    std::string ignored;
    if (why == nullptr) {
        why = &ignored;
    }
    std::string uploadFile, flashLoader, uploadInterface, uploadType, command, baudText;
    if (!ReadValue(ini, section, kKeyUploadFile, "", &uploadFile, why) ||
        !ReadValue(ini, section, kKeyFlashLoader, "", &flashLoader, why) ||
        !ReadValue(ini, section, kKeyUploadInterface, kDefaultUploadInterface, &uploadInterface,
                   why) ||
        !ReadValue(ini, section, kKeyUploadType, "", &uploadType, why) ||
        !ReadValue(ini, section, kKeyUploadCommand, "", &command, why) ||
        !ReadValue(ini, section, kKeyBaudrate, std::to_string(kDefaultBaudrate), &baudText, why)) {
        return false;
    }
    if (uploadFile.empty()) {
        *why = "UploadFile is empty";
        return false;
    }

    // Build in a scratch record so that a refusal leaves *out as it was.
    char files[UPLOAD_FILES_SIZE];
    MultiStringClear(files);
    std::string firmwarePath, loaderPath;
    if (!FilePath(programDir, uploadFile, kKeyUploadFile, &firmwarePath, why)) {
        return false;
    }
    MultiStringAppend(files, sizeof files, firmwarePath.c_str());
    if (!flashLoader.empty()) {
        if (!FilePath(programDir, flashLoader, kKeyFlashLoader, &loaderPath, why)) {
            return false;
        }
        if (!MultiStringAppend(files, sizeof files, loaderPath.c_str())) {
            *why = "the firmware and flash-loader paths do not fit the file list of " +
                   std::to_string(UPLOAD_FILES_SIZE) + " bytes";
            return false;
        }
    }

    int baud = 0;
    ParseProfileInt(baudText, &baud);

    std::memcpy(out->settings.files, files, MultiStringSize(files, sizeof files));
    out->settings.standardInterface = IsStandardInterface(uploadInterface) ? 1 : 0;
    out->settings.reserved = 0;
    out->settings.params = &out->parameters;
    out->parameters.flags = UploadTypeFlags(uploadType);
    out->parameters.baud = SnapBaudrate(baud);
    CopyText(out->command, command.c_str());  // fits: values are at most 255 characters
    out->parameters.command = out->command;
    return true;
}

bool PluginPath(const IniFile& ini, const std::string& programDir, const std::string& section,
                std::string* path, std::string* why) {
    std::string ignored;
    if (why == nullptr) {
        why = &ignored;
    }
    path->clear();
    std::string dllName;
    if (!ReadValue(ini, section, kKeyDLLName, "", &dllName, why)) {
        return false;
    }
    if (dllName.empty()) {
        return true;
    }
    std::string full;
    if (!FilePath(programDir, dllName, kKeyDLLName, &full, why)) {
        return false;
    }
    *path = full;
    return true;
}

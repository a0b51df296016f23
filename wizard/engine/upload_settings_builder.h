// The settings of one model section for the firmware upload: the
// UploadSettings record, the plug-in path, and the rules that turn the
// section's texts into values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_api/upload_settings.h"
#include "wizard/engine/ini_file.h"

// The upload speeds, ascending.
constexpr int kUploadSpeeds[7] = {9600, 14400, 19200, 38400, 56000, 57600, 115200};
constexpr int kDefaultBaudrate = 115200;
constexpr const char* kDefaultUploadInterface = "STANDARD";

// The largest table speed not above configured; a value below the lowest
// speed is kept as it is.
int SnapBaudrate(int configured);

// UPLOAD_SUPPORTED_1K and UPLOAD_MODEM for the flag words found anywhere in
// the text (case matters).
std::int32_t UploadTypeFlags(const std::string& uploadType);

// Standard when the text contains "STANDARD" (case matters).
bool IsStandardInterface(const std::string& uploadInterface);

// One UploadSettings record with the parameters and the command text that
// it points to. It points into itself, so it is neither copied nor moved.
struct UploadSettingsBuffer {
    UploadSettingsBuffer();
    UploadSettingsBuffer(const UploadSettingsBuffer&) = delete;
    UploadSettingsBuffer& operator=(const UploadSettingsBuffer&) = delete;

    // What FirmwareUpload receives: the record's first byte.
    char* PluginArgument() { return reinterpret_cast<char*>(&settings); }
    // The paths of the file list.
    std::vector<std::string> Files() const;

    UploadSettings settings;
    UploadParameters parameters;
    char command[256];
};

// Builds the record for a model section: the firmware path (program
// directory + UploadFile), the flash-loader path when FlashLoader is set,
// the interface, the flags, the snapped speed and the upload command.
// Refuses, with the reason in *why and *out untouched, a section without
// UploadFile, a value longer than 255 characters, a path longer than 259
// characters, or two paths that do not fit the 520-byte file list.
bool BuildUploadSettings(const IniFile& ini, const std::string& programDir,
                         const std::string& section, UploadSettingsBuffer* out, std::string* why);

// The plug-in of a model section: program directory + DLLName. True with an
// empty path when the section names no plug-in; false, with *why, when the
// DLLName value or the path is too long to be used.
bool PluginPath(const IniFile& ini, const std::string& programDir, const std::string& section,
                std::string* path, std::string* why);

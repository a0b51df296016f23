// UploadSettings: what the wizard hands to a plug-in's FirmwareUpload, as a
// char* to the record's first byte. The layout is part of the plug-in
// interface: plain C, nothing added or moved.
#pragma once

#include <cstddef>
#include <cstdint>

// Flag values of UploadParameters::flags (and the words of UploadType).
constexpr std::int32_t UPLOAD_SUPPORTED_1K = 2;  // XModem may use 1024-byte blocks
constexpr std::int32_t UPLOAD_MODEM = 4;         // the firmware file carries a flash loader

// Room for the file list: firmware path, optional flash-loader path, end.
constexpr std::size_t UPLOAD_FILES_SIZE = 520;

struct UploadParameters {
    std::int32_t flags;
    const char* command;  // the AT command that starts upload mode
    std::int32_t baud;    // line speed of the upload
};

struct UploadSettings {
    // Multi-string: firmware path, then the flash-loader path if any.
    char files[UPLOAD_FILES_SIZE];
    std::int32_t standardInterface;  // 1 = the wizard's own upload can serve it
    std::int32_t reserved;
    UploadParameters* params;
};

static_assert(offsetof(UploadSettings, standardInterface) == 520, "plug-in ABI");
static_assert(offsetof(UploadSettings, reserved) == 524, "plug-in ABI");
static_assert(offsetof(UploadSettings, params) == 528, "plug-in ABI");
static_assert(offsetof(UploadParameters, flags) == 0, "plug-in ABI");
static_assert(offsetof(UploadParameters, command) == alignof(const char*), "plug-in ABI");

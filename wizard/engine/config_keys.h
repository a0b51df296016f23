// The sections and keys of Wizard.inf.
#pragma once

constexpr const char* kConfigFileName = "Wizard.inf";

// [Common]: settings for all models.
constexpr const char* kCommonSection = "Common";
constexpr const char* kKeyComList = "ComList";
constexpr const char* kKeyVersionInfo = "VersionInfo";
constexpr const char* kKeyNoATInterpreter = "NoATInterpreter";

// A model section, named as the modem reports its model.
constexpr const char* kKeyDLLName = "DLLName";
constexpr const char* kKeyUploadCommand = "UploadCommand";
constexpr const char* kKeyUploadType = "UploadType";
constexpr const char* kKeyBaudrate = "Baudrate";
constexpr const char* kKeyUploadInterface = "UploadInterface";
constexpr const char* kKeyUploadFile = "UploadFile";
constexpr const char* kKeyFlashLoader = "FlashLoader";
constexpr const char* kKeyModemBrand = "ModemBrand";
constexpr const char* kKeyModemType = "ModemType";  // read by the flash plug-in

// The demonstration: a simulated modem, a Wizard.inf and firmware made for
// it, in a directory of their own.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace cli {

// A model the demonstration can update.
struct DemoModel {
    const char* name;         // the section name, also the simulated modem's model
    const char* description;  // one line for the list of demo models
    const char* section;      // the keys of its Wizard.inf section
    std::vector<std::string> simulatorOptions;
    std::uint32_t imageKilobytes;  // size of the firmware image
    std::uint32_t loaderBytes;     // size of the flash loader at the end of the file (0: none)
    const char* plugin;      // plug-in (its name, no suffix) to place beside Wizard.inf, or nullptr
    bool fileStore = false;  // the modem keeps files of its own (in <dir>/store)
    // Intel HEX image and flash loader for the flash plug-in instead of a
    // firmware file (loaderBytes is then the loader's size in data bytes).
    bool intelHex = false;
};

// The simulator's copy of what it received, to compare with the firmware:
// "firmware.bin" from its boot loader, "flash-image.hex" from its flash loader.
const char* ReceivedFirmwareName(const DemoModel& model);

const std::vector<DemoModel>& DemoModels();
const DemoModel* FindDemoModel(const std::string& name);

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// A firmware file: the 128-byte header ("ORV", type L, version, image
// length), the image, and the flash loader where the wizard looks for it.
std::string MakeDemoFirmware(const std::string& version, std::uint32_t imageLength,
                             std::uint32_t loaderLength);

// Writes Wizard.inf and the firmware of model into dir and links the
// model's plug-in from the program directory there. False, with *why, on
// failure.
bool WriteDemoFiles(const DemoModel& model, const std::string& dir, std::uint32_t imageKilobytes,
                    std::string* firmwarePath, std::string* why);

// Fills the simulated modem's file store, a directory of its own: a few
// files of different sizes and attributes, with their listing fields.
bool WriteDemoStore(const std::string& storeDir);

// The simulated modem's stored files with their listing fields, by name,
// as they lie in the store directory.
std::map<std::string, std::string> DemoStoreContents(const std::string& storeDir);

}  // namespace cli

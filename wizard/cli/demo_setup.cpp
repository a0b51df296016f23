#include "wizard/cli/demo_setup.h"

#include <fstream>

#include "platform/paths.h"
#include "wizard/cli/demo_hex_image.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/no_case.h"

namespace cli {
namespace {

constexpr const char* kDemoVersion = "2.31";

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

}  // namespace

const std::vector<DemoModel>& DemoModels() {
    static const std::vector<DemoModel> models = {
        {"ORVA 56K Serial",
         "boot loader at 57600 bit/s; the flash loader from the firmware file goes first",
         "UploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K "
         "UPLOAD_MODEM\n"
         "Baudrate=115200\nUploadInterface=STANDARD\nModemBrand=ORVA\n",
         {"--brand", "ORVA", "--upload-command", "AT$UPLOAD", "--upload-modem", "--loader-baud",
          "57600", "--reboot-delay", "2000"},
         256,
         6 * 1024,
         nullptr},
        {"ORVA 33K Basic",
         "plain XModem in 128-byte blocks, no flash loader",
         "UploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\nUploadInterface=STANDARD\n",
         {"--upload-command", "AT$UPLOAD", "--reboot-delay", "2000"},
         64,
         0,
         nullptr},
        {"ORVA 56K USB",
         "flash-loader modem: the flash plug-in sends the loader, then the image record by "
         "record",
         "UploadFile=firmware.hex\nFlashLoader=flashldr.hex\nUploadInterface=FLASH\n"
         "ModemType=USB\n",
         {"--flash", "--country", "3D", "--flash-restart-delay", "2000"},
         64,
         2 * 1024,
         "Flinta_Plugin.so",
         true},
    };
    return models;
}

const char* ReceivedFirmwareName(const DemoModel& model) {
    return model.intelHex ? "flash-image.hex" : "firmware.bin";
}

const DemoModel* FindDemoModel(const std::string& name) {
    for (const DemoModel& model : DemoModels()) {
        if (EqualsNoCase(model.name, name)) {
            return &model;
        }
    }
    return nullptr;
}

std::string MakeDemoFirmware(const std::string& version, std::uint32_t imageLength,
                             std::uint32_t loaderLength) {
    std::string header(kFirmwareHeaderSize, '\0');
    header.replace(0, 26, "ORVA demonstration image  ");
    for (int i = 0; i < 4; ++i) {
        header[kImageLengthOffset + i] = static_cast<char>((imageLength >> (24 - 8 * i)) & 0xFF);
    }
    header.replace(kMagicOffset, 3, "ORV");
    header[kTypeOffset] = 'L';
    header.replace(kVersionOffset, 4, (version + "    ").substr(0, 4));

    std::string file = header;
    // Bytes of every value, in an order that makes a lost or doubled block show.
    std::uint32_t state = 0x2545F491u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<char>(state & 0xFF);
    };
    for (std::uint32_t i = 0; i < imageLength; ++i) {
        file += next();
    }
    if (loaderLength > 0) {
        file.resize(FlashLoaderOffset(imageLength), '\xFF');
        for (std::uint32_t i = 0; i < loaderLength; ++i) {
            file += next();
        }
    }
    return file;
}

bool WriteDemoFiles(const DemoModel& model, const std::string& dir, std::uint32_t imageKilobytes,
                    std::string* firmwarePath, std::string* why) {
    std::string ini =
        "; Made by wizard-cli demo for a simulated modem.\n[Common]\nVersionInfo=" + dir +
        "/firmware.bin\n\n[" + model.name + "]\n" + model.section;
    if (model.plugin != nullptr) {
        ini += std::string("DLLName=") + model.plugin + "\n";
        std::string target = platform::ProgramDirectory() + "/" + model.plugin;
        if (!platform::LinkFile(target, dir + "/" + model.plugin)) {
            *why = "cannot place the plug-in " + target + " beside the demo's Wizard.inf";
            return false;
        }
    }
    bool written = WriteFile(dir + "/Wizard.inf", ini);
    if (model.intelHex) {
        *firmwarePath = dir + "/firmware.hex";
        written = written && WriteFile(*firmwarePath, MakeDemoHexImage(imageKilobytes * 1024)) &&
                  WriteFile(dir + "/flashldr.hex", MakeDemoFlashLoader(model.loaderBytes));
    } else {
        *firmwarePath = dir + "/firmware.bin";
        written = written &&
                  WriteFile(*firmwarePath, MakeDemoFirmware(kDemoVersion, imageKilobytes * 1024,
                                                            model.loaderBytes));
    }
    if (!written) {
        *why = "cannot write the demo's files in " + dir;
        return false;
    }
    return true;
}

}  // namespace cli

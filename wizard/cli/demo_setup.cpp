#include "wizard/cli/demo_setup.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/paths.h"
#include "platform/shared_library.h"
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

// Bytes of every value from a seed; never 0x1A at the end, which a store
// that drops XModem padding could not tell from padding.
std::string DemoBytes(std::uint32_t count, std::uint32_t state) {
    std::string bytes;
    for (std::uint32_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes += static_cast<char>(state & 0xFF);
    }
    if (!bytes.empty() && bytes.back() == '\x1A') {
        bytes.back() = '\0';
    }
    return bytes;
}

}  // namespace

bool WriteDemoStore(const std::string& storeDir) {
    struct StoredFile {
        const char* name;
        const char* fields;  // field 1 and the attribute letters
        std::uint32_t size;
    };
    const StoredFile files[] = {{"greeting.wav", "1,", 6000},
                                {"message01.vox", "1,I", 1000},
                                {"settings.sys", "2,H S", 300},
                                {"empty.txt", "1,", 0}};
    std::error_code error;
    std::filesystem::create_directories(storeDir, error);
    std::string fields;
    std::uint32_t seed = 0x9E3779B9u;
    for (const StoredFile& file : files) {
        if (!WriteFile(storeDir + "/" + file.name, DemoBytes(file.size, seed += 0x61C88647u))) {
            return false;
        }
        fields += std::string(file.name) + "," + file.fields + "\n";
    }
    return WriteFile(storeDir + "/.modemsim-attrs", fields);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

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
         nullptr,
         false},
        {"ORVA 33K Basic",
         "plain XModem in 128-byte blocks, no flash loader",
         "UploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\nUploadInterface=STANDARD\n",
         {"--upload-command", "AT$UPLOAD", "--reboot-delay", "2000"},
         64,
         0,
         nullptr,
         false,
         false},
        {"ORVA 56K Voice",
         "keeps voice messages and settings in its own store; the backup plug-in saves them "
         "before the update and stores them back afterwards",
         "UploadFile=firmware.bin\nUploadCommand=AT$UPLOAD\nUploadType=UPLOAD_SUPPORTED_1K\n"
         "UploadInterface=STANDARD\n",
         {"--upload-command", "AT$UPLOAD", "--reboot-delay", "2000", "--store-trim-padding",
          "--jfclr-delay", "1500"},
         64,
         0,
         "Sarnet_Plugin",
         true,
         false},
        {"ORVA 56K USB",
         "flash-loader modem: the flash plug-in sends the loader, then the image record by "
         "record",
         "UploadFile=firmware.hex\nFlashLoader=flashldr.hex\nUploadInterface=FLASH\n"
         "ModemType=USB\n",
         {"--flash", "--country", "3D", "--flash-restart-delay", "2000"},
         64,
         2 * 1024,
         "Flinta_Plugin",
         false,
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
    const auto in = [&dir](const std::string& name) {
        return dir + platform::kPathSeparator + name;
    };
    std::string ini = "; Made by wizard-cli demo for a simulated modem.\n[Common]\nVersionInfo=" +
                      in("firmware.bin") + "\n\n[" + model.name + "]\n" + model.section;
    if (model.plugin != nullptr) {
        const std::string file = model.plugin + std::string(platform::kSharedLibrarySuffix);
        ini += "DLLName=" + file + "\n";
        std::string target = platform::ProgramDirectory() + platform::kPathSeparator + file;
        if (!platform::LinkFile(target, in(file))) {
            *why = "cannot place the plug-in " + target + " beside the demo's Wizard.inf";
            return false;
        }
    }
    bool written = WriteFile(in("Wizard.inf"), ini);
    if (model.intelHex) {
        *firmwarePath = in("firmware.hex");
        written = written && WriteFile(*firmwarePath, MakeDemoHexImage(imageKilobytes * 1024)) &&
                  WriteFile(in("flashldr.hex"), MakeDemoFlashLoader(model.loaderBytes));
    } else {
        *firmwarePath = in("firmware.bin");
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

std::map<std::string, std::string> DemoStoreContents(const std::string& storeDir) {
    std::map<std::string, std::string> contents;
    std::error_code error;
    for (std::filesystem::directory_iterator it(storeDir, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.') {
            contents[name] = ReadWholeFile(it->path().string());
        }
    }
    // The listing fields go with the file: "name,field1,attributes".
    std::istringstream lines(ReadWholeFile(storeDir + "/.modemsim-attrs"));
    std::string line;
    while (std::getline(lines, line)) {
        auto it = contents.find(line.substr(0, line.find(',')));
        if (it != contents.end()) {
            it->second.insert(0, line + "\n");
        }
    }
    return contents;
}

}  // namespace cli

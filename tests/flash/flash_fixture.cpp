#include "flash_fixture.h"

#include "platform/serial_device.h"
#include "plugin_api/multi_string.h"

namespace {
constexpr const char* kPortName = "FLASH1";
constexpr const char* kModel = "ORVA 56K USB";
}  // namespace

FlashFixture::FlashFixture()
    : clock_(clockScope_.clock()),
      device_(std::make_shared<flash_test::FailingWriteSerial>(clock_)),
      modem(*device_, clock_) {
    platform::RegisterSerialDevice(kPortName, device_);
    port.SetPortName(kPortName);
    EXPECT_TRUE(port.Open());
    Config("");
}

FlashFixture::~FlashFixture() {
    port.Close();
    platform::UnregisterSerialDevice(kPortName);
}

void FlashFixture::Config(const std::string& keys) {
    const std::string ini = dir.Write("Wizard.inf", "[Common]\n\n[" + std::string(kModel) + "]\n" +
                                                        "DLLName=Flinta_Plugin.so\n" + keys);
    CopyText(status.iniPath, ini.c_str());
    CopyText(status.model, kModel);
}

char* FlashFixture::Files(const std::string& image, const std::string& loader) {
    MultiStringClear(settings.files);
    MultiStringAppend(settings.files, sizeof settings.files, dir.Write("image.hex", image).c_str());
    if (!loader.empty()) {
        MultiStringAppend(settings.files, sizeof settings.files,
                          dir.Write("loader.hex", loader).c_str());
    }
    return reinterpret_cast<char*>(&settings);
}

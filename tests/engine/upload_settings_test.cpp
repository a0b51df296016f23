// UploadSettings built from a model section, read the way a plug-in reads
// the record it is handed.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/paths.h"
#include "wizard/engine/upload_settings_builder.h"

namespace {

// A program directory of eleven characters, in this system's form.
const std::string kDir = platform::kPathSeparator == '\\' ? "C:\\Programs" : "/opt/wizard";

// kDir, the separator, name: a file below the program directory.
std::string In(const std::string& name) {
    return kDir + platform::kPathSeparator + name;
}

// The record's fields at the offsets a separately built plug-in uses.
struct PluginView {
    std::string files;  // the whole multi-string, terminators included
    std::int32_t standardInterface;
    std::int32_t flags;
    std::string command;
    std::int32_t baud;
};

PluginView ViewAsPlugin(UploadSettingsBuffer& buffer) {
    const char* record = buffer.PluginArgument();
    PluginView view;
    std::size_t used = 0;
    while (!(record[used] == '\0' && (used == 0 || record[used - 1] == '\0'))) {
        ++used;
    }
    view.files.assign(record, used + 1);
    std::memcpy(&view.standardInterface, record + 520, 4);
    const UploadParameters* params = nullptr;
    std::memcpy(&params, record + 528, sizeof params);
    view.flags = params->flags;
    view.command = params->command;
    view.baud = params->baud;
    return view;
}

UploadSettingsBuffer* Build(const std::string& section, UploadSettingsBuffer* buffer,
                            std::string* why = nullptr) {
    IniFile ini = IniFile::Parse("[Model]\nUploadFile=fw.bin\n" + section);
    return BuildUploadSettings(ini, kDir, "Model", buffer, why) ? buffer : nullptr;
}

TEST(UploadSettings, RecordLayoutAsThePlugInSeesIt) {
    UploadSettingsBuffer buffer;
    ASSERT_NE(Build("FlashLoader=loader.bin\nUploadCommand=AT**\nUploadType=UPLOAD_MODEM\n"
                    "Baudrate=57600\n",
                    &buffer),
              nullptr);
    PluginView view = ViewAsPlugin(buffer);
    EXPECT_EQ(view.files, In("fw.bin") + '\0' + In("loader.bin") + '\0' + '\0');
    EXPECT_EQ(view.standardInterface, 1);
    EXPECT_EQ(view.flags, UPLOAD_MODEM);
    EXPECT_EQ(view.command, "AT**");
    EXPECT_EQ(view.baud, 57600);
}

TEST(UploadSettings, PathsAreProgramDirectoryPlusTheNameAsItStands) {
    UploadSettingsBuffer buffer;
    ASSERT_NE(Build("", &buffer), nullptr);
    EXPECT_EQ(ViewAsPlugin(buffer).files, In("fw.bin") + '\0' + '\0')
        << "no FlashLoader: one entry";
    IniFile ini = IniFile::Parse("[M]\nUploadFile=/etc/fw.bin\nFlashLoader=../l.bin\n");
    ASSERT_TRUE(BuildUploadSettings(ini, kDir, "M", &buffer, nullptr));
    EXPECT_EQ(buffer.Files(), (std::vector<std::string>{In("/etc/fw.bin"), In("../l.bin")}));
}

TEST(UploadSettings, SpeedIsSnappedDownToTheTable) {
    const std::pair<const char*, int> cases[] = {
        {"Baudrate=38400\n", 38400},   {"Baudrate=40000\n", 38400},
        {"Baudrate=4800\n", 4800},     {"", 115200},
        {"Baudrate=120000\n", 115200}, {"Baudrate=57000\n", 56000},
        {"Baudrate=9600\n", 9600},     {"Baudrate=0\n", 0},
        {"Baudrate=14500\n", 14400},   {"Baudrate=fast\n", 0}};
    for (const auto& [line, expected] : cases) {
        UploadSettingsBuffer buffer;
        ASSERT_NE(Build(line, &buffer), nullptr) << line;
        EXPECT_EQ(buffer.parameters.baud, expected) << line;
    }
}

TEST(UploadSettings, FlagWordsAreCaseSensitiveSubstrings) {
    const std::pair<const char*, std::int32_t> cases[] = {{"UPLOAD_MODEM", 4},
                                                          {"UPLOAD_SUPPORTED_1K UPLOAD_MODEM", 6},
                                                          {"UPLOAD_MODEM|UPLOAD_SUPPORTED_1K", 6},
                                                          {"upload_modem", 0},
                                                          {"XUPLOAD_SUPPORTED_1KX", 2},
                                                          {"", 0}};
    for (const auto& [words, expected] : cases) {
        UploadSettingsBuffer buffer;
        ASSERT_NE(Build(std::string("UploadType=") + words + "\n", &buffer), nullptr);
        EXPECT_EQ(buffer.parameters.flags, expected) << words;
    }
}

TEST(UploadSettings, TheInterfaceIsStandardWhenItContainsStandard) {
    const std::pair<const char*, std::int32_t> cases[] = {{"", 1},
                                                          {"UploadInterface=STANDARD\n", 1},
                                                          {"UploadInterface=NONSTANDARDX\n", 1},
                                                          {"UploadInterface=standard\n", 0},
                                                          {"UploadInterface=FLASH\n", 0},
                                                          {"UploadInterface=\n", 0}};
    for (const auto& [line, expected] : cases) {
        UploadSettingsBuffer buffer;
        ASSERT_NE(Build(line, &buffer), nullptr);
        EXPECT_EQ(buffer.settings.standardInterface, expected) << line;
    }
}

TEST(UploadSettings, ASectionWithoutUploadFileGivesNoRecordAndTouchesNothing) {
    UploadSettingsBuffer buffer;
    ASSERT_NE(Build("UploadCommand=AT**\n", &buffer), nullptr);
    std::string why;
    IniFile ini = IniFile::Parse("[Model]\nUploadFile=\nUploadCommand=ATX\n[Other]\n");
    EXPECT_FALSE(BuildUploadSettings(ini, kDir, "Model", &buffer, &why));
    EXPECT_NE(why.find("UploadFile"), std::string::npos) << why;
    EXPECT_FALSE(BuildUploadSettings(ini, kDir, "Other", &buffer, nullptr));
    EXPECT_FALSE(BuildUploadSettings(ini, kDir, "Absent", &buffer, nullptr));
    EXPECT_EQ(ViewAsPlugin(buffer).command, "AT**");
    EXPECT_EQ(buffer.Files(), std::vector<std::string>{In("fw.bin")});
}

TEST(UploadSettings, OverLongValuesArePassedWholeOrRefused) {
    UploadSettingsBuffer buffer;
    std::string longest = "AT" + std::string(kMaxIniValueLength - 2, 'X');
    ASSERT_NE(Build("UploadCommand=" + longest + "\n", &buffer), nullptr);
    EXPECT_EQ(ViewAsPlugin(buffer).command, longest);

    std::string why;
    EXPECT_EQ(Build("UploadCommand=" + longest + "Y\n", &buffer, &why), nullptr);
    EXPECT_NE(why.find("UploadCommand"), std::string::npos) << why;
    EXPECT_EQ(ViewAsPlugin(buffer).command, longest) << "a refusal leaves the record as it was";
    for (const char* key : {"UploadType", "UploadInterface", "FlashLoader", "Baudrate"}) {
        EXPECT_EQ(Build(std::string(key) + "=" + std::string(256, '1') + "\n", &buffer, &why),
                  nullptr)
            << key;
        EXPECT_NE(why.find(key), std::string::npos) << why;
    }
}

TEST(UploadSettings, PathsMustFitTheirBuffers) {
    UploadSettingsBuffer buffer;
    std::string why;
    // Program directory of 200 characters: 200 + 1 + name.
    std::string dir(200, 'd');
    dir[0] = '/';
    auto build = [&](std::size_t firmwareName, std::size_t loaderName) {
        IniFile ini = IniFile::Parse("[M]\nUploadFile=" + std::string(firmwareName, 'f') +
                                     "\nFlashLoader=" + std::string(loaderName, 'l') + "\n");
        return BuildUploadSettings(ini, dir, "M", &buffer, &why);
    };
    EXPECT_TRUE(build(58, 57)) << why;  // 259 + 1 + 258 + 1 + 1 = 520 bytes: full
    EXPECT_EQ(buffer.Files()[0].size(), 259u);
    EXPECT_FALSE(build(58, 58));  // 521 bytes
    EXPECT_NE(why.find("520"), std::string::npos) << why;
    EXPECT_FALSE(build(59, 1));  // a path of 260 characters
    EXPECT_NE(why.find("UploadFile"), std::string::npos) << why;
    EXPECT_FALSE(build(1, 59));
    EXPECT_NE(why.find("FlashLoader"), std::string::npos) << why;
}

TEST(PluginPath, ProgramDirectoryPlusDllNameOrNone) {
    IniFile ini = IniFile::Parse("[A]\nDLLName=Sarnet_Plugin.so\n[B]\nDLLName=\n[C]\nDLLName=" +
                                 std::string(250, 'p') + "\n");
    std::string path = "stale", why;
    EXPECT_TRUE(PluginPath(ini, kDir, "A", &path, &why));
    EXPECT_EQ(path, In("Sarnet_Plugin.so"));
    EXPECT_TRUE(PluginPath(ini, kDir, "B", &path, &why));
    EXPECT_EQ(path, "");
    EXPECT_TRUE(PluginPath(ini, kDir, "Missing", &path, &why));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(PluginPath(ini, kDir, "C", &path, &why)) << "262 characters";
    EXPECT_EQ(path, "");
    EXPECT_NE(why.find("DLLName"), std::string::npos);
}

}  // namespace

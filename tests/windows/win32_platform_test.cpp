// The Windows side of the platform layer as a Windows program meets it
// (under wine): port names and their errors, the system's port list, paths
// cut at backslashes, temporary files that go when closed, private folders
// for the user alone, the user's language, and child processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/paths.h"
#include "platform/private_directory.h"
#include "platform/process.h"
#include "platform/serial_port.h"
#include "platform/serial_ports.h"
#include "platform/stop_signal.h"
#include "platform/temp_file.h"
#include "platform/translation.h"
#include "platform/win32/language_tags.h"
#include "serial/serial.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"
#include "tests/windows/pe_imports.h"
#include "wizard/engine/config_location.h"
#include "wizard/engine/port_list.h"

namespace {

namespace fs = std::filesystem;

class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        value != nullptr ? platform::SetEnvironment(name, value) : platform::UnsetEnvironment(name);
    }
    ~ScopedVariable() {
        had_ ? platform::SetEnvironment(name_, old_) : platform::UnsetEnvironment(name_);
    }

  private:
    std::string name_, old_;
    bool had_ = false;
};

TEST(Win32Deliverables, NeedNoDllsButTheSystemsOwn) {
    // The C and C++ runtimes and the thread library are linked in; msvcrt
    // is the C library every Windows carries.
    const std::set<std::string> system = {"KERNEL32.dll", "msvcrt.dll", "ADVAPI32.dll",
                                          "SHELL32.dll"};
    for (const char* file : {"wizard-cli.exe", "Sarnet_Plugin.dll", "Flinta_Plugin.dll"}) {
        std::set<std::string> dlls;
        std::string error;
        ASSERT_TRUE(windows_test::ImportedDlls(test_support::ProgramPath(file), &dlls, &error))
            << error;
        EXPECT_FALSE(dlls.empty()) << file;
        for (const std::string& dll : dlls) {
            EXPECT_EQ(system.count(dll), 1u) << file << " needs " << dll;
        }
    }
}

TEST(Win32Ports, ComNamesAreDevicesAndOtherNamesAreOpenedAsGiven) {
    EXPECT_EQ(platform::DevicePathForPortName("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(platform::DevicePathForPortName("com12"), "\\\\.\\COM12");
    for (const char* asGiven : {"COM0", "COMX", "COM", "\\\\.\\COM3", "COM1:", "LPT1"}) {
        EXPECT_EQ(platform::DevicePathForPortName(asGiven), asGiven);
    }
}

TEST(Win32Ports, AMissingPortSaysSo) {
    CSerial serial;
    serial.SetPortName("COM8");  // wine maps no device to it
    EXPECT_FALSE(serial.Open());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()), "no such port");
    serial.SetPortName("Z:\\no\\such\\device");
    EXPECT_FALSE(serial.Open());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()), "no such port");
}

TEST(Win32Ports, AFileIsNoSerialPort) {
    test_support::TempDir dir("not-a-port");
    CSerial serial;
    serial.SetPortName(dir.Write("plain.txt", "text"));
    EXPECT_FALSE(serial.Open());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()), "not a serial device");
}

TEST(Win32Ports, TheSystemsRegistryListsThePortWineMapsForTheTests) {
    const char* port = std::getenv("WIZARD_WINE_PORT");
    ASSERT_NE(port, nullptr) << "the test run names its COM port";
    std::vector<platform::SerialPortInfo> ports;
    std::string error;
    ASSERT_TRUE(platform::EnumerateSerialPorts(&ports, &error)) << error;
    std::vector<std::string> names = ReadPortList(IniFile()).Entries();
    EXPECT_NE(std::find(names.begin(), names.end(), port), names.end())
        << "the device map of the registry has " << port;
    EXPECT_EQ(std::count(names.begin(), names.end(), port), 1);
}

TEST(Win32Paths, TheProgramDirectoryIsCutAtTheLastBackslash) {
    const std::string dir = platform::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(fs::exists(dir + "\\win32_platform_tests.exe")) << dir;
    const fs::path previous = fs::current_path();
    ConfigLocation location;
    std::string why;
    EXPECT_TRUE(FormConfigPath(&location, &why)) << why;
    fs::current_path(previous);
    EXPECT_EQ(location.iniPath, dir + "\\Wizard.inf");
    EXPECT_EQ(ProgramFilePath(location.programDir, "fw.bin"), dir + "\\fw.bin");
}

TEST(Win32Paths, TheTemporaryDirectoryHasNoTrailingBackslash) {
    const std::string dir = platform::TempDirectory();
    ASSERT_GT(dir.size(), 3u);
    EXPECT_NE(dir.back(), '\\');
    EXPECT_TRUE(fs::is_directory(dir)) << dir;
    const std::string made = platform::MakeTemporaryDirectory("wizard-test");
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.rfind(dir + "\\wizard-test-", 0), 0u) << made;
    EXPECT_NE(platform::MakeTemporaryDirectory("wizard-test"), made);
    EXPECT_TRUE(platform::RemoveTree(made));
}

std::vector<std::string> TemporaryFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(platform::TempDirectory())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("TMP", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

TEST(Win32TempFile, ATemporaryFileIsNamedByTheSystemAndGoesWhenClosed) {
    const std::vector<std::string> before = TemporaryFiles();
    std::FILE* file = platform::CreateTemporaryFile();
    ASSERT_NE(file, nullptr);
    const std::vector<std::string> during = TemporaryFiles();
    EXPECT_EQ(during.size(), before.size() + 1) << "one TMP file in the temporary directory";
    const std::string bytes("\0\x1A\r\n\xFF binary", 12);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::rewind(file);
    std::string back(bytes.size(), '?');
    ASSERT_EQ(std::fread(back.data(), 1, back.size(), file), bytes.size());
    EXPECT_EQ(back, bytes) << "binary, nothing translated";
    std::fclose(file);
    EXPECT_EQ(TemporaryFiles(), before) << "deleted on close";
}

TEST(Win32PrivateDirectory, IsMadeBelowLocalAppDataForTheUserAlone) {
    test_support::TempDir root("appdata");
    // A state directory that is not there yet is made, each level private.
    const std::string state = root.File("Local");
    ScopedVariable appData(platform::kUserStateDirectoryVariable, (state + "\\").c_str());
    EXPECT_EQ(platform::UserStateDirectory(), state) << "without the trailing backslash";
    EXPECT_EQ(platform::PrivateStateDirectoryPath("Sarnet_Plugin"), state + "\\Sarnet_Plugin");
    std::string why;
    const std::string dir = platform::PrivateStateDirectory("Sarnet_Plugin", &why);
    ASSERT_EQ(dir, state + "\\Sarnet_Plugin") << why;
    EXPECT_EQ(platform::PrivateStateDirectory("Sarnet_Plugin", &why), dir) << "reused: " << why;
    bool existed = false;
    EXPECT_TRUE(platform::MakePrivateDirectory(dir + "\\update-1", &existed));
    EXPECT_FALSE(platform::MakePrivateDirectory(dir + "\\update-1", &existed));
    EXPECT_TRUE(existed);

    root.Write("Local\\Planted", "a file in the place of the directory");
    EXPECT_EQ(platform::PrivateStateDirectory("Planted", &why), "");
    EXPECT_NE(why.find("not a directory"), std::string::npos) << why;
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "C:x"}) {
        EXPECT_EQ(platform::PrivateStateDirectory(bad, &why), "") << bad;
    }
}

TEST(Win32PrivateDirectory, ARelativeLocalAppDataGivesWayToTheShellsFolder) {
    ScopedVariable appData(platform::kUserStateDirectoryVariable, "relative\\folder");
    const std::string state = platform::UserStateDirectory();
    ASSERT_GE(state.size(), 3u);
    EXPECT_EQ(state.substr(1, 2), ":\\") << state;
}

TEST(Win32Language, UserInterfaceLanguagesMapToTheWizardsFourteen) {
    const std::vector<std::pair<unsigned short, const char*>> languages = {
        {0x0C0A, "es"}, {0x0405, "cs"}, {0x0406, "da"}, {0x0407, "de"}, {0x0C07, "de"},
        {0x0409, "en"}, {0x0809, "en"}, {0x040B, "fi"}, {0x040C, "fr"}, {0x0410, "it"},
        {0x0413, "nl"}, {0x0414, "nb"}, {0x0814, "nb"}, {0x0415, "pl"}, {0x0419, "ru"},
        {0x041F, "tr"}, {0x0416, "pt"}, {0x0816, "pt"}, {0x0411, "en"}, {0x0408, "en"}};
    for (const auto& [id, tag] : languages) {
        EXPECT_EQ(platform::win32::LanguageTag(id), tag) << std::hex << id;
    }
}

TEST(Win32Language, LanguageComesFirstThenTheUserInterfaceLanguage) {
    ScopedVariable language("LANGUAGE", "de:fr");
    std::vector<std::string> preferred = platform::PreferredLanguages();
    ASSERT_GE(preferred.size(), 3u);
    EXPECT_EQ(preferred[0], "de");
    EXPECT_EQ(preferred[1], "fr");
    ScopedVariable none("LANGUAGE", nullptr);
    preferred = platform::PreferredLanguages();
    ASSERT_EQ(preferred.size(), 1u) << "the user interface language alone";
}

TEST(Win32Process, AChildsOutputEnvironmentAndExitCodeComeBack) {
    platform::ProcessResult echo = platform::RunProcess({"cmd", "/c", "echo", "%WIZARD_PROBE%"},
                                                        30000, {{"WIZARD_PROBE", "seen"}});
    ASSERT_TRUE(echo.started) << echo.startError;
    EXPECT_EQ(echo.exitCode, 0);
    EXPECT_EQ(echo.stdoutText, "seen\r\n");
    platform::ProcessResult exit = platform::RunProcess({"cmd", "/c", "exit", "3"}, 30000);
    EXPECT_EQ(exit.exitCode, 3);
    platform::ProcessResult missing =
        platform::RunProcess({test_support::ProgramPath("no-such-program.exe")}, 30000);
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.startError.find("no-such-program"), std::string::npos) << missing.startError;
}

TEST(Win32Process, ArgumentsArriveAsTheyWereGiven) {
    const std::vector<std::string> args = {"plain",         "two words",  "",
                                           "quote\"inside", "trailing\\", "back\\\\slash \"mix\""};
    std::vector<std::string> argv = {platform::ProgramDirectory() + "\\print_arguments.exe"};
    argv.insert(argv.end(), args.begin(), args.end());
    platform::ProcessResult run = platform::RunProcess(argv, 30000);
    ASSERT_TRUE(run.started) << run.startError;
    std::string expected;
    for (const std::string& arg : args) {
        expected += "[" + arg + "]\r\n";  // the C library writes text lines so
    }
    EXPECT_EQ(run.stdoutText, expected);
}

TEST(Win32StopSignal, ARequestedStopEndsASleepAtOnce) {
    ASSERT_TRUE(platform::InstallStopSignals()) << "SetConsoleCtrlHandler";
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::RequestStop();
    });
    const DWORD start = platform::GetTickCount();
    EXPECT_TRUE(platform::SleepUnlessStopped(20000));
    stopper.join();
    EXPECT_LT(platform::GetTickCount() - start, 10000u);
    EXPECT_TRUE(platform::StopRequested());
}

}  // namespace

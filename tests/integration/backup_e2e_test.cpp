// The backup plug-in in whole updates as a user runs them: wizard-cli update
// with Sarnet_Plugin.so beside Wizard.inf, against modemsim with a file
// store, over a pseudo-terminal. Whatever goes wrong, every stored file is
// still in the modem or, byte for byte, in the backup directory the
// program names.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "platform/paths.h"
#include "platform/private_directory.h"
#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/json_lines.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::CliResult;
using test_support::ModemSim;

namespace {

namespace fs = std::filesystem;

constexpr DWORD kUpdateTimeoutMs = 120000;
constexpr const char* kModel = "ORVA 56K Serial";
constexpr const char* kSuccess = "The operation was concluded successfully!";
constexpr const char* kDownloadError = "An error has occurred during the file download.";
constexpr const char* kUploadError = "An error has occurred during the file upload.";
constexpr const char* kReorganizeError =
    "An error has occurred during the reorganization of the file system.";
constexpr const char* kInitializationError =
    "An error has occurred during the initialization of the modem.";
constexpr const char* kKept = "The modem's files are kept in ";

struct File {
    std::string field1;
    std::string attributes;  // as the store lists them
    std::string data;
};

class BackupEndToEnd : public ::testing::Test {
  protected:
    BackupEndToEnd() {
        fs::create_directories(dir.File("tmp"));
        fs::create_directories(dir.File("state"));
        // Binary content of every kind; the last byte is no padding byte.
        const std::vector<std::tuple<std::string, std::string, std::string, std::size_t>> files = {
            {"big.bin", "1", "I", 5000},      {"block.bin", "2", "H S", 128},
            {"hundred.dat", "1", "H S", 100}, {"k1000.bin", "7", "", 1000},
            {"k1024.bin", "1", "I", 1024},    {"zero.bin", "1", "", 0}};
        std::string attributes;
        unsigned seed = 40;
        for (const auto& [name, field1, letters, size] : files) {
            std::string data = test_support::RandomBytes(size, ++seed);
            if (!data.empty() && data.back() == '\x1A') {
                data.back() = 'z';
            }
            original[name] = {field1, letters, data};
            dir.Write("store/" + name, data);
            attributes += name + "," + field1 + "," + letters + "\n";
        }
        dir.Write("store/.modemsim-attrs", attributes);
    }

    void Configure() {
        ASSERT_TRUE(platform::LinkFile(test_support::ProgramPath("Sarnet_Plugin.so"),
                                       dir.File("Sarnet_Plugin.so")));
        dir.Write("fw.bin", test_support::FirmwareFile("2.31", 2000));
        dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kModel +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                    "UploadType=UPLOAD_SUPPORTED_1K\nDLLName=Sarnet_Plugin.so\n");
    }

    // Starts the modem with its store and these faults, and runs the update.
    CliResult Update(std::vector<std::string> faults) {
        Configure();
        std::vector<std::string> options = {"--store",
                                            dir.File("store"),
                                            "--store-trim-padding",
                                            "--reboot-delay",
                                            "300",
                                            "--jfclr-delay",
                                            "100",
                                            "--model",
                                            kModel};
        options.insert(options.end(), faults.begin(), faults.end());
        sim = std::make_unique<ModemSim>(options);
        return test_support::RunCli({"update", "--config", dir.File("Wizard.inf"), "--yes",
                                     "--port", sim->PortPath(), "--model", kModel},
                                    kUpdateTimeoutMs, Environment());
    }

    // The temporary and the state directory of the runs: in the test's own.
    platform::EnvironmentAdditions Environment() const {
        return {{"TMPDIR", dir.File("tmp")}, {"XDG_STATE_HOME", dir.File("state")}};
    }

    // The store as the modem keeps it: data and listing fields.
    std::map<std::string, File> Store() const {
        std::map<std::string, File> store;
        for (const auto& entry : fs::directory_iterator(dir.File("store"))) {
            const std::string name = entry.path().filename().string();
            if (name[0] != '.') {
                store[name].data = test_support::ReadFileBytes(entry.path().string());
            }
        }
        std::istringstream lines(dir.Read("store/.modemsim-attrs"));
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t first = line.find(','), second = line.find(',', first + 1);
            auto it = store.find(line.substr(0, first));
            if (it != store.end()) {
                it->second.field1 = line.substr(first + 1, second - first - 1);
                it->second.attributes = line.substr(second + 1);
            }
        }
        return store;
    }

    // The plug-in's private folder in the user's state directory.
    std::string BackupDirectory() const {
        const std::string place = dir.File("state/Sarnet_Plugin");
        return fs::is_directory(place) ? place : std::string();
    }

    // The folders of kept copies, one per update.
    std::vector<std::string> RunFolders() const {
        std::vector<std::string> folders;
        if (!BackupDirectory().empty()) {
            for (const auto& run : fs::directory_iterator(BackupDirectory())) {
                folders.push_back(run.path().string());
            }
        }
        return folders;
    }

    // Copies the backup directory holds, by the stored name in their listing.
    std::map<std::string, std::string> Copies() const {
        std::map<std::string, std::string> copies;
        const std::string backups = BackupDirectory();
        if (backups.empty()) {
            return copies;
        }
        for (const auto& run : fs::directory_iterator(backups)) {
            std::istringstream lines(
                test_support::ReadFileBytes((run.path() / "listing.txt").string()));
            std::string line;
            for (int index = 1; std::getline(lines, line); ++index) {
                const fs::path copy = run.path() / std::to_string(index);
                if (fs::exists(copy)) {
                    copies[line.substr(0, line.find(','))] =
                        test_support::ReadFileBytes(copy.string());
                }
            }
        }
        return copies;
    }

    // Every file is in the modem as it was, or its exact copy is kept.
    void ExpectNothingLost() const {
        const std::map<std::string, File> store = Store();
        const std::map<std::string, std::string> copies = Copies();
        for (const auto& [name, file] : original) {
            auto inModem = store.find(name);
            auto copy = copies.find(name);
            const bool kept = inModem != store.end() && inModem->second.data == file.data &&
                              inModem->second.attributes == file.attributes;
            EXPECT_TRUE(kept || (copy != copies.end() && copy->second == file.data))
                << name << " is lost";
        }
    }

    void ExpectFirmwareUntouched() const {
        EXPECT_EQ(sim->CountLog("upload-mode"), 0);
        EXPECT_EQ(sim->CountLog("store-clear"), 0);
        EXPECT_EQ(Store().size(), original.size());
    }

    // The failure was reported and the backup directory named when it
    // holds files.
    void ExpectFailure(const CliResult& r, const char* text, bool copiesKept) {
        EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
        EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find(kSuccess), std::string::npos);
        if (copiesKept) {
            ASSERT_EQ(RunFolders().size(), 1u);
            EXPECT_NE(r.err.find(kKept + RunFolders()[0] + "\n"), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err.find(kKept), std::string::npos) << r.err;
        }
        ExpectNothingLost();
    }

    test_support::TempDir dir{"backup-e2e"};
    std::map<std::string, File> original;
    std::unique_ptr<ModemSim> sim;
};

TEST_F(BackupEndToEnd, StoredFilesSurviveAFirmwareUpdateByteForByte) {
    CliResult r = Update({});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    for (const char* step :
         {"[1/5] Initializing transfer ...", "[2/5] Files are being backed up ...",
          "[3/5] The firmware is being updated...", "[4/5] Modem memory is being reorganized ...",
          "[5/5] Files are being restored ...", kSuccess}) {
        EXPECT_NE(r.out.find(step), std::string::npos) << step << "\n" << r.out;
    }
    const std::map<std::string, File> store = Store();
    ASSERT_EQ(store.size(), original.size());
    for (const auto& [name, file] : original) {
        const File& now = store.at(name);
        EXPECT_EQ(now.data, file.data) << name;
        EXPECT_EQ(now.attributes, file.attributes) << name;
        EXPECT_EQ(now.field1, file.field1) << name;
    }
    EXPECT_EQ(sim->CountLog("store-get"), 6);
    EXPECT_EQ(sim->CountLog("received firmware"), 1);
    EXPECT_EQ(sim->CountLog("store-clear"), 1);
    EXPECT_EQ(sim->CountLog("store-put"), 6);
    EXPECT_FALSE(BackupDirectory().empty());
    EXPECT_TRUE(RunFolders().empty()) << "the folder goes with the copies";
    EXPECT_TRUE(Copies().empty());
    EXPECT_EQ(r.err.find(kKept), std::string::npos);
}

TEST_F(BackupEndToEnd, AModemThatStopsAnsweringBeforeTheBackupKeepsEverything) {
    // The search's reset goes through; the plug-in's does not.
    CliResult r = Update({"--fault-refuse", "AT&F:1"});
    ExpectFailure(r, kInitializationError, false);
    ExpectFirmwareUntouched();
}

TEST_F(BackupEndToEnd, AListingWithoutItsEndStopsTheUpdateBeforeTheFirmware) {
    CliResult r = Update({"--fault-listing-timeout"});
    ExpectFailure(r, kDownloadError, false);
    ExpectFirmwareUntouched();
    EXPECT_EQ(sim->CountLog("store-get"), 0);
}

TEST_F(BackupEndToEnd, ARefusedDownloadStopsTheUpdateBeforeTheFirmware) {
    CliResult r = Update({"--fault-refuse", "AT$JDNL=\"k1000.bin\""});
    ExpectFailure(r, kDownloadError, true);
    ExpectFirmwareUntouched();
    EXPECT_EQ(Copies().size(), 3u) << "the files before it";
}

TEST_F(BackupEndToEnd, AFailedBackupTransferStopsTheUpdateBeforeTheFirmware) {
    CliResult r = Update({"--fault-can-at-block", "2", "--fault-file", "k1024.bin"});
    ExpectFailure(r, kDownloadError, true);
    ExpectFirmwareUntouched();
    EXPECT_EQ(Copies().count("k1024.bin"), 0u) << "no half copy";
}

TEST_F(BackupEndToEnd, AReorganisationThatFailsTenTimesKeepsTheCopies) {
    CliResult r = Update({"--fault-jfclr-errors", "10"});
    ExpectFailure(r, kReorganizeError, true);
    EXPECT_EQ(sim->CountLog("received firmware"), 1);
    EXPECT_EQ(Copies().size(), original.size());
}

TEST_F(BackupEndToEnd, ARefusedStoreCommandKeepsTheCopies) {
    CliResult r = Update({"--fault-refuse", "at$jupl=\"hundred.dat\""});
    ExpectFailure(r, kUploadError, true);
    EXPECT_EQ(sim->CountLog("store-put"), 2) << "big.bin and block.bin went back first";
    EXPECT_EQ(Copies().size(), original.size()) << "every copy stays";
}

TEST_F(BackupEndToEnd, AFailedRestoreTransferKeepsTheCopies) {
    CliResult r = Update(
        {"--fault-can-at-block", "1", "--fault-file", "k1000.bin", "--fault-direction", "receive"});
    ExpectFailure(r, kUploadError, true);
    EXPECT_EQ(Store().count("k1000.bin"), 0u);
    EXPECT_EQ(Copies().size(), original.size());
}

TEST_F(BackupEndToEnd, AFileTheModemWillNotTakeIsPassedOverAndKept) {
    CliResult r = Update({"--fault-no-nak-file", "block.bin"});
    ExpectFailure(r, kUploadError, true);
    EXPECT_EQ(sim->CountLog("store-put"), 5) << "the others went back";
    EXPECT_EQ(Store().count("block.bin"), 0u);
    EXPECT_EQ(Copies().at("block.bin"), original.at("block.bin").data);
}

TEST_F(BackupEndToEnd, AFileWhoseNameCannotBeStoredBackIsNamedBeforeAnythingIsFetched) {
    dir.Write("store/say \"hi\"", "x");
    original["say \"hi\""] = {"1", "", "x"};
    CliResult r = Update({});
    EXPECT_NE(r.err.find("The modem's file \"say \"hi\"\" cannot be backed up: its name holds a "
                         "double quote or a control character.\n"),
              std::string::npos)
        << r.err;
    ExpectFailure(r, kDownloadError, false);
    ExpectFirmwareUntouched();
    EXPECT_EQ(sim->CountLog("store-get"), 0);
}

TEST_F(BackupEndToEnd, KeptCopiesGoBackWithWizardCliRestoreAndOnlyThenTheFolderGoes) {
    CliResult failed = Update({"--fault-refuse", "at$jupl=\"hundred.dat\""});
    ExpectFailure(failed, kUploadError, true);
    const std::string folder = RunFolders().at(0);
    CliResult list = test_support::RunCli({"restore", "--list"}, 20000, Environment());
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, folder + "\n    ORVA_56K_Serial: 6 files, 7252 bytes\n");
    CliResult json = test_support::RunCli({"restore", "--list", "--json"}, 20000, Environment());
    std::string bad;
    const std::vector<cli::json::Value> events = test_support::JsonLines(json.out, &bad);
    EXPECT_TRUE(bad.empty()) << bad;
    ASSERT_EQ(test_support::EventNames(events),
              (std::vector<std::string>{"kept-folder", "result"}));
    EXPECT_EQ(events[0].String("path"), folder);
    EXPECT_EQ(events[0].Number("copies"), 6);
    EXPECT_EQ(events[0].Number("bytes"), 7252);
    EXPECT_EQ(events[1].Number("folders"), 1);

    // A copy has gone missing: the folder stays and says which.
    const std::string copy = folder + "/4";
    ASSERT_EQ(test_support::ReadFileBytes(copy), original.at("k1000.bin").data);
    fs::remove(copy);
    sim = std::make_unique<ModemSim>(std::vector<std::string>{
        "--store", dir.File("store"), "--store-trim-padding", "--model", kModel});
    CliResult partly = test_support::RunCli({"restore", "--port", sim->PortPath()},
                                            kUpdateTimeoutMs, Environment());
    EXPECT_EQ(partly.exitCode, 1) << partly.out << partly.err;
    EXPECT_NE(partly.out.find("  k1000.bin: NOT back: there is no copy of it in the folder\n"),
              std::string::npos)
        << partly.out;
    EXPECT_NE(
        partly.err.find("1 of 6 files are not back in the modem; their copies stay in " + folder),
        std::string::npos)
        << partly.err;
    EXPECT_EQ(RunFolders(), std::vector<std::string>{folder});

    // With the copy back, every file is back, byte for byte with its fields.
    test_support::WriteFileBytes(copy, original.at("k1000.bin").data);
    CliResult restored = test_support::RunCli({"restore", "--port", sim->PortPath(), folder},
                                              kUpdateTimeoutMs, Environment());
    EXPECT_EQ(restored.exitCode, 0) << restored.out << restored.err;
    EXPECT_NE(restored.out.find("Every file is back in the modem; " + folder + " was deleted.\n"),
              std::string::npos)
        << restored.out;
    const std::map<std::string, File> store = Store();
    for (const auto& [name, file] : original) {
        ASSERT_EQ(store.count(name), 1u) << name;
        EXPECT_EQ(store.at(name).data, file.data) << name;
        EXPECT_EQ(store.at(name).attributes, file.attributes) << name;
        EXPECT_EQ(store.at(name).field1, file.field1) << name;
    }
    EXPECT_TRUE(RunFolders().empty());
}

TEST_F(BackupEndToEnd, AUsbModemThatComesBackUnderAnotherNameIsFoundByItsStableName) {
    // The link plays the modem's /dev/serial/by-id/ name; the user names the
    // device itself. The restart takes longer than the first look for the
    // modem, so the re-open finds the name gone and must wait for it.
    Configure();
    const std::string byId = dir.File("by-id/usb-ORVA_56K_Serial_0001-if00");
    fs::create_directories(dir.File("by-id"));
    sim = std::make_unique<ModemSim>(std::vector<std::string>{
        "--store", dir.File("store"), "--store-trim-padding", "--reboot-delay", "7000",
        "--jfclr-delay", "100", "--model", kModel, "--link", byId, "--reenumerate"});
    const std::string before = sim->PortPath();
    platform::EnvironmentAdditions env = Environment();
    env.emplace_back("WIZARD_SERIAL_BY_ID", dir.File("by-id"));
    CliResult r = test_support::RunCli({"update", "--config", dir.File("Wizard.inf"), "--yes",
                                        "--port", before, "--model", kModel},
                                       kUpdateTimeoutMs, env);
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find(kSuccess), std::string::npos) << r.out;
    ASSERT_EQ(sim->CountLog("reenumerated "), 1);
    EXPECT_NE(fs::read_symlink(byId).string(), before) << "another device name after the restart";
    const std::map<std::string, File> store = Store();
    for (const auto& [name, file] : original) {
        ASSERT_EQ(store.count(name), 1u) << name;
        EXPECT_EQ(store.at(name).data, file.data) << name;
    }
    EXPECT_EQ(sim->CountLog("store-put"), 6) << "restored on the new device";
}

TEST(BackupDemo, TheDemoShowsTheStoredFilesSurvive) {
    CliResult list = test_support::RunCli({"demo", "--list"});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("ORVA 56K Voice"), std::string::npos) << list.out;
    test_support::TempDir tmp("backup-demo");
    CliResult r = test_support::RunCli(
        {"demo", "--model", "ORVA 56K Voice", "--size", "4", "--quiet"}, kUpdateTimeoutMs,
        {{"TMPDIR", tmp.Path()}, {"XDG_STATE_HOME", tmp.Path() + "/state"}});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[2/5] Files are being backed up ..."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Its 4 stored files survived the update byte for byte, with their "
                         "attributes."),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(platform::DirectoryHoldsFiles(tmp.Path())) << "no copies, no demo files left";
}

}  // namespace

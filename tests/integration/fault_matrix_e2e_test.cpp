// The fault matrix: whole updates by wizard-cli against modemsim over a
// pseudo-terminal, one fault at one phase each. Every cell ends with the
// exit code and the text of its phase, loses no stored file (each is in the
// modem or byte for byte in the kept copies the program names), and reports
// success only when the modem holds the new firmware byte for byte.
//
// With FAULT_MATRIX_OUT set to a directory, each cell also writes its
// outcome there as one line "index<TAB>phase<TAB>fault<TAB>outcome<TAB>seconds";
// tools/fault_matrix.sh turns those into docs/fault-matrix.md.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/paths.h"
#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/intel_hex_image.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

using test_support::CliResult;
using test_support::ModemSim;

namespace {

namespace fs = std::filesystem;

constexpr DWORD kRunLimitMs = 180000;
constexpr const char* kSerial = "ORVA 56K Serial";
constexpr const char* kUsb = "ORVA 56K USB";
constexpr const char* kSuccess = "The operation was concluded successfully!";
constexpr const char* kUploadError = "Error during firmware upload!";
constexpr const char* kDownloadError = "An error has occurred during the file download.";
constexpr const char* kFileUploadError = "An error has occurred during the file upload.";
constexpr const char* kReorganizeError =
    "An error has occurred during the reorganization of the file system.";
constexpr const char* kInitError = "An error has occurred during the initialization of the modem.";
constexpr const char* kNoModem = "A modem suitable for a firmware update could not be found.";
constexpr const char* kPortError = "The port cannot be opened!";
constexpr const char* kKept = "The modem's files are kept in ";

// kBranded: the backup modem, its section naming the brand it reports.
enum class Model { kBackup, kBranded, kFlash };

struct Cell {
    const char* phase;
    const char* fault;
    Model model;
    std::vector<std::string> options;  // the simulator's fault options
    const char* text;                  // on stdout for success, else on stderr
    bool representative;               // one of the third that make test runs
};

void PrintTo(const Cell& c, std::ostream* os) {
    *os << c.phase << " / " << c.fault;
}

bool Succeeds(const Cell& c) {
    return std::string(c.text) == kSuccess;
}

// The cell's place in the table, for the order of docs/fault-matrix.md.
int Index(const Cell& c);

class FaultMatrix : public ::testing::TestWithParam<Cell> {
  protected:
    std::vector<std::string> Configure(Model model) {
        fs::create_directories(dir.File("tmp"));
        fs::create_directories(dir.File("state"));
        if (model == Model::kFlash) {
            EXPECT_TRUE(platform::LinkFile(test_support::ProgramPath("Flinta_Plugin.so"),
                                           dir.File("Flinta_Plugin.so")));
            dir.Write("image.hex",
                      test_support::FlashImage(test_support::ImageHeader(0x1234, "55", "10"), 200));
            dir.Write("loader.hex", test_support::FlashLoaderHex(10));
            dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kUsb +
                                        "]\nDLLName=Flinta_Plugin.so\nUploadFile=image.hex\n"
                                        "FlashLoader=loader.hex\nUploadInterface=FLASH\n"
                                        "ModemType=USB\n");
            return {"--flash",        "--model",           kUsb, "--flash-restart-delay", "300",
                    "--received-dir", dir.File("received")};
        }
        EXPECT_TRUE(platform::LinkFile(test_support::ProgramPath("Sarnet_Plugin.so"),
                                       dir.File("Sarnet_Plugin.so")));
        firmware = test_support::FirmwareFile("2.31", 9000);
        dir.Write("fw.bin", firmware);
        const bool branded = model == Model::kBranded;
        dir.Write("Wizard.inf", std::string("[Common]\n\n[") + kSerial +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                    "UploadType=UPLOAD_SUPPORTED_1K\nDLLName=Sarnet_Plugin.so\n" +
                                    (branded ? "ModemBrand=Other,Sarnet\n" : ""));
        const std::vector<std::pair<std::string, std::size_t>> files = {
            {"big.bin", 3000}, {"block.bin", 128}, {"last.dat", 100}};
        std::string attributes;
        unsigned seed = 70;
        for (const auto& [name, size] : files) {
            std::string data = test_support::RandomBytes(size, ++seed);
            if (data.back() == '\x1A') {
                data.back() = 'z';
            }
            original[name] = data;
            dir.Write("store/" + name, data);
            attributes += name + ",1,\n";
        }
        dir.Write("store/.modemsim-attrs", attributes);
        std::vector<std::string> options = {"--model",
                                            kSerial,
                                            "--store",
                                            dir.File("store"),
                                            "--store-trim-padding",
                                            "--reboot-delay",
                                            "300",
                                            "--jfclr-delay",
                                            "100",
                                            "--received-dir",
                                            dir.File("received")};
        if (branded) {
            options.insert(options.end(), {"--brand", "Sarnet"});
        }
        return options;
    }

    // Copies in the kept folders, by stored name.
    std::map<std::string, std::string> Copies(std::vector<std::string>* folders) const {
        std::map<std::string, std::string> copies;
        const std::string backups = dir.File("state/Sarnet_Plugin");
        if (!fs::is_directory(backups)) {
            return copies;
        }
        for (const auto& run : fs::directory_iterator(backups)) {
            folders->push_back(run.path().string());
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

    // Every stored file is in the modem as it was, or its exact copy is kept
    // in a folder the program named.
    bool NothingLost(const CliResult& r) const {
        std::vector<std::string> folders;
        const std::map<std::string, std::string> copies = Copies(&folders);
        bool whole = true;
        for (const auto& [name, data] : original) {
            const std::string path = dir.File("store/" + name);
            const bool inModem = fs::exists(path) && test_support::ReadFileBytes(path) == data;
            auto copy = copies.find(name);
            const bool kept = copy != copies.end() && copy->second == data;
            EXPECT_TRUE(inModem || kept) << name << " is lost";
            whole = whole && (inModem || kept);
        }
        for (const std::string& folder : folders) {
            EXPECT_NE(r.err.find(kKept + folder), std::string::npos) << folder << " is not named\n"
                                                                     << r.err;
            whole = whole && r.err.find(kKept + folder) != std::string::npos;
        }
        return whole;
    }

    // The modem holds the new firmware byte for byte.
    bool HoldsNewFirmware(Model model) const {
        if (model == Model::kFlash) {
            // A record sent again at once (its answer was lost) writes the
            // same bytes to the same place: the flash holds it once.
            std::vector<std::string> written =
                ImageRecords(test_support::ReadFileBytes(dir.File("received/flash-image.hex")));
            written.erase(std::unique(written.begin(), written.end()), written.end());
            return ImageRecords(dir.Read("image.hex")) == written;
        }
        const std::string got = test_support::ReadFileBytes(dir.File("received/firmware.bin"));
        if (got.size() < firmware.size() || got.compare(0, firmware.size(), firmware) != 0) {
            return false;
        }
        return got.find_first_not_of('\x1A', firmware.size()) == std::string::npos;
    }

    // The records of a hex file, without line ends.
    static std::vector<std::string> ImageRecords(const std::string& text) {
        std::vector<std::string> records;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
                line.pop_back();
            }
            if (!line.empty()) {
                records.push_back(line);
            }
        }
        return records;
    }

    test_support::TempDir dir{"fault-matrix"};
    std::string firmware;
    std::map<std::string, std::string> original;
};

TEST_P(FaultMatrix, EndsInAVerifiedUpdateOrItsPhasesFailureWithNothingLost) {
    const Cell& c = GetParam();
    std::vector<std::string> options = Configure(c.model);
    options.insert(options.end(), c.options.begin(), c.options.end());
    const auto start = std::chrono::steady_clock::now();
    ModemSim sim(options);
    ASSERT_FALSE(sim.PortPath().empty());
    const CliResult r = test_support::RunCli(
        {"update", "--config", dir.File("Wizard.inf"), "--yes", "--port", sim.PortPath(), "--model",
         c.model == Model::kFlash ? kUsb : kSerial},
        kRunLimitMs, {{"TMPDIR", dir.File("tmp")}, {"XDG_STATE_HOME", dir.File("state")}});
    sim.Stop();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const bool reportedSuccess = r.exitCode == 0 && r.out.find(kSuccess) != std::string::npos;
    const bool holdsNew = HoldsNewFirmware(c.model);
    if (Succeeds(c)) {
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_NE(r.out.find(kSuccess), std::string::npos) << r.out << r.err;
    } else {
        EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(c.text), std::string::npos) << r.out << r.err;
        EXPECT_EQ(r.out.find(kSuccess), std::string::npos) << r.out;
    }
    EXPECT_TRUE(!reportedSuccess || holdsNew) << "success reported without the new firmware";
    const bool whole = NothingLost(r);

    if (const char* out = std::getenv("FAULT_MATRIX_OUT")) {
        std::string outcome = reportedSuccess ? "success" : r.exitCode == -1 ? "HANG" : "failed";
        if (!reportedSuccess) {
            const std::size_t at = (r.out + r.err).find(c.text);
            outcome += at != std::string::npos ? std::string(": ") + c.text : ": WRONG TEXT";
        }
        if (!whole) {
            outcome += ", FILE LOST";
        }
        if (reportedSuccess && !holdsNew) {
            outcome += ", DISHONEST";
        }
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::ofstream(std::string(out) + "/" + name.substr(name.find('/') + 1) + ".cell")
            << Index(c) << '\t' << c.phase << '\t' << c.fault << '\t' << outcome << '\t' << seconds
            << '\n';
    }
}

std::vector<std::string> Firmware(std::vector<std::string> options) {
    options.push_back("--fault-firmware");
    return options;
}

std::vector<std::string> OnFile(const char* name, const char* direction,
                                std::vector<std::string> options) {
    options.insert(options.end(), {"--fault-file", name, "--fault-direction", direction});
    return options;
}

const std::vector<Cell>& Cells() {
    static const std::vector<Cell> cells = {
        // The search: the first "AT" and the model's name.
        {"search (AT answer)", "silence", Model::kBackup, {"--silent"}, kNoModem, true},
        {"search (AT answer)",
         "device vanishes",
         Model::kBackup,
         {"--fault-vanish-in-answer", "AT"},
         kNoModem,
         false},
        {"search (AT answer)",
         "garbage answer",
         Model::kBackup,
         {"--fault-garbage-answer", "AT"},
         kNoModem,
         false},
        {"search (model name)",
         "answer just inside its time-out (800 ms)",
         Model::kBackup,
         {"--fault-late-answer", "800:AT+GMM"},
         kSuccess,
         false},
        {"search (model name)",
         "answer just outside its time-out (1300 ms)",
         Model::kBackup,
         {"--fault-late-answer", "1300:AT+GMM"},
         kSuccess,
         false},
        {"search (model name)",
         "hang",
         Model::kBackup,
         {"--fault-hang", "AT+GMM"},
         kNoModem,
         false},
        // The brand check: asked only when the section names brands. A modem
        // that gives no brand passes it.
        {"brand check",
         "garbage answer",
         Model::kBranded,
         {"--fault-garbage-answer", "AT$BRAND"},
         kSuccess,
         false},
        {"brand check",
         "answer late, inside its time-out (5 s)",
         Model::kBranded,
         {"--fault-late-answer", "5000:AT$BRAND"},
         kSuccess,
         false},
        {"brand check",
         "device vanishes",
         Model::kBranded,
         {"--fault-vanish-in-answer", "AT$BRAND"},
         kNoModem,
         true},
        {"brand check", "hang", Model::kBranded, {"--fault-hang", "AT$BRAND"}, kInitError, false},
        {"upload command",
         "silence",
         Model::kBackup,
         {"--fault-refuse", "AT$UPLOAD"},
         kUploadError,
         false},
        {"upload command",
         "device vanishes",
         Model::kBackup,
         {"--fault-vanish-in-answer", "AT$UPLOAD"},
         kUploadError,
         true},
        {"upload command",
         "garbage (the CR's echo)",
         Model::kBackup,
         {"--fault-garbage-answer", "AT$UPLOAD"},
         kUploadError,
         false},
        {"upload command",
         "echo just inside its time-out (2 s)",
         Model::kBackup,
         {"--fault-late-answer", "2000:AT$UPLOAD"},
         kSuccess,
         false},
        {"upload command",
         "echo just outside its time-out (3 s)",
         Model::kBackup,
         {"--fault-late-answer", "3000:AT$UPLOAD"},
         kUploadError,
         false},
        {"upload command",
         "hang",
         Model::kBackup,
         {"--fault-hang", "AT$UPLOAD"},
         kUploadError,
         false},
        // The loader speed check: the boot loader's first NAKs.
        {"loader speed check",
         "garbage x2 (inside the tries per speed)",
         Model::kBackup,
         {"--fault-loader-garbage", "2"},
         kSuccess,
         false},
        {"loader speed check",
         "garbage storm",
         Model::kBackup,
         {"--fault-loader-garbage", "1000"},
         kUploadError,
         false},
        {"loader speed check",
         "first NAK just inside its time-out (9 s)",
         Model::kBackup,
         {"--fault-loader-late", "9000"},
         kSuccess,
         false},
        {"loader speed check",
         "first NAK just outside its time-out (11 s)",
         Model::kBackup,
         {"--fault-loader-late", "11000"},
         kUploadError,
         false},
        // The firmware over XModem (9000 bytes: 9 blocks of 1 KB).
        {"first firmware block", "NAK storm", Model::kBackup,
         Firmware({"--fault-nak-block", "1:30"}), kUploadError, false},
        {"first firmware block", "NAK x3 (inside the retries)", Model::kBackup,
         Firmware({"--fault-nak-block", "1:3"}), kSuccess, true},
        {"first firmware block", "CAN", Model::kBackup, Firmware({"--fault-can-at-block", "1"}),
         kUploadError, false},
        {"first firmware block", "silence", Model::kBackup,
         Firmware({"--fault-silent-at-block", "1"}), kUploadError, false},
        {"first firmware block", "device vanishes", Model::kBackup,
         Firmware({"--fault-vanish-at-block", "1"}), kUploadError, false},
        {"middle firmware block", "NAK storm", Model::kBackup,
         Firmware({"--fault-nak-block", "5:30"}), kUploadError, true},
        {"middle firmware block", "CAN", Model::kBackup, Firmware({"--fault-can-at-block", "5"}),
         kUploadError, true},
        {"middle firmware block", "silence", Model::kBackup,
         Firmware({"--fault-silent-at-block", "5"}), kUploadError, false},
        {"middle firmware block", "device vanishes", Model::kBackup,
         Firmware({"--fault-vanish-at-block", "5"}), kUploadError, false},
        {"first firmware block", "garbage reply", Model::kBackup,
         Firmware({"--fault-garbage-block", "1"}), kSuccess, false},
        {"first firmware block", "reply just inside its time-out (3.5 s)", Model::kBackup,
         Firmware({"--fault-late-block", "1:3500"}), kSuccess, false},
        {"first firmware block", "reply just outside its time-out (4.5 s)", Model::kBackup,
         Firmware({"--fault-late-block", "1:4500"}), kSuccess, false},
        {"middle firmware block", "garbage reply", Model::kBackup,
         Firmware({"--fault-garbage-block", "5"}), kSuccess, false},
        // The EOT is the block after the last (10).
        {"EOT", "NAK once", Model::kBackup, Firmware({"--fault-nak-block", "10:1"}), kSuccess,
         false},
        {"EOT", "NAK storm", Model::kBackup, Firmware({"--fault-nak-block", "10:30"}), kUploadError,
         true},
        {"EOT", "CAN", Model::kBackup, Firmware({"--fault-can-at-block", "10"}), kUploadError,
         false},
        {"EOT", "silence", Model::kBackup, Firmware({"--fault-silent-at-block", "10"}),
         kUploadError, false},
        {"EOT", "garbage reply", Model::kBackup, Firmware({"--fault-garbage-block", "10"}),
         kUploadError, false},
        {"EOT", "device vanishes", Model::kBackup, Firmware({"--fault-vanish-at-block", "10"}),
         kUploadError, false},
        // The restart: back within the engine's 30 s, or never.
        {"reboot",
         "comes back late (20 s)",
         Model::kBackup,
         {"--reboot-delay", "20000"},
         kSuccess,
         false},
        {"reboot",
         "never comes back",
         Model::kBackup,
         {"--reboot-delay", "600000"},
         kUploadError,
         false},
        // The backup: the listing and each download.
        {"backup listing",
         "silence",
         Model::kBackup,
         {"--fault-refuse", "AT$JDIR"},
         kDownloadError,
         false},
        {"backup listing",
         "no final OK",
         Model::kBackup,
         {"--fault-listing-timeout"},
         kDownloadError,
         true},
        {"backup listing",
         "device vanishes",
         Model::kBackup,
         {"--fault-vanish-in-answer", "AT$JDIR"},
         kDownloadError,
         false},
        {"backup listing",
         "garbage answer",
         Model::kBackup,
         {"--fault-garbage-answer", "AT$JDIR"},
         kDownloadError,
         true},
        {"backup listing",
         "hang",
         Model::kBackup,
         {"--fault-hang", "AT$JDIR"},
         kDownloadError,
         true},
        // Every answer late: the store commands wait 1 s, the search too.
        {"search and backup listing",
         "every answer just inside the time-outs (700 ms)",
         Model::kBackup,
         {"--answer-delay", "700"},
         kSuccess,
         false},
        {"search and backup listing",
         "every answer just outside the time-outs (1300 ms)",
         Model::kBackup,
         {"--answer-delay", "1300"},
         kNoModem,
         false},
        {"backup download (first file)", "corrupt block", Model::kBackup,
         OnFile("big.bin", "send", {"--fault-corrupt-block", "2:1"}), kSuccess, false},
        {"backup download (first file)", "corrupt block storm", Model::kBackup,
         OnFile("big.bin", "send", {"--fault-corrupt-block", "2:30"}), kDownloadError, true},
        {"backup download (first file)", "garbage instead of a block", Model::kBackup,
         OnFile("big.bin", "send", {"--fault-garbage-block", "2"}), kSuccess, false},
        {"backup download (first file)", "block late (5 s)", Model::kBackup,
         OnFile("big.bin", "send", {"--fault-late-block", "2:5000"}), kSuccess, false},
        {"backup download (first file)", "CAN", Model::kBackup,
         OnFile("big.bin", "send", {"--fault-can-at-block", "1"}), kDownloadError, false},
        {"backup download (last file)", "silence", Model::kBackup,
         OnFile("last.dat", "send", {"--fault-silent-at-block", "1"}), kDownloadError, false},
        {"backup download (last file)", "device vanishes", Model::kBackup,
         OnFile("last.dat", "send", {"--fault-vanish-at-block", "1"}), kDownloadError, true},
        // After the firmware: the reorganisation and each restore upload.
        {"reorganisation",
         "ERROR every time",
         Model::kBackup,
         {"--fault-jfclr-errors", "10"},
         kReorganizeError,
         false},
        {"reorganisation",
         "device vanishes",
         Model::kBackup,
         {"--fault-vanish-in-answer", "at$jfclr"},
         kReorganizeError,
         true},
        {"restore upload (first file)", "NAK storm", Model::kBackup,
         OnFile("big.bin", "receive", {"--fault-nak-block", "1:30"}), kFileUploadError, false},
        {"restore upload (first file)", "CAN", Model::kBackup,
         OnFile("big.bin", "receive", {"--fault-can-at-block", "2"}), kFileUploadError, true},
        {"restore upload (first file)", "garbage reply", Model::kBackup,
         OnFile("big.bin", "receive", {"--fault-garbage-block", "1"}), kSuccess, false},
        {"restore upload (first file)", "reply just inside its time-out (3.5 s)", Model::kBackup,
         OnFile("big.bin", "receive", {"--fault-late-block", "2:3500"}), kSuccess, false},
        {"restore upload (first file)",
         "hang at the store command",
         Model::kBackup,
         {"--fault-hang", "AT$JUPL"},
         kFileUploadError,
         false},
        {"restore upload (middle file)",
         "no NAK (silence)",
         Model::kBackup,
         {"--fault-no-nak-file", "block.bin"},
         kFileUploadError,
         false},
        {"restore upload (last file)", "device vanishes", Model::kBackup,
         OnFile("last.dat", "receive", {"--fault-vanish-at-block", "1"}), kFileUploadError, false},
        // The flash-loader modem: loader records ("at&&f..."), image, country.
        {"flash loader records",
         "silence",
         Model::kFlash,
         {"--fault-refuse", "at&&f:3"},
         kUploadError,
         false},
        {"flash loader records",
         "device vanishes",
         Model::kFlash,
         {"--fault-vanish-in-answer", "at&&f"},
         kUploadError,
         true},
        {"flash loader records",
         "garbage answer",
         Model::kFlash,
         {"--fault-garbage-answer", "at&&f"},
         kUploadError,
         false},
        {"image records",
         "garbage answer once",
         Model::kFlash,
         {"--fault-garbage-record", "20"},
         kSuccess,
         false},
        {"image records",
         "answer just inside its time-out (1.5 s)",
         Model::kFlash,
         {"--fault-late-record", "20:1500"},
         kSuccess,
         false},
        {"image records",
         "answer just outside its time-out (3 s)",
         Model::kFlash,
         {"--fault-late-record", "20:3000"},
         kSuccess,
         false},
        {"image records",
         "hang",
         Model::kFlash,
         {"--fault-hang-at-record", "20"},
         kUploadError,
         false},
        {"image records", "NOK once", Model::kFlash, {"--flash-nok", "20:NOK1:1"}, kSuccess, false},
        {"image records",
         "NOK storm",
         Model::kFlash,
         {"--flash-nok", "20:NOK1:always"},
         kUploadError,
         false},
        {"image records",
         "garbage answer (XQ7)",
         Model::kFlash,
         {"--flash-nok", "20:XQ7:always"},
         kUploadError,
         false},
        {"image records",
         "device vanishes",
         Model::kFlash,
         {"--fault-vanish-at-record", "20"},
         kUploadError,
         true},
        // An unanswered query leaves no country to set again: the update goes on.
        {"country command",
         "silence (the query)",
         Model::kFlash,
         {"--fault-refuse", "AT+GCI"},
         kSuccess,
         false},
        {"country command",
         "garbage answer (the query)",
         Model::kFlash,
         {"--fault-garbage-answer", "AT+GCI?"},
         kSuccess,
         false},
        // The answer to setting the country is not examined; the modem's
        // answer to AT after it decides.
        {"country command",
         "garbage answer (setting it)",
         Model::kFlash,
         {"--fault-garbage-answer", "AT+GCI="},
         kSuccess,
         false},
        {"country command", "hang", Model::kFlash, {"--fault-hang", "AT+GCI"}, kUploadError, false},
        {"country command",
         "device vanishes",
         Model::kFlash,
         {"--fault-vanish-in-answer", "AT+GCI"},
         kUploadError,
         false},
    };
    return cells;
}

int Index(const Cell& c) {
    for (std::size_t i = 0; i < Cells().size(); ++i) {
        if (std::string(Cells()[i].phase) == c.phase && std::string(Cells()[i].fault) == c.fault) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<Cell> Pick(bool representative) {
    std::vector<Cell> picked;
    for (const Cell& c : Cells()) {
        if (c.representative == representative) {
            picked.push_back(c);
        }
    }
    return picked;
}

std::string CellName(const ::testing::TestParamInfo<Cell>& info) {
    std::string name = std::string(info.param.phase) + "_" + info.param.fault;
    std::string clean;
    bool upper = true;
    for (char ch : name) {
        if (std::isalnum(static_cast<unsigned char>(ch))) {
            clean += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
            upper = false;
        } else {
            upper = true;
        }
    }
    return clean;
}

// Third: the cells make test runs; Rest: the others, for make fault-matrix.
INSTANTIATE_TEST_SUITE_P(Third, FaultMatrix, ::testing::ValuesIn(Pick(true)), CellName);
INSTANTIATE_TEST_SUITE_P(Rest, FaultMatrix, ::testing::ValuesIn(Pick(false)), CellName);

}  // namespace

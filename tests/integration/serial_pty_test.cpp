// The serial line and AT engine over a real pseudo-terminal against the
// modem simulator, in real time, and wizard-cli as a user runs it.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/port_names.h"
#include "platform/process.h"
#include "platform/pty.h"
#include "platform/serial_port.h"
#include "serial/identify.h"
#include "serial/port_reopen.h"
#include "serial/serial.h"
#include "tests/support/cli_runner.h"
#include "tests/support/device_holder.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"

using test_support::ModemSim;
using test_support::ProgramPath;

namespace {

using test_support::CliResult;
CliResult Cli(const std::vector<std::string>& args) {
    return test_support::RunCli(args, 20000);
}

TEST(SerialPty, IdentifyPrintsModelAndInformationPages) {
    ModemSim sim({"--model", "ORVA 56K Serial", "--version", "2.17"});
    CliResult r = Cli({"identify", "--port", sim.PortPath()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Model: ORVA 56K Serial\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ATI3:  ORVA 56K Serial Firmware 2.17"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ATI5:  "), std::string::npos);
    EXPECT_GE(sim.CountLog("at AT&F"), 1);
}

// A line that a previous program left cooked (echo, canonical input, CR
// read as LF, LF written as CR LF, XON/XOFF, signal characters) carries
// every byte value unchanged in both directions once CSerial has it open.
TEST(SerialPty, ALineLeftCookedCarriesEveryByteValueUnchanged) {
    platform::PseudoTerminal line;
    std::string error;
    ASSERT_TRUE(line.Open(115200, &error)) << error;
    ASSERT_TRUE(line.LeaveCooked(&error)) << error;
    std::string all;
    for (int value = 0; value < 256; ++value) {
        all += static_cast<char>(value);
    }
    CSerial port;
    port.SetPortName(line.SlavePath());
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(platform::SerialPortLowLatency(port.Handle(), nullptr),
              platform::LowLatency::kNotOffered)
        << "a pseudo-terminal is no USB adapter";

    ASSERT_EQ(port.Write(all, 0), 256u);
    std::string fromHost;
    const DWORD start = platform::GetTickCount();
    char buffer[512];
    for (long n = 1;
         n > 0 || (fromHost.size() < all.size() && platform::GetTickCount() - start < 2000);) {
        n = line.Read(buffer, sizeof buffer, 100);  // more than was sent would show too
        if (n > 0) {
            fromHost.append(buffer, static_cast<std::size_t>(n));
        }
    }
    EXPECT_EQ(fromHost, all) << "no byte added, changed or dropped on the way out";

    ASSERT_EQ(line.Write(all.data(), all.size(), 1000), all.size());
    std::string toHost;
    EXPECT_EQ(port.ReadTimeout(toHost, 512, 1000, 300), 256u);
    EXPECT_EQ(toHost, all) << "no byte changed, dropped or held back on the way in";
    EXPECT_EQ(line.Read(buffer, sizeof buffer, 100), 0) << "nothing echoed back";
}

// A USB modem's stable name: the link in the by-id directory that leads to
// the same device, whichever name it was given by.
TEST(StablePortNames, ADeviceIsNamedByItsLinkWhenItHasOne) {
    platform::PseudoTerminal first, second;
    std::string error;
    ASSERT_TRUE(first.Open(115200, &error) && second.Open(115200, &error)) << error;
    test_support::TempDir byId("by-id");
    const std::string link = byId.File("usb-ORVA_56K_USB_0001-if00");
    ASSERT_TRUE(first.LinkAt(link, &error)) << error;
    ASSERT_TRUE(platform::LinkFile(second.SlavePath(), byId.File("usb-Other-if00")));
    EXPECT_EQ(platform::StablePortNameIn(first.SlavePath(), byId.Path()), link);
    EXPECT_EQ(platform::StablePortNameIn(link, byId.Path()), link) << "already the stable name";
    platform::PseudoTerminal third;
    ASSERT_TRUE(third.Open(115200, &error)) << error;
    EXPECT_EQ(platform::StablePortNameIn(third.SlavePath(), byId.Path()), third.SlavePath());
    EXPECT_EQ(platform::StablePortNameIn("/dev/no-such-port", byId.Path()), "/dev/no-such-port");
}

// A re-open while the device is off the bus waits for its name, sleeping.
TEST(ReopenPort, WaitsForTheNameToComeBackAndOpensIt) {
    platform::PseudoTerminal device;
    std::string error;
    ASSERT_TRUE(device.Open(115200, &error)) << error;
    test_support::TempDir byId("by-id");
    const std::string link = byId.File("usb-modem");
    CSerial port;
    port.SetPortName(link);
    std::thread back([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        device.LinkAt(link, &error);
    });
    const DWORD start = platform::GetTickCount();
    const std::clock_t cpu = std::clock();
    EXPECT_TRUE(ReopenPort(&port, 5000));
    EXPECT_GE(platform::GetTickCount() - start, 400u);
    EXPECT_LT(static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC, 0.1) << "no spinning";
    back.join();
    EXPECT_TRUE(port.IsOpen());
}

TEST(ReopenPort, GivesUpWhenTheDeviceIsNotBackInTimeAndAtOnceWhenItIsBusy) {
    test_support::TempDir byId("by-id");
    CSerial port;
    port.SetPortName(byId.File("usb-gone"));
    DWORD start = platform::GetTickCount();
    const std::clock_t cpu = std::clock();
    EXPECT_FALSE(ReopenPort(&port, 700));
    const DWORD waited = platform::GetTickCount() - start;
    EXPECT_GE(waited, 700u);
    EXPECT_LT(waited, 2000u);
    EXPECT_LT(static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC, 0.1) << "no spinning";

    platform::PseudoTerminal device;
    std::string error;
    ASSERT_TRUE(device.Open(115200, &error)) << error;
    CSerial holder;
    holder.SetPortName(device.SlavePath());
    ASSERT_TRUE(holder.Open());
    port.SetPortName(device.SlavePath());
    start = platform::GetTickCount();
    EXPECT_FALSE(ReopenPort(&port, 5000));
    EXPECT_LT(platform::GetTickCount() - start, 500u) << "a busy port is no device to wait for";
}

TEST(SerialPty, EchoOffNeedsIgnoreEcho) {
    ModemSim sim({"--echo", "off"});
    CliResult ignoring = Cli({"at", "--port", sim.PortPath(), "--ignore-echo", "ATI6"});
    EXPECT_EQ(ignoring.exitCode, 0) << ignoring.err;
    EXPECT_EQ(ignoring.out, "ORVA 56K Serial\n\nOK\n");
    // Identification always writes in one piece, so it works without echo.
    CliResult identify = Cli({"identify", "--port", sim.PortPath()});
    EXPECT_EQ(identify.exitCode, 0) << identify.err;
    // Without --ignore-echo every echo check fails.
    CliResult plain = Cli({"at", "--port", sim.PortPath(), "AT"});
    EXPECT_EQ(plain.exitCode, 1);
    EXPECT_EQ(plain.out, "");
}

TEST(SerialPty, ModelFallsBackToGmm9AndLosesItsQuotes) {
    ModemSim sim({"--gmm-error", "--gmm-quoted", "--model", "Varrona \"OK\" Box"});
    CSerial port;
    port.SetPortName(sim.PortPath());
    ASSERT_TRUE(port.Open());
    std::string model;
    ASSERT_TRUE(IdentifyModem(&port, nullptr, &model, nullptr, nullptr));
    EXPECT_EQ(model, "Varrona \"OK\" Box");
    EXPECT_GE(sim.CountLog("at AT+GMM9"), 1);
}

TEST(SerialPty, AnUnknownCommandEndsWithErrorAndExitCodeOne) {
    ModemSim sim({});
    CliResult r = Cli({"at", "--port", sim.PortPath(), "AT+NOSUCH"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "ERROR\n");
    EXPECT_NE(r.err.find("did not end with OK"), std::string::npos);
}

class SpeedCheck : public ::testing::TestWithParam<DWORD> {};

TEST_P(SpeedCheck, FindsTheLoaderAtItsSpeed) {
    const DWORD speed = GetParam();
    ModemSim sim({"--loader", "--loader-baud", std::to_string(speed), "--nak-interval", "150"});
    CSerial port;
    port.SetPortName(sim.PortPath());
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.UploadCheckBaudrate());
    DCB dcb{};
    ASSERT_TRUE(platform::GetCommState(port.Handle(), &dcb));
    EXPECT_EQ(dcb.BaudRate, speed);
    // The simulator sees the host at the loader's speed now.
    EXPECT_TRUE(sim.WaitForLog("loader-nak-start", 1000));
}

INSTANTIATE_TEST_SUITE_P(Loader, SpeedCheck, ::testing::Values(115200u, 57600u, 9600u));

// This process as ps shows it: its id and its program's name.
std::string ThisProcess() {
    return "serial_pty_tests (pid " + std::filesystem::read_symlink("/proc/self").string() + ")";
}

TEST(SerialPty, ABusyPortFailsToOpenWithAClearMessage) {
    ModemSim sim({});
    CSerial holder;
    holder.SetPortName(sim.PortPath());
    ASSERT_TRUE(holder.Open());
    CliResult r = Cli({"identify", "--port", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "wizard-cli: cannot open port " + sim.PortPath() + ": the port is in use by " +
                         ThisProcess() + "\n");
    holder.Close();
    r = Cli({"identify", "--port", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(SerialPty, APortHeldByAnotherProcessCannotBeOpenedHere) {
    ModemSim sim({"--silent"});
    platform::Process other;
    std::string error;
    ASSERT_TRUE(other.Start(
        {ProgramPath("wizard-cli"), "at", "--port", sim.PortPath(), "--ignore-echo", "AT"}, {},
        platform::ProcessOutput::kCapture, &error))
        << error;
    // Its command reaching the modem proves the other process holds the port.
    ASSERT_TRUE(sim.WaitForLog("at AT", 5000));
    CSerial probe;
    probe.SetPortName(sim.PortPath());
    EXPECT_FALSE(probe.Open());
    EXPECT_EQ(platform::ErrorText(platform::GetLastError()),
              "the port is in use by another program");
    EXPECT_TRUE(other.Wait(10000));
    EXPECT_EQ(other.ExitCode(), 1) << "a silent modem gives no OK";
    EXPECT_TRUE(probe.Open()) << "free again once the other process has ended";
}

// Another program holds the pty: the wizard's own exclusive open, or a
// plain open without any lock (as ModemManager and terminal programs do).
struct Holder {
    const char* what;
    const char* program;
    bool locks;  // opens the port the way the wizard does
};

void PrintTo(const Holder& h, std::ostream* out) {
    *out << h.what;
}

class PortHeldByAnotherProgram : public ::testing::TestWithParam<Holder> {};

TEST_P(PortHeldByAnotherProgram, IsRefusedNamingTheProgramAndItsProcessId) {
    ModemSim sim({"--silent"});
    platform::Process holder;
    std::string error;
    if (GetParam().locks) {
        ASSERT_TRUE(holder.Start({ProgramPath("wizard-cli"), "at", "--port", sim.PortPath(),
                                  "--ignore-echo", "--timeout", "60000", "AT"},
                                 {}, platform::ProcessOutput::kCapture, &error))
            << error;
        ASSERT_TRUE(sim.WaitForLog("at AT", 5000)) << "the holder has the port";
    } else {
        ASSERT_TRUE(test_support::HoldDeviceOpen(&holder, sim.PortPath(), &error)) << error;
    }
    const std::string named =
        std::string(GetParam().program) + " (pid " + std::to_string(holder.Pid()) + ")";
    CliResult r = Cli({"identify", "--port", sim.PortPath()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "wizard-cli: cannot open port " + sim.PortPath() + ": the port is in use by " +
                         named + "\n");
    // The update's search finds no modem there, and says why.
    test_support::TempDir dir;
    dir.Write("Wizard.inf", "[Common]\n[ORVA 56K Serial]\nUploadFile=fw.bin\n");
    r = Cli({"update", "--config", dir.Path() + "/Wizard.inf", "--port", sim.PortPath(), "--model",
             "ORVA 56K Serial", "--yes", "--quiet"});
    EXPECT_EQ(r.exitCode, 1);
    const std::string why =
        "wizard-cli: port " + sim.PortPath() + ": the port is in use by " + named;
    EXPECT_EQ(r.err.substr(r.err.size() - why.size() - 1), why + "\n") << r.err;

    holder.Stop();
    r = Cli({"identify", "--port", sim.PortPath()});
    EXPECT_EQ(r.err, "wizard-cli identify: no modem answered on " + sim.PortPath() + "\n")
        << "the port opens once the holder is gone";
}

INSTANTIATE_TEST_SUITE_P(Holders, PortHeldByAnotherProgram,
                         ::testing::Values(Holder{"exclusive open", "wizard-cli", true},
                                           Holder{"open without a lock", "sleep", false}));

TEST(SerialPty, MissingPortsAndBadArgumentsAreExplained) {
    CliResult r = Cli({"identify", "--port", "/dev/no-such-modem"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "wizard-cli: cannot open port /dev/no-such-modem: no such port\n");
    r = Cli({"at", "AT"});
    EXPECT_EQ(r.exitCode, 2);
    r = Cli({"frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown command"), std::string::npos);
    for (const std::vector<std::string>& restore : {std::vector<std::string>{"restore"},
                                                    {"restore", "--list", "--port", "/dev/x"},
                                                    {"restore", "--port", "/dev/x", "a", "b"},
                                                    {"restore", "--list", "FOLDER"}}) {
        r = Cli(restore);
        EXPECT_EQ(r.exitCode, 2) << restore.size();
        EXPECT_NE(r.err.find("Usage: wizard-cli restore --port DEV [--model NAME] [FOLDER] | "
                             "--list"),
                  std::string::npos)
            << r.err;
    }
}

}  // namespace

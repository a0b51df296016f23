// wizard-cli demo: a whole firmware update of a simulated modem.
//
// The simulator plays its modem on a pseudo-terminal, so it runs where
// those exist. Alone, the demo starts it and updates it. In two halves it
// spans two systems that share a directory and a line (Linux and wine):
//   wizard-cli demo --serve DIR --link PATH     the simulated modem, until stopped
//   wizard-cli.exe demo --dir DIR --port COM5   the update of that modem
#include <iostream>
#include <memory>

#include "platform/paths.h"
#include "platform/process.h"
#include "platform/stop_signal.h"
#include "serial/answer_text.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/demo_setup.h"
#include "wizard/cli/update_flow.h"

namespace {

constexpr const char* kUsage =
    "[--model NAME] [--rate BYTES_PER_SECOND] [--size KB] [--keep] [--list] [--gui] [--quiet] "
    "| [--model NAME] --serve DIR --link PATH | [--model NAME] --dir DIR --port PORT";
constexpr DWORD kSimulatorStartMs = 10000;
constexpr std::size_t kMaxPadding = 1023;
// The GUI shows the transfer as it goes: the speed of a 115200 bit/s line.
constexpr unsigned long kGuiRate = 11520;
constexpr DWORD kWizardPollMs = 1000;

// The modem got the file intact: the same bytes, then at most one block of
// XModem padding (the flash loader's copy of records has none).
bool ArrivedIntact(const std::string& sent, const std::string& received) {
    if (received.size() < sent.size() || received.size() - sent.size() > kMaxPadding ||
        received.compare(0, sent.size(), sent) != 0) {
        return false;
    }
    return received.find_first_not_of('\x1A', sent.size()) == std::string::npos;
}

std::string In(const std::string& dir, const std::string& name) {
    return dir + platform::kPathSeparator + name;
}

// Runs the Wizard program on the demo's Wizard.inf, searching only the
// simulated modem's port, until the user closes it. Returns its exit code.
int RunWizardGui(const std::string& wizardInf, const std::string& port) {
    platform::Process wizard;
    std::string why;
    const std::string program = In(platform::ProgramDirectory(), "Wizard");
    if (!wizard.Start({program, "--config", wizardInf, "--ports", port}, {},
                      platform::ProcessOutput::kInherit, &why)) {
        std::cerr << "wizard-cli demo: cannot start " << program << ": " << why << "\n";
        return 1;
    }
    while (!wizard.Wait(kWizardPollMs)) {
    }
    return wizard.ExitCode();
}

void ListModels() {
    std::cout << "Demo models:\n";
    for (const cli::DemoModel& model : cli::DemoModels()) {
        std::cout << "  " << model.name << " - " << model.description << "\n";
    }
}

// The simulator of model, keeping what it receives and stores in dir.
std::vector<std::string> SimulatorCommand(const cli::DemoModel& model, const std::string& dir,
                                          unsigned long rate) {
    std::vector<std::string> simulator = {In(platform::ProgramDirectory(), "modemsim"),
                                          "--model",
                                          model.name,
                                          "--version",
                                          "1.00",
                                          "--received-dir",
                                          In(dir, "received"),
                                          "--log",
                                          In(dir, "modemsim.log")};
    simulator.insert(simulator.end(), model.simulatorOptions.begin(), model.simulatorOptions.end());
    if (model.fileStore) {
        simulator.insert(simulator.end(), {"--store", In(dir, "store")});
    }
    if (rate != 0) {
        simulator.insert(simulator.end(), {"--rate", std::to_string(rate)});
    }
    return simulator;
}

// Starts the simulator; its first line is its device. Null (and why on
// stderr) when it does not come up.
std::unique_ptr<platform::Process> StartSimulator(const std::vector<std::string>& command,
                                                  std::string* port) {
    auto sim = std::make_unique<platform::Process>();
    std::string why;
    if (!sim->Start(command, {}, platform::ProcessOutput::kCapture, &why)) {
        // Where pseudo-terminals are not (Windows) the simulator is not built.
        std::cerr << "wizard-cli demo: the modem simulator cannot be started: " << why
                  << "\nIt plays its modem on a pseudo-terminal. Run it on Linux with\n"
                     "  wizard-cli demo --serve DIR --link PATH\n"
                     "and update it from here with\n"
                     "  wizard-cli demo --dir DIR --port PORT\n"
                     "(make demo-windows does both under wine).\n";
        return nullptr;
    }
    if (!sim->ReadLine(port, kSimulatorStartMs)) {
        std::cerr << "wizard-cli demo: the modem simulator did not start: " << sim->Stderr()
                  << "\n";
        return nullptr;
    }
    return sim;
}

// The update of the simulated modem on port, with the demo's files in dir,
// and what the modem got from it. Returns the exit code.
int UpdateAndCheck(const cli::DemoModel& model, const std::string& dir, const std::string& port,
                   std::uint32_t kilobytes, bool gui, bool quiet) {
    std::string firmwarePath, why;
    if (!cli::WriteDemoFiles(model, dir, kilobytes, &firmwarePath, &why)) {
        std::cerr << "wizard-cli demo: " << why << "\n";
        return 1;
    }
    const std::string storeDir = In(dir, "store");
    const std::map<std::string, std::string> storedBefore =
        model.fileStore ? cli::DemoStoreContents(storeDir) : std::map<std::string, std::string>();
    std::cout << "A simulated \"" << model.name << "\" modem (" << model.description << ") is on "
              << port << ".\nIts Wizard.inf and firmware are in " << dir << ".\n\n"
              << std::flush;

    int code = 1;
    if (gui) {
        std::cout << "The wizard opens in a window of its own; click your way through it.\n"
                  << std::flush;
        code = RunWizardGui(In(dir, "Wizard.inf"), port);
    } else {
        cli::UpdateOptions options;
        if (!LocateConfigFile(In(dir, "Wizard.inf"), &options.config, &why)) {
            std::cerr << "wizard-cli demo: " << why << "\n";
            return 1;
        }
        options.port = port;
        options.model = model.name;
        options.yes = true;
        options.quiet = quiet;
        code = cli::RunUpdateFlow(options);
    }

    const std::string received =
        cli::ReadWholeFile(In(In(dir, "received"), cli::ReceivedFirmwareName(model)));
    if (code == 0 && gui && received.empty()) {
        // Cancel is a way to leave the wizard too.
        std::cout << "The wizard was closed before the update.\n";
    } else if (code == 0) {
        bool intact = ArrivedIntact(cli::ReadWholeFile(firmwarePath), received);
        std::cout << (intact ? "The simulated modem received the firmware byte for byte.\n"
                             : "The simulated modem did NOT receive the firmware intact.\n");
        if (model.fileStore) {
            const bool kept = cli::DemoStoreContents(storeDir) == storedBefore;
            std::cout << "Its " << storedBefore.size() << " stored files "
                      << (kept ? "survived the update byte for byte, with their attributes.\n"
                               : "did NOT survive the update intact.\n");
            intact = intact && kept;
        }
        // A HEX image carries no version for the modem to report.
        CSerial serial;
        std::string ati3, text;
        serial.SetPortName(port);
        if (!model.intelHex && serial.Open() &&
            IdentifyModem(&serial, nullptr, nullptr, &ati3, nullptr)) {
            CleanAnswer("", ati3, &text);
            std::cout << "It now reports: " << text << "\n";
        }
        code = intact ? 0 : 1;
    }
    return code;
}

// The simulated modem for another system's half of the demo: its store in
// dir, its device linked at link, until SIGTERM or SIGINT.
int Serve(const cli::DemoModel& model, const std::string& dir, const std::string& link,
          unsigned long rate) {
    if (model.fileStore && !cli::WriteDemoStore(In(dir, "store"))) {
        std::cerr << "wizard-cli demo: cannot fill the simulated modem's file store in " << dir
                  << "\n";
        return 1;
    }
    platform::InstallStopSignals();
    std::vector<std::string> command = SimulatorCommand(model, dir, rate);
    command.insert(command.end(), {"--link", link});
    std::string port;
    std::unique_ptr<platform::Process> sim = StartSimulator(command, &port);
    if (!sim) {
        return 1;
    }
    std::cout << "A simulated \"" << model.name << "\" modem is on " << port << " (" << link
              << ") until stopped.\n"
              << std::flush;
    while (!platform::SleepUnlessStopped(kWizardPollMs) && sim->Running()) {
    }
    sim->Stop();
    return 0;
}

int RunDemo(const std::vector<std::string>& words) {
    cli::Args args(words, {"--model", "--rate", "--size", "--serve", "--link", "--dir", "--port"},
                   {"--keep", "--list", "--quiet", "--gui"});
    const bool gui = args.Flag("--gui");
    unsigned long rate = args.Number("--rate", gui ? kGuiRate : 0);
    unsigned long size = args.Number("--size", 0);
    const std::optional<std::string> serve = args.Value("--serve");
    const std::optional<std::string> link = args.Value("--link");
    const std::optional<std::string> shared = args.Value("--dir");
    const std::optional<std::string> port = args.Value("--port");
    std::string error = args.ok() ? "" : args.error();
    if (error.empty() && !args.Positional().empty()) {
        error = "unexpected argument " + args.Positional()[0];
    }
    if (error.empty() && serve.has_value() != link.has_value()) {
        error = "--serve DIR and --link PATH go together";
    }
    if (error.empty() && shared.has_value() != port.has_value()) {
        error = "--dir DIR and --port PORT go together";
    }
    if (!error.empty()) {
        std::cerr << "wizard-cli demo: " << error << "\nUsage: wizard-cli demo " << kUsage << "\n";
        return 2;
    }
    if (args.Flag("--list")) {
        ListModels();
        return 0;
    }
    const cli::DemoModel* model = cli::DemoModels().data();
    if (std::optional<std::string> name = args.Value("--model")) {
        model = cli::FindDemoModel(*name);
        if (model == nullptr) {
            std::cerr << "wizard-cli demo: no demo model \"" << *name << "\"\n";
            ListModels();
            return 2;
        }
    }
    const std::uint32_t kilobytes =
        size != 0 ? static_cast<std::uint32_t>(size) : model->imageKilobytes;
    if (serve) {
        return Serve(*model, *serve, *link, rate);
    }
    if (shared) {
        return UpdateAndCheck(*model, *shared, *port, kilobytes, gui, args.Flag("--quiet"));
    }

    const std::string dir = platform::MakeTemporaryDirectory("wizard-demo");
    if (dir.empty()) {
        std::cerr << "wizard-cli demo: cannot create a directory in " << platform::TempDirectory()
                  << "\n";
        return 1;
    }
    if (model->fileStore && !cli::WriteDemoStore(In(dir, "store"))) {
        std::cerr << "wizard-cli demo: cannot fill the simulated modem's file store in " << dir
                  << "\n";
        platform::RemoveTree(dir);
        return 1;
    }
    std::string simPort;
    std::unique_ptr<platform::Process> sim =
        StartSimulator(SimulatorCommand(*model, dir, rate), &simPort);
    int code = 1;
    if (sim) {
        code = UpdateAndCheck(*model, dir, simPort, kilobytes, gui, args.Flag("--quiet"));
        sim->Stop();
    }
    if (args.Flag("--keep")) {
        std::cout << "The demo's files stay in " << dir << ".\n";
    } else {
        platform::RemoveTree(dir);
    }
    return code;
}

constexpr const char* kHelp =
    R"(Writes a `Wizard.inf` and a firmware file for a simulated modem into a new
directory below `$TMPDIR`, starts `modemsim` on a pseudo-terminal, runs the
whole update on it (search, confirmation, steps, progress) and then
compares what the simulated modem received with what was sent. Nothing is
written anywhere else; the directory is removed at the end.

- `--model NAME`: The demo model to update (default: the first of
  `--list`).
- `--rate BYTES_PER_SECOND`: Pace the simulated line, for example 11520
  for the speed of a 115200 bit/s line (default: as fast as it goes; 11520
  with `--gui`).
- `--size KB`: The size of the firmware image in kilobytes (default: the
  model's own).
- `--keep`: Leave the directory with the demo's files in place.
- `--list`: List the demo models and end.
- `--gui`: Run the update in the window of `Wizard` instead of on the
  console.
- `--quiet`: No progress bar.

In two halves the demo spans two systems that share a directory and a
line, where the simulator cannot run on the system of the update (a
Windows build under wine):

- `--serve DIR`: Only the simulated modem, with its files in DIR, until
  stopped (SIGTERM or Ctrl-C); goes with `--link`.
- `--link PATH`: Where `--serve` links the simulated modem's
  pseudo-terminal.
- `--dir DIR`: Only the update, of the modem that `--serve` plays, and the
  check of what it received in DIR; goes with `--port`.
- `--port PORT`: The port on which `--dir` finds that modem.

Exit status 0 when the simulated modem received the firmware byte for byte
(and its stored files came back intact); 1 otherwise.

    wizard-cli demo
    wizard-cli demo --model "ORVA 56K Voice" --rate 11520
    wizard-cli demo --serve /tmp/demo --link /tmp/demo-port
)";

}  // namespace

REGISTER_CLI_COMMAND("demo", kUsage, "update the firmware of a simulated modem from start to end",
                     &RunDemo, kHelp);

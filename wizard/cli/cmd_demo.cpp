// wizard-cli demo: a whole firmware update of a simulated modem.
#include <iostream>
#include <memory>

#include "platform/paths.h"
#include "platform/process.h"
#include "serial/answer_text.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/demo_setup.h"
#include "wizard/cli/update_flow.h"

namespace {

constexpr const char* kUsage =
    "[--model NAME] [--rate BYTES_PER_SECOND] [--size KB] [--keep] [--list] [--gui] [--quiet]";
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

// Runs the Wizard program on the demo's Wizard.inf, searching only the
// simulated modem's port, until the user closes it. Returns its exit code.
int RunWizardGui(const std::string& wizardInf, const std::string& port) {
    platform::Process wizard;
    std::string why;
    const std::string program = platform::ProgramDirectory() + "/Wizard";
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

int RunDemo(const std::vector<std::string>& words) {
    cli::Args args(words, {"--model", "--rate", "--size"},
                   {"--keep", "--list", "--quiet", "--gui"});
    const bool gui = args.Flag("--gui");
    unsigned long rate = args.Number("--rate", gui ? kGuiRate : 0);
    unsigned long size = args.Number("--size", 0);
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli demo: "
                  << (args.ok() ? "unexpected argument " + args.Positional()[0] : args.error())
                  << "\nUsage: wizard-cli demo " << kUsage << "\n";
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
    const std::string dir = platform::MakeTemporaryDirectory("wizard-demo");
    if (dir.empty()) {
        std::cerr << "wizard-cli demo: cannot create a directory in " << platform::TempDirectory()
                  << "\n";
        return 1;
    }
    std::string firmwarePath, why;
    if (!cli::WriteDemoFiles(*model, dir,
                             size != 0 ? static_cast<std::uint32_t>(size) : model->imageKilobytes,
                             &firmwarePath, &why)) {
        std::cerr << "wizard-cli demo: " << why << "\n";
        platform::RemoveTree(dir);
        return 1;
    }

    std::vector<std::string> simulator = {platform::ProgramDirectory() + "/modemsim",
                                          "--model",
                                          model->name,
                                          "--version",
                                          "1.00",
                                          "--received-dir",
                                          dir + "/received",
                                          "--log",
                                          dir + "/modemsim.log"};
    simulator.insert(simulator.end(), model->simulatorOptions.begin(),
                     model->simulatorOptions.end());
    const std::string storeDir = dir + "/store";
    std::map<std::string, std::string> storedBefore;
    if (model->fileStore) {
        simulator.insert(simulator.end(), {"--store", storeDir});
        storedBefore = cli::DemoStoreContents(storeDir);
    }
    if (rate != 0) {
        simulator.insert(simulator.end(), {"--rate", std::to_string(rate)});
    }
    auto sim = std::make_unique<platform::Process>();
    std::string port;
    if (!sim->Start(simulator, {}, platform::ProcessOutput::kCapture, &why) ||
        !sim->ReadLine(&port, kSimulatorStartMs)) {
        std::cerr << "wizard-cli demo: the modem simulator did not start: " << why << sim->Stderr()
                  << "\n";
        platform::RemoveTree(dir);
        return 1;
    }
    std::cout << "A simulated \"" << model->name << "\" modem (" << model->description << ") is on "
              << port << ".\nIts Wizard.inf and firmware are in " << dir << ".\n\n"
              << std::flush;

    int code = 1;
    if (gui) {
        std::cout << "The wizard opens in a window of its own; click your way through it.\n"
                  << std::flush;
        code = RunWizardGui(dir + "/Wizard.inf", port);
    } else {
        cli::UpdateOptions options;
        if (!LocateConfigFile(dir + "/Wizard.inf", &options.config, &why)) {
            std::cerr << "wizard-cli demo: " << why << "\n";
            return 1;
        }
        options.port = port;
        options.model = model->name;
        options.yes = true;
        options.quiet = args.Flag("--quiet");
        code = cli::RunUpdateFlow(options);
    }

    const std::string received =
        cli::ReadWholeFile(dir + "/received/" + cli::ReceivedFirmwareName(*model));
    if (code == 0 && gui && received.empty()) {
        // Cancel is a way to leave the wizard too.
        std::cout << "The wizard was closed before the update.\n";
    } else if (code == 0) {
        bool intact = ArrivedIntact(cli::ReadWholeFile(firmwarePath), received);
        std::cout << (intact ? "The simulated modem received the firmware byte for byte.\n"
                             : "The simulated modem did NOT receive the firmware intact.\n");
        if (model->fileStore) {
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
        if (!model->intelHex && serial.Open() &&
            IdentifyModem(&serial, nullptr, nullptr, &ati3, nullptr)) {
            CleanAnswer("", ati3, &text);
            std::cout << "It now reports: " << text << "\n";
        }
        code = intact ? 0 : 1;
    }
    sim->Stop();
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

Exit status 0 when the simulated modem received the firmware byte for byte
(and its stored files came back intact); 1 otherwise.

    wizard-cli demo
    wizard-cli demo --model "ORVA 56K Voice" --rate 11520
)";

}  // namespace

REGISTER_CLI_COMMAND("demo", kUsage, "update the firmware of a simulated modem from start to end",
                     &RunDemo, kHelp);

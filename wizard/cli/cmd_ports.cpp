// wizard-cli ports: the ports the modem search would walk, in its order.
#include <algorithm>
#include <iostream>

#include "platform/serial_port.h"
#include "platform/serial_ports.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/json_events.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/port_list.h"

namespace {

struct PortLine {
    std::string name;
    std::string description;  // the whole text of the line after the name
    std::string device;       // what opening the name opens
    std::string known;        // the system's description of the device
    std::string stableName;   // a name that outlives re-plugging
    bool fixed = false;       // from the fixed list COM1..COM9
};

void EmitLines(const std::vector<PortLine>& lines) {
    for (const PortLine& line : lines) {
        cli::Emit(cli::Event("port", line.name)
                      .String("source", line.fixed ? "fixed-list" : "system")
                      .String("device", line.device)
                      .StringOrNull("description", line.known)
                      .StringOrNull("stable-name", line.stableName));
    }
}

void PrintLines(const std::vector<PortLine>& lines) {
    std::size_t width = 0;
    for (const PortLine& line : lines) {
        width = std::max(width, line.name.size());
    }
    for (const PortLine& line : lines) {
        std::cout << line.name;
        if (!line.description.empty()) {
            std::cout << std::string(width + 2 - line.name.size(), ' ') << line.description;
        }
        std::cout << "\n";
    }
}

int RunPorts(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config"}, {"--json"});
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli ports: " << (args.ok() ? "unexpected arguments" : args.error())
                  << "\nUsage: wizard-cli ports [--config FILE] [--json]\n";
        return 2;
    }
    const bool json = args.Flag("--json");
    auto fail = [json](const std::string& why) {
        if (json) {
            cli::EmitResult("", 1, why);
        } else {
            std::cerr << "wizard-cli ports: " << why << "\n";
        }
        return 1;
    };
    ConfigLocation location;
    if (!cli::LocateConfigOrReport(args, "ports", &location)) {
        return 1;
    }
    IniFile ini = IniFile::Read(location.iniPath);
    // Without a Wizard.inf the wizard discovers the ports; only a file the
    // user named must be there.
    if (ini.status() != IniFile::Status::kRead &&
        (args.Value("--config") || ini.status() != IniFile::Status::kMissing)) {
        return fail("cannot read " + location.iniPath + ": " + ini.StatusText());
    }

    std::vector<PortLine> lines;
    if (UsesFixedPortList(ini)) {
        for (const std::string& name : FixedPortList().Entries()) {
            const std::string device = platform::DevicePathForPortName(name);
            lines.push_back(
                {name,
                 "fixed list (ComList=" + std::string(kFixedPortListSetting) + "), opens " + device,
                 device, "", "", true});
        }
    } else {
        std::vector<platform::SerialPortInfo> found;
        std::string error;
        if (!platform::EnumerateSerialPorts(&found, &error)) {
            return fail("cannot list the serial ports: " + error);
        }
        std::vector<std::string> names;
        for (const platform::SerialPortInfo& port : found) {
            names.push_back(port.name);
        }
        std::vector<std::string> dropped;
        PortList ports = DiscoveredPortList(names, &dropped);
        for (const std::string& name : ports.Entries()) {
            auto info = std::find_if(found.begin(), found.end(), [&](const auto& port) {
                return EqualsNoCase(port.name, name);
            });
            std::string description = info->description;
            if (!info->stableName.empty()) {
                description += (description.empty() ? "" : ", ") + info->stableName;
            }
            lines.push_back({name, description, platform::DevicePathForPortName(name),
                             info->description, info->stableName, false});
        }
        for (const std::string& name : dropped) {
            const std::string warning = name + " is left out: the port list holds only " +
                                        std::to_string(PORT_LIST_SIZE) + " bytes";
            if (json) {
                cli::Emit(cli::Event("warning", name).String("text", warning));
            } else {
                std::cerr << "wizard-cli ports: warning: " << warning << "\n";
            }
        }
    }
    if (json) {
        EmitLines(lines);
        cli::Emit(cli::Event("result", "")
                      .Number("exit-code", 0)
                      .Number("ports", static_cast<long long>(lines.size())));
        return 0;
    }
    if (lines.empty()) {
        std::cerr << "wizard-cli ports: no serial ports found\n";
    }
    PrintLines(lines);
    return 0;
}

constexpr const char* kHelp =
    R"(Lists the serial ports the modem search walks, in its order, with what is
known of each: the maker, product and ids (vendor:product) of a USB
adapter or the chip of a built-in UART, and the stable name below
`/dev/serial/by-id/`. With `ComList=OpenComOneToNine` in `Wizard.inf` they
are `COM1` to `COM9`, the first nine UARTs.

- `--config FILE`: The `Wizard.inf` to read instead of the one beside the
  program.
- `--json`: One JSON event per port (`source`, `device`, `description`,
  `stable-name`), then a `result` (docs/json-events.md).

    wizard-cli ports
)";

}  // namespace

REGISTER_CLI_COMMAND("ports", "[--config FILE] [--json]",
                     "list the ports the modem search walks, with what is known of each", &RunPorts,
                     kHelp);

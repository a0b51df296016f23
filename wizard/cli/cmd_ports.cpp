// wizard-cli ports: the ports the modem search would walk, in its order.
#include <algorithm>
#include <iostream>

#include "platform/serial_port.h"
#include "platform/serial_ports.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/port_list.h"

namespace {

struct PortLine {
    std::string name;
    std::string description;
};

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
    cli::Args args(words, {"--config"}, {});
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli ports: " << (args.ok() ? "unexpected arguments" : args.error())
                  << "\nUsage: wizard-cli ports [--config FILE]\n";
        return 2;
    }
    ConfigLocation location;
    if (!cli::LocateConfigOrReport(args, "ports", &location)) {
        return 1;
    }
    IniFile ini = IniFile::Read(location.iniPath);
    // Without a Wizard.inf the wizard discovers the ports; only a file the
    // user named must be there.
    if (ini.status() != IniFile::Status::kRead &&
        (args.Value("--config") || ini.status() != IniFile::Status::kMissing)) {
        std::cerr << "wizard-cli ports: cannot read " << location.iniPath << ": "
                  << ini.StatusText() << "\n";
        return 1;
    }

    std::vector<PortLine> lines;
    if (UsesFixedPortList(ini)) {
        for (const std::string& name : FixedPortList().Entries()) {
            lines.push_back({name, "fixed list (ComList=" + std::string(kFixedPortListSetting) +
                                       "), opens " + platform::DevicePathForPortName(name)});
        }
    } else {
        std::vector<platform::SerialPortInfo> found;
        std::string error;
        if (!platform::EnumerateSerialPorts(&found, &error)) {
            std::cerr << "wizard-cli ports: cannot list the serial ports: " << error << "\n";
            return 1;
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
            lines.push_back({name, description});
        }
        for (const std::string& name : dropped) {
            std::cerr << "wizard-cli ports: warning: " << name << " is left out: the port list "
                      << "holds only " << PORT_LIST_SIZE << " bytes\n";
        }
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

    wizard-cli ports
)";

}  // namespace

REGISTER_CLI_COMMAND("ports", "[--config FILE]",
                     "list the ports the modem search walks, with what is known of each", &RunPorts,
                     kHelp);

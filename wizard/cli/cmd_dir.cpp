// wizard-cli dir: the listing of the modem's file store, one line per file
// as the modem sends it (name,field1,attributes,...,size).
#include <iostream>
#include <list>

#include "serial/serial.h"
#include "transfer/modem_dir.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/port_access.h"

namespace {

// A listing line's fields, split at every comma and kept as they are.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? comma : comma - start));
        if (comma == std::string::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

int RunDir(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {"--json"});
    if (!args.ok() || !args.Value("--port") || !args.Positional().empty()) {
        std::cerr << "wizard-cli dir: " << (args.ok() ? "expected --port DEV" : args.error())
                  << "\nUsage: wizard-cli dir --port DEV [--json]\n";
        return 2;
    }
    const bool json = args.Flag("--json");
    const std::string name = *args.Value("--port");
    CSerial port;
    port.SetPortName(name);
    std::list<std::string> listing;
    if (GetModemDir(&port, &listing) < 0) {
        cli::PortFailure failure;
        const bool refused = cli::PortRefused(port, name, &failure);
        if (!refused) {
            failure.reason = "the modem on " + name + " did not answer AT$JDIR with OK";
        }
        if (json) {
            cli::EmitResult(name, 1, failure.reason, failure.hint);
        } else {
            cli::PrintFailure(refused ? "wizard-cli: " : "wizard-cli dir: ", failure);
        }
        return 1;
    }
    long long files = 0;
    for (const std::string& line : listing) {
        std::string text = cli::Printable(line);
        if (text.empty()) {
            continue;
        }
        ++files;
        if (json) {
            cli::Emit(
                cli::Event("file", name).String("line", text).Strings("fields", Fields(text)));
        } else {
            std::cout << text << "\n";
        }
    }
    if (json) {
        cli::Emit(cli::Event("result", name).Number("exit-code", 0).Number("files", files));
    }
    return 0;
}

constexpr const char* kHelp =
    R"(Lists the files in the modem's file store with `AT$JDIR`, one line per
file as the modem sends it: name, first field, attributes, two further
fields and the size.

- `--port DEV`: The modem's port.
- `--json`: One JSON event per file (`line`, `fields`), then a `result`
  (docs/json-events.md).

    wizard-cli dir --port /dev/ttyUSB0
)";

}  // namespace

REGISTER_CLI_COMMAND("dir", "--port DEV [--json]", "list the files in the modem's file store",
                     &RunDir, kHelp);

// wizard-cli dir: the listing of the modem's file store, one line per file
// as the modem sends it (name,field1,attributes,...,size).
#include <iostream>
#include <list>

#include "serial/serial.h"
#include "transfer/modem_dir.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/port_access.h"

namespace {

int RunDir(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {});
    if (!args.ok() || !args.Value("--port") || !args.Positional().empty()) {
        std::cerr << "wizard-cli dir: " << (args.ok() ? "expected --port DEV" : args.error())
                  << "\nUsage: wizard-cli dir --port DEV\n";
        return 2;
    }
    const std::string name = *args.Value("--port");
    CSerial port;
    port.SetPortName(name);
    std::list<std::string> listing;
    if (GetModemDir(&port, &listing) < 0) {
        if (!cli::ReportPortFailure(port, name)) {
            std::cerr << "wizard-cli dir: the modem on " << name
                      << " did not answer AT$JDIR with OK\n";
        }
        return 1;
    }
    for (const std::string& line : listing) {
        std::string text = cli::Printable(line);
        if (!text.empty()) {
            std::cout << text << "\n";
        }
    }
    return 0;
}

constexpr const char* kHelp =
    R"(Lists the files in the modem's file store with `AT$JDIR`, one line per
file as the modem sends it: name, first field, attributes, two further
fields and the size.

- `--port DEV`: The modem's port.

    wizard-cli dir --port /dev/ttyUSB0
)";

}  // namespace

REGISTER_CLI_COMMAND("dir", "--port DEV", "list the files in the modem's file store", &RunDir,
                     kHelp);

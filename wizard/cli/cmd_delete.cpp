// wizard-cli delete: a file of the modem's file store.
#include <iostream>

#include "serial/serial.h"
#include "transfer/modem_delete.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/transfer_report.h"

namespace {

int RunDelete(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {});
    if (!args.ok() || !args.Value("--port") || args.Positional().size() != 1) {
        std::cerr << "wizard-cli delete: "
                  << (args.ok() ? "expected --port DEV and one NAME" : args.error())
                  << "\nUsage: wizard-cli delete --port DEV NAME\n";
        return 2;
    }
    const std::string portName = *args.Value("--port");
    const std::string& name = args.Positional()[0];
    CSerial port;
    port.SetPortName(portName);
    switch (RequestModemFileDelete(&port, name)) {
        case DeleteResult::Deleted:
            return 0;
        case DeleteResult::Refused:
            std::cerr << "wizard-cli delete: " << cli::RefusedNameMessage(name) << "\n";
            return 1;
        case DeleteResult::PortNotOpened:
            cli::ReportPortFailure(port, portName);
            return 1;
        case DeleteResult::NotConfirmed:
            break;
    }
    std::cerr << "wizard-cli delete: the modem did not confirm deleting " << name << "\n";
    return 1;
}

constexpr const char* kHelp = R"(Deletes the stored file *NAME* with `AT$JDEL`.

- `--port DEV`: The modem's port.
- `NAME`: The file's name in the modem's file store, as `dir` lists it.

Exit status 1 also when the modem does not confirm the deletion.

    wizard-cli delete --port /dev/ttyUSB0 greeting.wav
)";

}  // namespace

REGISTER_CLI_COMMAND("delete", "--port DEV NAME", "delete a file from the modem's file store",
                     &RunDelete, kHelp);

// wizard-cli upload: a local file into the modem's file store. The three
// AT$JUPL parameters after the name default to "1" and two empty ones
// (no attributes): AT$JUPL="NAME",1,,
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "serial/serial.h"
#include "transfer/file_transfer.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/console_progress.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/transfer_report.h"

namespace {

constexpr const char* kUsage = "--port DEV [--delete-first] [--quiet] FILE NAME [P2 [P3 [P4]]]";

int RunUpload(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {"--delete-first", "--quiet"});
    const std::size_t count = args.Positional().size();
    if (!args.ok() || !args.Value("--port") || count < 2 || count > 5) {
        std::cerr << "wizard-cli upload: "
                  << (args.ok() ? "expected --port DEV, FILE, NAME and at most three parameters"
                                : args.error())
                  << "\nUsage: wizard-cli upload " << kUsage
                  << "\nP2 to P4 are the further AT$JUPL parameters (default: 1, empty, empty).\n";
        return 2;
    }
    const std::string portName = *args.Value("--port");
    const std::vector<std::string>& positional = args.Positional();
    const std::string& path = positional[0];
    const std::string& name = positional[1];
    std::string params[3] = {"1", "", ""};
    for (std::size_t i = 2; i < count; ++i) {
        params[i - 2] = positional[i];
    }
    // Fail before the modem is touched when the file cannot be read.
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        std::cerr << "wizard-cli upload: cannot open " << path << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    CSerial port;
    port.SetPortName(portName);
    CXModemTransfer transfer;
    transfer.Attach(&port, nullptr, nullptr);
    cli::ConsoleProgressViews views(args.Flag("--quiet"));
    transfer.SetViewFactory(&views);

    switch (transfer.UploadModemFile(path, name, params[0], params[1], params[2], "",
                                     args.Flag("--delete-first"))) {
        case TRANSFER_REFUSED:
            std::cerr << "wizard-cli upload: " << cli::RefusedNameMessage(name) << "\n";
            return 1;
        case TRANSFER_CANCELLED:
            std::cerr << "wizard-cli upload: the upload was cancelled; the partial " << name
                      << " was deleted from the modem\n";
            return 1;
        default:
            return cli::ReportTransferOutcome("upload", transfer.Job(), port, portName);
    }
}

constexpr const char* kHelp = R"(Stores the local *FILE* in the modem's file store as *NAME*:
`AT$JUPL="NAME",P2,P3,P4`, then XModem. The progress goes to standard
error; Ctrl-C cancels the transfer, and the partial file is deleted from
the modem.

- `--port DEV`: The modem's port.
- `--delete-first`: Delete a stored file of that name first (`AT$JDEL`).
- `--quiet`: No progress on standard error.
- `FILE`: The local file to send.
- `NAME`: The name to store it under.
- `P2 [P3 [P4]]`: The further `AT$JUPL` parameters, passed on unchanged
  (default: `1` and two empty parameters, no attributes).

    wizard-cli upload --port /dev/ttyUSB0 settings.cfg settings.cfg
)";

}  // namespace

REGISTER_CLI_COMMAND("upload", kUsage, "store a file from the computer in the modem's file store",
                     &RunUpload, kHelp);

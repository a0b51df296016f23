// wizard-cli download: a file of the modem's file store to a local file.
#include <iostream>

#include "serial/serial.h"
#include "transfer/file_transfer.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/console_progress.h"
#include "wizard/cli/port_access.h"
#include "wizard/cli/transfer_report.h"

namespace {

constexpr const char* kUsage = "--port DEV [--quiet] NAME FILE";

int RunDownload(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {"--quiet"});
    if (!args.ok() || !args.Value("--port") || args.Positional().size() != 2) {
        std::cerr << "wizard-cli download: "
                  << (args.ok() ? "expected --port DEV, NAME and FILE" : args.error())
                  << "\nUsage: wizard-cli download " << kUsage << "\n";
        return 2;
    }
    const std::string portName = *args.Value("--port");
    const std::string& name = args.Positional()[0];
    const std::string& path = args.Positional()[1];
    CSerial port;
    port.SetPortName(portName);
    CXModemTransfer transfer;
    transfer.Attach(&port, nullptr, nullptr);
    cli::ConsoleProgressViews views(args.Flag("--quiet"));
    transfer.SetViewFactory(&views);

    switch (transfer.DownloadModemFile(name, path, "")) {
        case TRANSFER_REFUSED:
            std::cerr << "wizard-cli download: " << cli::RefusedNameMessage(name) << "\n";
            return 1;
        case TRANSFER_NOT_FOUND:
            if (!cli::ReportPortFailure(port, portName)) {
                std::cerr << "wizard-cli download: " << name
                          << " is not in the modem's file store (or the modem gave no listing)\n";
            }
            return 1;
        case TRANSFER_CANCELLED:
            std::cerr << "wizard-cli download: the download was cancelled; " << path
                      << " holds the part received\n";
            return 1;
        default:
            return cli::ReportTransferOutcome("download", transfer.Job(), port, portName);
    }
}

}  // namespace

REGISTER_CLI_COMMAND("download", kUsage, "copy a file of the modem's file store to the computer",
                     &RunDownload);

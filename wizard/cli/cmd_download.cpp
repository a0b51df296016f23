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
            // The receiver also ends as cancelled when the modem sends CAN
            // or too many bad blocks.
            std::cerr << "wizard-cli download: "
                      << (cli::TransferInterrupted()
                              ? "the download was cancelled"
                              : "the transfer was given up (cancelled by the modem, or too "
                                "many bad blocks)")
                      << "; " << path << " holds the part received\n";
            return 1;
        default:
            return cli::ReportTransferOutcome("download", transfer.Job(), port, portName);
    }
}

constexpr const char* kHelp = R"(Copies the stored file *NAME* to the local *FILE*: `AT$JDNL`, then
XModem. The progress goes to standard error; Ctrl-C cancels the transfer
cleanly. The received file keeps the XModem padding (bytes 0x1A) up to the
end of its last block.

- `--port DEV`: The modem's port.
- `--quiet`: No progress on standard error.
- `NAME`: The file's name in the modem's file store.
- `FILE`: The local file to write.

After a failure *FILE* holds the part received.

    wizard-cli download --port /dev/ttyUSB0 settings.cfg settings.cfg
)";

}  // namespace

REGISTER_CLI_COMMAND("download", kUsage, "copy a file of the modem's file store to the computer",
                     &RunDownload, kHelp);

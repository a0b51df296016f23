// wizard-cli xmodem-send: one file with the XModem sender, on a line whose
// receiver is already waiting.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "serial/serial.h"
#include "transfer/file_transfer.h"
#include "transfer/local_file.h"
#include "transfer/shared_access.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/console_progress.h"
#include "wizard/cli/port_access.h"

namespace {

constexpr const char* kUsage = "--port DEV [--1k] [--quiet] FILE";

int RunXModemSend(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {"--1k", "--quiet"});
    if (!args.ok() || !args.Value("--port") || args.Positional().size() != 1) {
        std::cerr << "wizard-cli xmodem-send: "
                  << (args.ok() ? "expected --port DEV and one FILE" : args.error())
                  << "\nUsage: wizard-cli xmodem-send " << kUsage << "\n";
        return 2;
    }
    const std::string path = args.Positional()[0];
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        std::cerr << "wizard-cli xmodem-send: cannot open " << path << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    CSerial port;
    if (!cli::OpenPortOrReport(port, *args.Value("--port"))) {
        std::fclose(file);
        return 1;
    }
    CXModemTransfer transfer;
    transfer.Attach(&port, nullptr, nullptr);
    TransferJob job;
    job.upload = true;
    job.text = "Sending " + path;
    job.totalBytes = static_cast<std::int32_t>(GetLocalFileSize(path));
    const bool allow1K = args.Flag("--1k");
    bool sent = false;
    cli::ConsoleProgressView view(args.Flag("--quiet"));
    RunTransferDialog(job, &view, [&](TransferJob* running) {
        sent = transfer.XModemUpload(file, &running->doneBytes, allow1K, running->CancelByte());
        StoreShared(&running->finished, true);
    });
    std::fclose(file);
    if (sent) {
        return 0;
    }
    std::cerr << "wizard-cli xmodem-send: "
              << (job.cancelled ? "the transfer was cancelled"
                                : "the receiver did not take " + path + " completely")
              << "\n";
    return 1;
}

constexpr const char* kHelp = R"(Sends one file with XModem (checksum variant) to a receiver that is
already waiting and asking with NAK.

- `--port DEV`: The port of the receiver.
- `--1k`: Send 1024-byte blocks where the receiver takes them (falling
  back to 128 bytes).
- `--quiet`: No progress on standard error.
- `FILE`: The file to send.
)";

}  // namespace

REGISTER_CLI_COMMAND("xmodem-send", kUsage,
                     "send a file with XModem to a receiver that is already waiting",
                     &RunXModemSend, kHelp);

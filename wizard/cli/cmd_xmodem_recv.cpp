// wizard-cli xmodem-recv: one file with the XModem receiver, from a line
// whose sender is already waiting for the start NAK.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "serial/serial.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/console_progress.h"
#include "wizard/cli/port_access.h"

namespace {

constexpr const char* kUsage = "--port DEV [--size N] [--quiet] FILE";

int RunXModemRecv(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port", "--size"}, {"--quiet"});
    const unsigned long size = args.Number("--size", 0);
    if (args.ok() && size > static_cast<unsigned long>(INT32_MAX)) {
        std::cerr << "wizard-cli xmodem-recv: --size is too large\n";
        return 2;
    }
    if (!args.ok() || !args.Value("--port") || args.Positional().size() != 1) {
        std::cerr << "wizard-cli xmodem-recv: "
                  << (args.ok() ? "expected --port DEV and one FILE" : args.error())
                  << "\nUsage: wizard-cli xmodem-recv " << kUsage << "\n";
        return 2;
    }
    const std::string path = args.Positional()[0];
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::cerr << "wizard-cli xmodem-recv: cannot create " << path << ": "
                  << std::strerror(errno) << "\n";
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
    job.upload = false;
    job.text = "Receiving " + path;
    // Without a size the console counts bytes instead of drawing a bar.
    job.totalBytes = static_cast<std::int32_t>(size);
    const int expected = size != 0 ? static_cast<int>(size) : INT32_MAX;
    bool received = false;
    cli::ConsoleProgressView view(args.Flag("--quiet"));
    RunTransferDialog(job, &view, [&](TransferJob* running) {
        received =
            transfer.XModemDownload(file, &running->doneBytes, expected, running->CancelByte());
        StoreShared(&running->finished, true);
    });
    const bool closed = std::fclose(file) == 0;
    if (received && closed) {
        return 0;
    }
    std::cerr << "wizard-cli xmodem-recv: ";
    if (received) {
        std::cerr << "cannot write " << path << "\n";
    } else if (cli::TransferInterrupted()) {
        std::cerr << "the transfer was cancelled; " << path << " holds the part received\n";
    } else {
        std::cerr << "no complete file came from the sender; " << path
                  << " holds the part received\n";
    }
    return 1;
}

constexpr const char* kHelp =
    R"(Receives one file with XModem (checksum variant, 128- and 1024-byte blocks)
from a sender that is already waiting for the receiver's first NAK.

- `--port DEV`: The port of the sender.
- `--size N`: The size of the file in bytes, for the progress bar
  (without it the bytes are counted).
- `--quiet`: No progress on standard error.
- `FILE`: The local file to write; after a failure it holds the part
  received.
)";

}  // namespace

REGISTER_CLI_COMMAND("xmodem-recv", kUsage,
                     "receive a file with XModem from a sender that is already waiting",
                     &RunXModemRecv, kHelp);

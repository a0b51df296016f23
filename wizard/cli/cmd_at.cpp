// wizard-cli at: one AT command through the request engine.
#include <iostream>

#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/port_access.h"

namespace {

constexpr unsigned long kDefaultTimeoutMs = 2000;

int RunAt(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port", "--timeout"}, {"--ignore-echo"});
    unsigned long timeout = args.Number("--timeout", kDefaultTimeoutMs);
    if (!args.ok() || !args.Value("--port") || args.Positional().size() != 1) {
        std::cerr << "wizard-cli at: "
                  << (args.ok() ? "expected --port DEV and one COMMAND" : args.error())
                  << "\nUsage: wizard-cli at --port DEV [--ignore-echo] [--timeout MS] COMMAND\n";
        return 2;
    }
    CSerial port;
    if (!cli::OpenPortOrReport(port, *args.Value("--port"))) {
        return 1;
    }
    std::string answer;
    unsigned flags = args.Flag("--ignore-echo") ? unsigned{REQUEST_IGNORE_ECHO} : 0u;
    bool ok =
        port.Request(args.Positional()[0], &answer, flags, nullptr, static_cast<DWORD>(timeout), 0);
    std::string text = cli::Printable(answer);
    if (!text.empty()) {
        std::cout << text << "\n";
    }
    if (!ok) {
        std::cerr << "wizard-cli at: " << args.Positional()[0] << " did not end with OK"
                  << (answer.empty() ? " (no answer)" : "") << "\n";
    }
    return ok ? 0 : 1;
}

constexpr const char* kHelp =
    R"(Opens the port, sends *COMMAND* (a carriage return is added) with the
AT command engine of the update and prints the modem's answer without its
carriage returns. The echo of the command is checked unless
`--ignore-echo` is given.

- `--port DEV`: The modem's port: a device path (`/dev/ttyUSB0`,
  `/dev/serial/by-id/...`) or `COM1` to `COM9`.
- `--ignore-echo`: Do not expect the modem to echo the command (a modem
  set to `ATE0`).
- `--timeout MS`: How long to wait for the answer, in milliseconds
  (default 2000).
- `COMMAND`: The AT command, for example `ATI3`.

Exit status 1 also when the answer does not end with OK.

    wizard-cli at --port /dev/ttyUSB0 ATI3
)";

}  // namespace

REGISTER_CLI_COMMAND("at", "--port DEV [--ignore-echo] [--timeout MS] COMMAND",
                     "send one AT command and print the modem's answer", &RunAt, kHelp);

// wizard-cli identify: model name, ATI3 and ATI5 of the modem on a port.
#include <iostream>

#include "serial/answer_text.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/port_access.h"

namespace {

// An information page as text: the answer without its OK, line ends as LF.
std::string PageText(const std::string& answer) {
    std::string text;
    CleanAnswer("", answer, &text);
    return cli::Printable(text);
}

void PrintBlock(const char* label, const std::string& answer) {
    std::cout << label;
    for (char c : PageText(answer)) {
        std::cout << c;
        if (c == '\n') {
            std::cout << "       ";
        }
    }
    std::cout << "\n";
}

int RunIdentify(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {"--json"});
    if (!args.ok() || !args.Value("--port") || !args.Positional().empty()) {
        std::cerr << "wizard-cli identify: " << (args.ok() ? "expected --port DEV" : args.error())
                  << "\nUsage: wizard-cli identify --port DEV [--json]\n";
        return 2;
    }
    const bool json = args.Flag("--json");
    const std::string name = *args.Value("--port");
    CSerial port;
    cli::PortFailure failure;
    std::string model, ati3, ati5;
    if (!cli::OpenPort(port, name, &failure)) {
        if (json) {
            cli::EmitResult(name, 1, failure.reason, failure.hint);
        } else {
            cli::PrintFailure("wizard-cli: ", failure);
        }
        return 1;
    }
    if (!IdentifyModem(&port, nullptr, &model, &ati3, &ati5)) {
        const std::string why = "no modem answered on " + port.PortName();
        if (json) {
            cli::EmitResult(name, 1, why);
        } else {
            std::cerr << "wizard-cli identify: " << why << "\n";
        }
        return 1;
    }
    if (json) {
        cli::Emit(cli::Event("modem", name)
                      .String("model", model)
                      .String("ati3", PageText(ati3))
                      .String("ati5", PageText(ati5)));
        cli::EmitResult(name, 0);
        return 0;
    }
    std::cout << "Port:  " << port.PortName() << "\n"
              << "Model: " << model << "\n";
    PrintBlock("ATI3:  ", ati3);
    PrintBlock("ATI5:  ", ati5);
    return 0;
}

constexpr const char* kHelp =
    R"(Opens the port, identifies the modem the way the search does (`AT&F`, then
`AT+GMM`) and prints its port, model name and the answers to `ATI3` and
`ATI5`.

- `--port DEV`: The modem's port.
- `--json`: One JSON event for the modem (`model`, `ati3`, `ati5`), then a
  `result` (docs/json-events.md).

Exit status 1 also when no modem answers.

    wizard-cli identify --port /dev/ttyUSB0
)";

}  // namespace

REGISTER_CLI_COMMAND("identify", "--port DEV [--json]",
                     "identify the modem on a port (model, ATI3, ATI5)", &RunIdentify, kHelp);

// wizard-cli identify: model name, ATI3 and ATI5 of the modem on a port.
#include <iostream>

#include "serial/answer_text.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/port_access.h"

namespace {

void PrintBlock(const char* label, const std::string& answer) {
    std::string text;
    CleanAnswer("", answer, &text);
    text = cli::Printable(text);
    std::cout << label;
    for (char c : text) {
        std::cout << c;
        if (c == '\n') {
            std::cout << "       ";
        }
    }
    std::cout << "\n";
}

int RunIdentify(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port"}, {});
    if (!args.ok() || !args.Value("--port") || !args.Positional().empty()) {
        std::cerr << "wizard-cli identify: " << (args.ok() ? "expected --port DEV" : args.error())
                  << "\nUsage: wizard-cli identify --port DEV\n";
        return 2;
    }
    CSerial port;
    if (!cli::OpenPortOrReport(port, *args.Value("--port"))) {
        return 1;
    }
    std::string model, ati3, ati5;
    if (!IdentifyModem(&port, nullptr, &model, &ati3, &ati5)) {
        std::cerr << "wizard-cli identify: no modem answered on " << port.PortName() << "\n";
        return 1;
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

Exit status 1 also when no modem answers.

    wizard-cli identify --port /dev/ttyUSB0
)";

}  // namespace

REGISTER_CLI_COMMAND("identify", "--port DEV", "identify the modem on a port (model, ATI3, ATI5)",
                     &RunIdentify, kHelp);

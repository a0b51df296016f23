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
    std::string why = cli::OpenPort(port, name);
    const char* who = "wizard-cli";  // a port that does not open is no fault of the command
    std::string model, ati3, ati5;
    if (why.empty() && !IdentifyModem(&port, nullptr, &model, &ati3, &ati5)) {
        why = "no modem answered on " + port.PortName();
        who = "wizard-cli identify";
    }
    if (!why.empty()) {
        if (json) {
            cli::EmitResult(name, 1, why);
        } else {
            std::cerr << who << ": " << why << "\n";
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

}  // namespace

REGISTER_CLI_COMMAND("identify", "--port DEV [--json]",
                     "identify the modem on a port (model, ATI3, ATI5)", &RunIdentify);

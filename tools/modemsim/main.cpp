// modemsim: a pretend modem on a pseudo-terminal, for tests and demos.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/pty.h"
#include "platform/stop_signal.h"
#include "tools/modemsim/event_log.h"
#include "tools/modemsim/line.h"
#include "tools/modemsim/modem.h"
#include "tools/modemsim/options.h"
#include "tools/modemsim/pty_endpoint.h"

int main(int argc, char** argv) {
    modemsim::Options options;
    std::string error;
    if (!modemsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &options,
                                &error)) {
        std::cerr << "modemsim: " << error << "\nTry 'modemsim --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << modemsim::UsageText();
        return 0;
    }
    if (!platform::InstallStopSignals()) {
        std::cerr << "modemsim: cannot install signal handlers\n";
        return 1;
    }

    modemsim::EventLog log;
    if (!options.log.empty() && !log.Open(options.log, &error)) {
        std::cerr << "modemsim: " << error << "\n";
        return 1;
    }

    auto pty = std::make_unique<platform::PseudoTerminal>();
    const unsigned startBaud = options.atBaud != 0 ? options.atBaud : 115200;
    if (!pty->Open(startBaud, &error)) {
        std::cerr << "modemsim: cannot create a pseudo-terminal: " << error << "\n";
        return 1;
    }
    if (!options.link.empty() && !pty->LinkAt(options.link, &error)) {
        std::cerr << "modemsim: " << error << "\n";
        return 1;
    }

    modemsim::PtyEndpoint endpoint(std::move(pty), options.link, startBaud);
    modemsim::Line line(endpoint, log, options.rate, options.usbLatencyMs);
    modemsim::Modem modem(options, log, line);
    if (!modem.Prepare(&error)) {
        std::cerr << "modemsim: " << error << "\n";
        return 1;
    }

    // The first line of output is the device: whoever started us waits for it.
    std::fputs((endpoint.Path() + "\n").c_str(), stdout);
    std::fflush(stdout);

    modem.Run();
    endpoint.Close();
    return 0;
}

#include "tools/modemsim/modem.h"

#include <filesystem>
#include <system_error>

namespace modemsim {

Modem::Modem(const Options& options, EventLog& log, Line& line)
    : context_(options, log, line), flash_(context_), at_(context_, flash_), boot_(context_) {}

bool Modem::Prepare(std::string* error) {
    if (context_.store && !context_.store->Prepare(error)) {
        return false;
    }
    const std::string& dir = context_.options.receivedDir;
    if (!dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (!std::filesystem::is_directory(dir, ec)) {
            *error = "received-files directory " + dir + " is not a directory";
            return false;
        }
    }
    return true;
}

void Modem::Run() {
    const Options& options = context_.options;
    Mode mode = Mode::kAt;
    if (options.startInLoader) {
        mode = Mode::kBootLoader;
    } else if (options.noAt) {
        mode = Mode::kNoInterpreter;
    }
    while (mode != Mode::kStop && !context_.line.Stopped()) {
        switch (mode) {
            case Mode::kAt:
                mode = at_.Run();
                break;
            case Mode::kBootLoader:
                mode = boot_.Run();
                break;
            case Mode::kFlashLoader:
                mode = flash_.Run();
                break;
            case Mode::kNoInterpreter:
                mode = WaitForPowerCycle(context_);
                break;
            case Mode::kStop:
                break;
        }
    }
    context_.log.FlushGarbled();
}

}  // namespace modemsim

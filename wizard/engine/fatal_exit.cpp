#include "wizard/engine/fatal_exit.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

void PrintToStandardError(const std::string& text) {
    std::fprintf(stderr, "%s\n", TerminalText(text).c_str());
    std::fflush(stderr);
}

std::atomic<FatalHandler> g_handler{&PrintToStandardError};
std::atomic<bool> g_exit{true};

}  // namespace

void SetFatalHandler(FatalHandler handler, bool exitAfterwards) {
    g_handler.store(handler != nullptr ? handler : &PrintToStandardError);
    g_exit.store(exitAfterwards);
}

void FatalExit(const std::string& text) {
    g_handler.load()(text);
    if (g_exit.load()) {
        std::exit(1);
    }
}

std::string TerminalText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

#include "wizard/engine/fatal_exit.h"

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "wizard/engine/text_format.h"
#include "wizard/resources/strings.h"

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
char g_fatalText[256];

}  // namespace

void SetFatalHandler(FatalHandler handler, bool exitAfterwards) {
    g_handler.store(handler != nullptr ? handler : &PrintToStandardError);
    g_exit.store(exitAfterwards);
}

void FatalExit(const std::string& text) {
    g_handler.load()(text);
    if (g_exit.load()) {
        // Called on the worker thread: other threads still run, so no
        // destructors of the program's objects may run under them.
        std::fflush(nullptr);
        std::_Exit(1);
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

void PostFatalText(HWND page, int textId) {
    CopyTextCut(g_fatalText, sizeof g_fatalText, wizard::LoadText(textId));
    PostMessage(page, WM_WIZ_FATAL, 0, TextParam(g_fatalText));
}

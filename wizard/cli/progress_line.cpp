#include "wizard/cli/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "platform/terminal.h"

namespace cli {
namespace {

constexpr int kBarWidth = 30;
// Off a terminal, a new line for every this many percent at most.
constexpr int kLogStepPercent = 10;

}  // namespace

std::string Bar(int percent, int width) {
    int filled = std::clamp(percent, 0, 100) * width / 100;
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(width - filled), '-') + "]";
}

ProgressLine::ProgressLine(bool quiet)
    : quiet_(quiet), terminal_(platform::StandardErrorIsTerminal()) {}

void ProgressLine::Show(const std::string& text, int percent) {
    if (quiet_) {
        return;
    }
    std::fflush(stdout);  // what was said before the bar comes first
    std::string line = percent >= 0 ? Bar(percent, kBarWidth) + " " + text : text;
    if (terminal_) {
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        open_ = true;
    } else if (text != lastText_ || percent / kLogStepPercent != lastPercent_ / kLogStepPercent) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
    lastText_ = text;
    lastPercent_ = percent;
}

void ProgressLine::Finish() {
    if (open_) {
        std::fprintf(stderr, "\n");
        std::fflush(stderr);
        open_ = false;
    }
    lastText_.clear();
    lastPercent_ = -2;
}

}  // namespace cli

#include "wizard/cli/modem_board.h"

#include <algorithm>
#include <cstdio>

#include "platform/terminal.h"
#include "wizard/cli/progress_line.h"
#include "wizard/cli/text_columns.h"
#include "wizard/engine/fatal_exit.h"

namespace cli {
namespace {

constexpr int kBarWidth = 20;
constexpr std::size_t kDefaultColumns = 80;
// Off a terminal, a new line for every this many percent at most.
constexpr int kLogStepPercent = 10;

std::string FirstLine(const std::string& text) {
    const std::string lines = TerminalText(text);
    return lines.substr(0, lines.find('\n'));
}

}  // namespace

std::string RowState(const ModemRow& row) {
    switch (row.phase) {
        case RowPhase::kWaiting:
            return "waiting";
        case RowPhase::kSearching:
        case RowPhase::kNoModem:
            return row.status.empty() ? "searching" : FirstLine(row.status);
        case RowPhase::kFound:
            return "found" + (row.oldVersion.empty() ? "" : ", firmware " + row.oldVersion);
        case RowPhase::kUpdating: {
            // The bar first: a narrow screen cuts the caption, not the bar.
            std::string state;
            if (row.percent >= 0) {
                const std::string percent = std::to_string(row.percent);
                state = Bar(row.percent, kBarWidth) + std::string(4 - percent.size(), ' ') +
                        percent + "%  ";
            }
            if (row.step < 0) {
                return state + "starting the update";
            }
            const std::size_t count = std::max<std::size_t>(row.steps.size(), row.step + 1);
            return state + "[" + std::to_string(row.step + 1) + "/" + std::to_string(count) + "] " +
                   FirstLine(row.stepText);
        }
        case RowPhase::kUpdated:
            return FirstLine(row.status);
        case RowPhase::kFailed:
            return "failed" + (row.error.empty() ? "" : ": " + FirstLine(row.error));
    }
    return {};
}

ModemBoard::ModemBoard(bool quiet)
    : quiet_(quiet), terminal_(platform::StandardErrorIsTerminal()) {}

void ModemBoard::Show(const std::vector<ModemRow>& rows) {
    if (quiet_) {
        return;
    }
    std::size_t portWidth = 0, modelWidth = 1;
    for (const ModemRow& row : rows) {
        portWidth = std::max(portWidth, Columns(row.port));
        modelWidth = std::max(modelWidth, Columns(row.model));
    }
    std::vector<std::string> lines;
    for (const ModemRow& row : rows) {
        lines.push_back(PadToColumns(row.port, portWidth) + "  " +
                        PadToColumns(row.model.empty() ? "-" : row.model, modelWidth) + "  " +
                        RowState(row));
    }
    if (terminal_) {
        const int columns = platform::StandardErrorColumns();
        const std::size_t width = columns > 1 ? static_cast<std::size_t>(columns) : kDefaultColumns;
        std::string screen;
        if (drawn_ > 0) {
            screen += "\033[" + std::to_string(drawn_) + "F";  // back to the first line
        }
        for (const std::string& line : lines) {
            screen += "\033[K" + CutToColumns(line, width - 1) + "\n";
        }
        if (screen == screen_) {
            return;  // nothing to redraw
        }
        std::fputs(screen.c_str(), stderr);
        screen_ = screen;
        drawn_ = lines.size();
    } else {
        logged_.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            // A bar moving by less than a step is no news in a log.
            ModemRow coarse = rows[i];
            coarse.percent =
                coarse.percent < 0 ? -1 : coarse.percent / kLogStepPercent * kLogStepPercent;
            const std::string key = coarse.port + "  " + RowState(coarse);
            if (key != logged_[i]) {
                std::fprintf(stderr, "%s\n", lines[i].c_str());
                logged_[i] = key;
            }
        }
    }
    std::fflush(stderr);
}

void ModemBoard::Finish() {
    drawn_ = 0;  // what is on the screen stays there
    screen_.clear();
}

}  // namespace cli

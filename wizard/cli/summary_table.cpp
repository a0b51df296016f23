#include "wizard/cli/summary_table.h"

#include <algorithm>
#include <cstdio>

#include "wizard/cli/text_columns.h"

namespace cli {
namespace {

bool Updates(const ModemRow& row) {
    return row.phase == RowPhase::kUpdated || row.phase == RowPhase::kFailed ||
           row.phase == RowPhase::kUpdating;
}

std::string OrDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string SecondsText(const ModemRow& row) {
    if (!Updates(row)) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", row.seconds);
    return text;
}

}  // namespace

const char* ResultToken(const ModemRow& row) {
    switch (row.phase) {
        case RowPhase::kUpdated:
            return "updated";
        case RowPhase::kFailed:
            return "failed";
        case RowPhase::kNoModem:
            return "no-modem";
        case RowPhase::kFound:
            return "not-updated";
        case RowPhase::kWaiting:
        case RowPhase::kSearching:
            return "not-searched";
        case RowPhase::kUpdating:
            return "unfinished";
    }
    return "unfinished";
}

std::string ResultWord(const ModemRow& row) {
    std::string word = ResultToken(row);
    if (word == "failed") {
        return "FAILED";  // the row to look at
    }
    std::replace(word.begin(), word.end(), '-', ' ');
    return word;
}

std::string SummaryTable(const std::vector<ModemRow>& rows) {
    std::vector<std::vector<std::string>> cells = {
        {"Port", "Model", "Old", "New", "Result", "Seconds"}};
    for (const ModemRow& row : rows) {
        cells.push_back({row.port, OrDash(row.model), OrDash(row.oldVersion),
                         OrDash(row.newVersion), ResultWord(row), SecondsText(row)});
    }
    std::vector<std::size_t> widths(cells.front().size(), 0);
    for (const auto& line : cells) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            widths[i] = std::max(widths[i], Columns(line[i]));
        }
    }
    std::string table;
    for (const auto& line : cells) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const bool last = i + 1 == line.size();
            // Seconds line up on the right, like numbers do.
            text += last ? std::string(widths[i] - Columns(line[i]), ' ') + line[i]
                         : PadToColumns(line[i], widths[i]) + "  ";
        }
        table += text + "\n";
    }
    return table;
}

std::string SummaryJson(const std::vector<ModemRow>& rows) {
    std::vector<json::Object> objects;
    for (const ModemRow& row : rows) {
        json::Object object;
        object.String("port", row.port)
            .StringOrNull("model", row.model)
            .StringOrNull("old-version", row.oldVersion)
            .StringOrNull("new-version", row.newVersion)
            .String("result", ResultToken(row))
            .StringOrNull("error", row.error)
            .StringOrNull("kept-files", row.keptFiles);
        if (Updates(row)) {
            object.Decimal("seconds", row.seconds, 1);
        } else {
            object.Null("seconds");
        }
        objects.push_back(object);
    }
    return json::Array(objects);
}

}  // namespace cli

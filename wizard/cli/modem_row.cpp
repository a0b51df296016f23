#include "wizard/cli/modem_row.h"

namespace cli {

void ApplyEvent(const json::Value& event, ModemRow* row) {
    const std::string name = event.String("event");
    const std::string text = event.String("text");
    auto keep = [&](std::string* field, const char* key) {
        const json::Value* value = event.Find(key);
        if (value != nullptr && value->type() == json::Value::Type::kString) {
            *field = value->AsText();
        }
    };
    // The search's last status line says it best; not-found's text is a page long.
    if (name == "search-port" || name == "search-status" || name == "succeeded" ||
        name == "notice") {
        row->status = text;
    } else if (name == "found" || name == "plan") {
        keep(&row->model, "model");
        keep(&row->modemInfo, "modem-info");
        keep(&row->oldVersion, "old-version");
        keep(&row->newVersion, "new-version");
    } else if (name == "steps") {
        if (const json::Value* steps = event.Find("steps")) {
            row->steps.clear();
            for (const json::Value& step : steps->Items()) {
                row->steps.push_back(step.AsText());
            }
        }
    } else if (name == "step") {
        row->step = static_cast<int>(event.Number("index", -1));
        row->stepText = text;
        row->percent = -1;
    } else if (name == "progress") {
        row->status = text;
        const json::Value* percent = event.Find("percent");
        row->percent = percent != nullptr && percent->type() == json::Value::Type::kNumber
                           ? static_cast<int>(percent->AsNumber())
                           : -1;
    } else if (name == "in-loader") {
        // No modem for an update, but one to recover: the summary says how.
        if (row->error.empty()) {
            row->error = text + "; to load its firmware: " + event.String("command");
        }
    } else if (name == "fatal" || name == "error" || name == "port-refused") {
        if (row->error.empty()) {
            row->error = text;
        }
    } else if (name == "result") {
        row->outcome = event.String("outcome");
        row->exitCode = static_cast<int>(event.Number("exit-code", -1));
        keep(&row->keptFiles, "kept-files");
    }
}

}  // namespace cli

#include "wizard/cli/json_events.h"

#include <cstdio>
#include <mutex>

namespace cli {
namespace {

std::mutex g_outputMutex;

}  // namespace

json::Object Event(const char* name, const std::string& port) {
    json::Object event;
    event.String("event", name).StringOrNull("port", port).Number("version", kJsonEventsVersion);
    return event;
}

void EmitText(const std::string& json) {
    std::lock_guard<std::mutex> lock(g_outputMutex);
    std::fwrite(json.data(), 1, json.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void Emit(const json::Object& event) {
    EmitText(event.Text());
}

void EmitResult(const std::string& port, int exitCode, const std::string& errorText,
                const std::string& hint) {
    if (!errorText.empty()) {
        json::Object error = Event("error", port).String("text", errorText);
        if (!hint.empty()) {
            error.String("hint", hint);
        }
        Emit(error);
    }
    Emit(Event("result", port).Number("exit-code", exitCode));
}

}  // namespace cli

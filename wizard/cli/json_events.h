// The events of wizard-cli --json: one JSON object per line on standard
// output, each with "event", "port" and the schema "version". Event names
// and keys are fixed English; the texts in them are the user's (translated).
// docs/json-events.md describes every event.
#pragma once

#include <string>

#include "wizard/cli/json/json_writer.h"

namespace cli {

// The schema version every event carries; raised when an event changes
// in a way a reader would notice (a key removed or its meaning changed).
constexpr int kJsonEventsVersion = 1;

// A new event object: "event", then "port" (null when port is empty), then
// "version". Callers add their fields.
json::Object Event(const char* name, const std::string& port);

// Writes one event as a line on standard output and flushes it. Safe to
// call from any thread: lines never mix.
void Emit(const json::Object& event);
// The same for an event that is JSON text already (one passed through).
void EmitText(const std::string& json);

// The end of a --json command: "error" with the text (and a hint on what
// to do, when there is one) when there is an error, then "result" with the
// exit code.
void EmitResult(const std::string& port, int exitCode, const std::string& errorText = "",
                const std::string& hint = "");

}  // namespace cli

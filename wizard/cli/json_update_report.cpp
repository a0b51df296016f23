// The update as JSON events, one per line (docs/json-events.md).
#include "platform/clock.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/update_report.h"
#include "wizard/engine/fatal_exit.h"

namespace cli {
namespace {

// Progress events come at most this often.
constexpr DWORD kProgressIntervalMs = 250;

class JsonReport : public UpdateReport {
  public:
    void Error(const std::string& text) override { Text("error", "", text); }
    void SearchPort(const std::string& port, const std::string& text) override {
        port_ = port;
        Text("search-port", port, text);
    }
    void SearchStatus(const std::string& port, const std::string& text) override {
        Text("search-status", port, text);
    }
    void Found(const UpdateResult& found) override {
        port_ = found.port;
        Emit(Event("found", found.port)
                 .String("model", found.model)
                 .StringOrNull("modem-info", TerminalText(found.modemInfo))
                 .StringOrNull("old-version", found.oldVersion));
    }
    void NotFound(const std::string& text) override { Text("not-found", "", text); }
    void InLoader(const std::string& port, const std::string& command) override {
        Emit(Event("in-loader", port)
                 .String("text", "a modem is waiting in its boot loader on " + port)
                 .String("command", command));
    }
    void PortRefused(const std::string& port, const PortFailure& failure) override {
        json::Object event = Event("port-refused", port).String("text", failure.reason);
        Emit(failure.hint.empty() ? event : event.String("hint", failure.hint));
    }
    void Interrupted() override { Emit(Event("interrupted", port_)); }

    void Plan(const UpdateResult& plan) override {
        port_ = plan.port;
        Emit(Event("plan", plan.port)
                 .String("model", plan.model)
                 .StringOrNull("old-version", plan.oldVersion)
                 .StringOrNull("new-version", plan.newVersion));
    }
    void Steps(const std::vector<std::string>& captions) override {
        std::vector<std::string> texts;
        for (const std::string& caption : captions) {
            texts.push_back(TerminalText(caption));
        }
        Emit(Event("steps", port_).Strings("steps", texts));
    }
    void Step(int index, const std::vector<std::string>& captions) override {
        const bool listed = index >= 0 && index < static_cast<int>(captions.size());
        Emit(Event("step", port_)
                 .Number("index", index)
                 .Number("count", static_cast<long long>(captions.size()))
                 .String("text", listed ? TerminalText(captions[index]) : ""));
    }
    void Progress(const ProgressDisplay& display) override {
        const DWORD now = platform::GetTickCount();
        const bool same = display.text == lastProgress_.text &&
                          display.done == lastProgress_.done &&
                          display.total == lastProgress_.total;
        if ((progressSent_ && (same || now - lastProgressTick_ < kProgressIntervalMs)) ||
            display.text.empty()) {
            return;
        }
        json::Object event = Event("progress", port_);
        event.String("text", TerminalText(display.text))
            .Number("done", display.done)
            .Number("total", display.total);
        if (display.total == -1) {
            event.Null("percent");
        } else {
            event.Number("percent", display.barPosition);
        }
        Emit(event);
        lastProgress_ = display;
        lastProgressTick_ = now;
        progressSent_ = true;
    }
    void Succeeded(const std::string& text) override { Text("succeeded", port_, text); }
    void StopRefused(const std::string& text) override { Text("notice", port_, text); }
    void Notice(const std::string& text) override { Text("notice", port_, text); }
    void Box(const std::string& text) override { Text("message", port_, text); }
    void Fatal(const std::string& text) override { Text("fatal", port_, text); }

    void Finished(const UpdateResult& result) override {
        Emit(Event("result", result.port)
                 .Number("exit-code", result.exitCode)
                 .String("outcome", result.outcome)
                 .StringOrNull("model", result.model)
                 .StringOrNull("modem-info", TerminalText(result.modemInfo))
                 .StringOrNull("old-version", result.oldVersion)
                 .StringOrNull("new-version", result.newVersion)
                 .StringOrNull("kept-files", result.keptFiles)
                 .Decimal("seconds", result.seconds, 1));
    }

  private:
    // An event whose one field is a user text.
    static void Text(const char* name, const std::string& port, const std::string& text) {
        Emit(Event(name, port).String("text", TerminalText(text)));
    }

    std::string port_;  // the port the events are about, once it is known
    ProgressDisplay lastProgress_;
    DWORD lastProgressTick_ = 0;
    bool progressSent_ = false;
};

}  // namespace

std::unique_ptr<UpdateReport> MakeJsonReport() {
    return std::make_unique<JsonReport>();
}

}  // namespace cli

// The update as text: what the console flow has always shown.
#include <iostream>

#include "wizard/cli/port_access.h"
#include "wizard/cli/progress_line.h"
#include "wizard/cli/update_report.h"
#include "wizard/engine/fatal_exit.h"

namespace cli {
namespace {

class TextReport : public UpdateReport {
  public:
    TextReport(const std::string& command, bool quiet)
        : command_(command), quiet_(quiet), progress_(quiet) {}

    void Error(const std::string& text) override {
        std::cerr << "wizard-cli " << command_ << ": " << text << "\n";
    }
    void SearchPort(const std::string&, const std::string& text) override {
        if (!quiet_) {
            std::cout << TerminalText(text) << "\n";
        }
    }
    void SearchStatus(const std::string&, const std::string& text) override {
        if (!quiet_) {
            std::cout << "    " << TerminalText(text) << "\n";
        }
    }
    void Found(const UpdateResult&) override {}
    void NotFound(const std::string& text) override { PrintError(text); }
    void InLoader(const std::string& port, const std::string& command) override {
        progress_.Finish();
        std::cerr << "a modem is waiting in its boot loader on " << port
                  << "; to load its firmware:\n    " << command << "\n";
    }
    void PortRefused(const std::string& port, const PortFailure& failure) override {
        progress_.Finish();
        PrintFailure("wizard-cli: port " + port + ": ", failure);
    }
    void Interrupted() override { std::cerr << "\nInterrupted.\n"; }

    void Plan(const UpdateResult& plan) override {
        std::cout << "\nModem " << plan.model << " on " << plan.port;
        if (!plan.newVersion.empty()) {
            std::cout << ": the firmware is updated to version " << plan.newVersion;
        }
        std::cout << ".\n";
    }
    void Steps(const std::vector<std::string>&) override {}
    void Step(int index, const std::vector<std::string>& captions) override {
        progress_.Finish();
        std::cout << "[" << index + 1 << "/" << captions.size() << "] "
                  << TerminalText(index < static_cast<int>(captions.size()) ? captions[index] : "")
                  << "\n";
    }
    void Progress(const ProgressDisplay& display) override {
        if (!display.text.empty()) {
            progress_.Show(TerminalText(display.text), display.barPosition);
        }
    }
    void Succeeded(const std::string& text) override {
        progress_.Finish();
        std::cout << TerminalText(text) << "\n";
    }
    void StopRefused(const std::string& text) override {
        progress_.Finish();
        std::cerr << text << "\n";
    }
    void Notice(const std::string& text) override {
        progress_.Finish();
        std::cerr << TerminalText(text) << "\n";
    }
    void Box(const std::string& text) override {
        // From the worker thread: the bar's line is the main thread's.
        std::cerr << "\n" << TerminalText(text) << "\n" << std::flush;
    }
    void Fatal(const std::string& text) override {
        progress_.Finish();
        PrintError(text);
    }

    void Finished(const UpdateResult& result) override {
        progress_.Finish();
        if (!result.keptFiles.empty()) {
            std::cerr << "The modem's files are kept in " << result.keptFiles << "\n";
        }
        if (std::string(result.outcome) == kOutcomeFound) {
            std::cout << "\nModem " << result.model << " on " << result.port;
            if (!result.modemInfo.empty()) {
                std::cout << ": " << TerminalText(result.modemInfo);
            }
            std::cout << "\n";
        }
    }

  private:
    static void PrintError(const std::string& text) {
        std::cerr << "\n" << TerminalText(text) << "\n";
    }

    std::string command_;
    bool quiet_;
    ProgressLine progress_;
};

}  // namespace

std::unique_ptr<UpdateReport> MakeTextReport(const std::string& command, bool quiet) {
    return std::make_unique<TextReport>(command, quiet);
}

}  // namespace cli

// How the console flow of an update tells what happens: as text for a
// person (status lines, step list, a bar, errors on stderr) or as one JSON
// event per line for a program (--json). The flow calls the same report
// functions in both cases, so both say the same things in the same order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wizard/cli/port_failure.h"
#include "wizard/engine/progress_display.h"

namespace cli {

// Outcomes of a run, as the result names them.
constexpr const char* kOutcomeUpdated = "updated";
constexpr const char* kOutcomeFailed = "failed";
constexpr const char* kOutcomeNoModem = "no-modem";
constexpr const char* kOutcomeFound = "found";  // a search without update found the modem
constexpr const char* kOutcomeNotStarted = "not-started";

// What a run is about and how it ended.
struct UpdateResult {
    int exitCode = 1;
    const char* outcome = kOutcomeNotStarted;
    std::string port;
    std::string model;
    std::string modemInfo;   // the modem's ATI3 text, as the search read it
    std::string oldVersion;  // the version in that text, before the update
    std::string newVersion;  // the version in the firmware file's header
    std::string keptFiles;   // the folder that keeps the modem's files, after a failure
    double seconds = 0;
};

class UpdateReport {
  public:
    virtual ~UpdateReport() = default;

    // A problem of the command itself (options, Wizard.inf), before any page.
    virtual void Error(const std::string& text) = 0;

    // The search page: the port line and the status line, for the port
    // being checked; then exactly one of Found and NotFound.
    virtual void SearchPort(const std::string& port, const std::string& text) = 0;
    virtual void SearchStatus(const std::string& port, const std::string& text) = 0;
    virtual void Found(const UpdateResult& found) = 0;
    virtual void NotFound(const std::string& text) = 0;
    // A port that answered no AT command but sends a boot loader's NAKs:
    // command is the line that loads the firmware into it.
    virtual void InLoader(const std::string& port, const std::string& command) = 0;
    // A port that another program holds or the user may not open (after a
    // search that found nothing, or a port that would not open).
    virtual void PortRefused(const std::string& port, const PortFailure& failure) = 0;
    virtual void Interrupted() = 0;

    // What the update is going to do, before it asks or starts.
    virtual void Plan(const UpdateResult& plan) = 0;
    // The update page: its step list once it is shown, each newly
    // highlighted step, and every tick of its timer.
    virtual void Steps(const std::vector<std::string>& captions) = 0;
    virtual void Step(int index, const std::vector<std::string>& captions) = 0;
    virtual void Progress(const ProgressDisplay& display) = 0;
    virtual void Succeeded(const std::string& text) = 0;
    // Ctrl-C while the firmware is written: the update goes on.
    virtual void StopRefused(const std::string& text) = 0;
    virtual void Notice(const std::string& text) = 0;
    // A message box of the worker or a plug-in. Called on the worker thread.
    virtual void Box(const std::string& text) = 0;
    virtual void Fatal(const std::string& text) = 0;

    // The last word of every run.
    virtual void Finished(const UpdateResult& result) = 0;
};

// command names the command in error texts ("update", "search").
std::unique_ptr<UpdateReport> MakeTextReport(const std::string& command, bool quiet);
std::unique_ptr<UpdateReport> MakeJsonReport();

}  // namespace cli

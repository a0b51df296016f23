#include "wizard/cli/update_all.h"

#include <functional>
#include <iostream>
#include <memory>

#include "platform/clock.h"
#include "platform/stop_signal.h"
#include "wizard/cli/child_cli.h"
#include "wizard/cli/confirmation.h"
#include "wizard/cli/json/json_value.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/modem_board.h"
#include "wizard/cli/modem_row.h"
#include "wizard/cli/summary_table.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/port_list.h"

namespace cli {
namespace {

// How often the children's output is looked at. Their progress comes every
// 250 ms at most; this keeps the lines about as fresh for little CPU.
constexpr DWORD kPollMs = 100;

constexpr const char* kSearchStage = "search";
constexpr const char* kUpdateStage = "update";

class AllFlow {
  public:
    explicit AllFlow(const UpdateAllOptions& options)
        : options_(options), board_(options.quiet || options.json) {}

    int Run() {
        if (options_.json && !options_.yes) {
            return Fail("--json asks no questions: add --yes to update", 2);
        }
        std::string why;
        if (!Prepare(&why)) {
            return Fail(why, 1);
        }
        platform::InstallStopSignals();
        RunStage(
            kSearchStage, RowPhase::kWaiting, RowPhase::kSearching,
            [&](const ModemRow& row) {
                return std::vector<std::string>{"search",  "--config", options_.config.iniPath,
                                                "--ports", row.port,   "--json"};
            },
            [](ModemRow& row, const ChildCli& child) {
                if (row.outcome == "found") {
                    row.phase = RowPhase::kFound;
                } else if (row.outcome == "no-modem") {
                    row.phase = RowPhase::kNoModem;
                } else if (platform::StopRequested()) {
                    row.phase = RowPhase::kWaiting;  // stopped before it could say
                } else {
                    Failed(row, child, "the search");
                }
            });
        std::size_t found = 0;
        for (const ModemRow& row : rows_) {
            found += row.phase == RowPhase::kFound ? 1 : 0;
        }
        if (found > 0 && !platform::StopRequested() && Confirm(found)) {
            RunStage(
                kUpdateStage, RowPhase::kFound, RowPhase::kUpdating,
                [&](const ModemRow& row) {
                    return std::vector<std::string>{"update",  "--config", options_.config.iniPath,
                                                    "--port",  row.port,   "--model",
                                                    row.model, "--yes",    "--json"};
                },
                [](ModemRow& row, const ChildCli& child) {
                    row.seconds = child.Seconds();
                    if (child.ExitCode() == 0 && row.outcome == "updated") {
                        row.phase = RowPhase::kUpdated;
                    } else if (row.outcome == "not-started" && platform::StopRequested()) {
                        row.phase = RowPhase::kFound;  // stopped in its confirming search
                        row.error = "stopped before its update began";
                    } else {
                        Failed(row, child, "the update");
                    }
                });
        }
        bool allUpdated = found > 0;
        for (const ModemRow& row : rows_) {
            allUpdated = allUpdated && row.phase != RowPhase::kFound &&
                         row.phase != RowPhase::kFailed && row.phase != RowPhase::kWaiting;
        }
        return Summary(allUpdated ? 0 : 1);
    }

  private:
    bool Prepare(std::string* why) {
        const IniFile ini = IniFile::Read(options_.config.iniPath);
        if (ini.status() != IniFile::Status::kRead) {
            *why = options_.config.iniPath + ": " + ini.StatusText();
            return false;
        }
        if (!HasAtInterpreter(ini)) {
            *why =
                "these modems have no AT interpreter and cannot be found by a search; update "
                "each with --port DEV --model NAME";
            return false;
        }
        const std::vector<std::string> ports =
            options_.ports.empty() ? ReadPortList(ini).Entries() : options_.ports;
        if (ports.empty()) {
            *why = "no serial port found on this system; name them with --ports DEV,...";
            return false;
        }
        for (const std::string& port : ports) {
            ModemRow row;
            row.port = port;
            if (port.find(',') != std::string::npos) {
                // The search takes its ports as a list with commas.
                row.phase = RowPhase::kFailed;
                row.error = "a port name with a comma cannot be searched";
            }
            rows_.push_back(row);
        }
        return true;
    }

    // A child that ended without the result it should have given.
    static void Failed(ModemRow& row, const ChildCli& child, const char* what) {
        row.phase = RowPhase::kFailed;
        if (row.error.empty()) {
            std::string said = child.Stderr();
            said = said.substr(0, said.find('\n'));
            row.error = std::string(what) + " ended with exit code " +
                        std::to_string(child.ExitCode()) + (said.empty() ? "" : ": " + said);
        }
    }

    // Runs a child for every row in phase from (the row is then in phase
    // running), at most maxParallel at a time, until all have ended.
    void RunStage(const char* stage, RowPhase from, RowPhase running,
                  const std::function<std::vector<std::string>(const ModemRow&)>& args,
                  const std::function<void(ModemRow&, const ChildCli&)>& ended) {
        std::vector<std::pair<std::size_t, std::unique_ptr<ChildCli>>> children;
        std::size_t next = 0;
        bool stopSeen = false;
        board_.Show(rows_);
        for (;;) {
            if (platform::StopRequested() && !stopSeen) {
                stopSeen = true;
                next = rows_.size();  // nothing new starts
                if (std::string(stage) == kUpdateStage && !options_.json) {
                    std::cerr << "Updates that have begun go on: stopping them could leave "
                                 "modems without working firmware.\n";
                }
            }
            while (next < rows_.size() &&
                   (options_.maxParallel == 0 || children.size() < options_.maxParallel)) {
                ModemRow& row = rows_[next];
                if (row.phase == from) {
                    auto child = std::make_unique<ChildCli>();
                    std::string why;
                    row.phase = running;
                    row.outcome.clear();
                    if (child->Start(row.port, args(row), &why)) {
                        children.emplace_back(next, std::move(child));
                    } else {
                        row.phase = RowPhase::kFailed;
                        row.error = why;
                    }
                }
                ++next;
            }
            if (children.empty() && next >= rows_.size()) {
                break;
            }
            bool changed = false;
            for (auto it = children.begin(); it != children.end();) {
                ModemRow& row = rows_[it->first];
                std::vector<std::string> lines;
                const bool alive = it->second->Poll(&lines);
                for (const std::string& line : lines) {
                    Take(row, stage, line);
                }
                changed = changed || !lines.empty() || !alive;
                if (!alive) {
                    ended(row, *it->second);
                    it = children.erase(it);
                } else {
                    ++it;
                }
            }
            if (changed) {
                board_.Show(rows_);
            }
            platform::Sleep(kPollMs);
        }
    }

    // One line of a row's child: an event, passed on with its port and stage.
    void Take(ModemRow& row, const char* stage, const std::string& line) {
        json::Value event;
        std::string why;
        const bool parsed = json::Parse(line, &event, &why) && event.IsObject();
        if (parsed) {
            ApplyEvent(event, &row);
        }
        if (!options_.json) {
            return;
        }
        if (!parsed) {
            Emit(Event("child-output", row.port).String("stage", stage).String("text", line));
            return;
        }
        event.Set("port", json::Value::MakeString(row.port));
        event.Set("stage", json::Value::MakeString(stage));
        EmitText(json::Serialize(event));
    }

    bool Confirm(std::size_t found) {
        if (options_.yes) {
            return true;
        }
        board_.Finish();
        const Answer answer =
            AskBeforeUpdate("Update " +
                            (found == 1 ? std::string("this modem")
                                        : "these " + std::to_string(found) + " modems") +
                            " now?");
        if (answer == Answer::kNoTerminal) {
            std::cerr << "wizard-cli update: " << kNoConfirmation << "\n";
        }
        return answer == Answer::kYes;
    }

    int Fail(const std::string& text, int code) {
        if (options_.json) {
            Emit(Event("error", "").String("text", text));
            return Summary(code);
        }
        std::cerr << "wizard-cli update: " << text << "\n";
        return code;
    }

    int Summary(int code) {
        if (options_.json) {
            Emit(Event("summary", "").Number("exit-code", code).Raw("modems", SummaryJson(rows_)));
            return code;
        }
        board_.Finish();
        std::cout << "\n" << SummaryTable(rows_) << std::flush;
        for (const ModemRow& row : rows_) {
            if (row.phase != RowPhase::kUpdated && !row.error.empty()) {
                std::cerr << row.port << ": " << TerminalText(row.error) << "\n";
            }
            if (!row.keptFiles.empty()) {
                std::cerr << row.port << ": the modem's files are kept in " << row.keptFiles
                          << "\n";
            }
        }
        return code;
    }

    const UpdateAllOptions& options_;
    ModemBoard board_;
    std::vector<ModemRow> rows_;
};

}  // namespace

int RunUpdateAll(const UpdateAllOptions& options) {
    AllFlow flow(options);
    return flow.Run();
}

}  // namespace cli

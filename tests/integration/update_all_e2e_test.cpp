// wizard-cli update --all against several modemsim modems at once, as a
// user runs it: the summary table, the exit code, and the events of --json.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "tests/support/cli_runner.h"
#include "tests/support/firmware_file.h"
#include "tests/support/json_lines.h"
#include "tests/support/modemsim_process.h"
#include "tests/support/temp_dir.h"
#include "wizard/cli/json/json_writer.h"

using cli::json::Value;
using test_support::CliResult;
using test_support::ModemSim;

namespace {

constexpr DWORD kTimeoutMs = 180000;
constexpr const char* kModel = "ORVA 56K Serial";
constexpr const char* kNoPort = "/dev/no-such-port";

class UpdateAll : public ::testing::Test {
  protected:
    void SetUp() override {
        firmware = test_support::FirmwareFile("2.31", 6000);
        dir.Write("fw.bin", firmware);
        dir.Write("Wizard.inf", "[Common]\n[" + std::string(kModel) +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n");
    }
    // A modem whose received files go to received-NAME.
    std::unique_ptr<ModemSim> Modem(const std::string& name, std::vector<std::string> options) {
        options.insert(options.end(), {"--received-dir", dir.File("received-" + name),
                                       "--reboot-delay", "500", "--model", kModel});
        return std::make_unique<ModemSim>(options);
    }
    CliResult All(std::vector<std::string> args) {
        args.insert(args.begin(), {"update", "--all", "--config", dir.File("Wizard.inf"), "--yes"});
        return test_support::RunCli(args, kTimeoutMs);
    }
    bool Received(const std::string& name) {
        return test_support::SameButPadding(firmware,
                                            dir.Read("received-" + name + "/firmware.bin"));
    }

    test_support::TempDir dir{"update-all"};
    std::string firmware;
};

// The summary table's rows by port: the cells between runs of two or more blanks.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& out) {
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::size_t at = 0;
        while (at < line.size()) {
            std::size_t gap = line.find("  ", at);
            cells.push_back(line.substr(at, gap == std::string::npos ? gap : gap - at));
            at = gap == std::string::npos ? line.size() : line.find_first_not_of(' ', gap);
        }
        if (!cells.empty() && cells[0] != "Port") {
            rows[cells[0]] = cells;
        }
    }
    return rows;
}

TEST_F(UpdateAll, OneFailingModemStopsNoOtherAndTheSummarySaysWhich) {
    auto first = Modem("first", {});
    auto second = Modem("second", {});
    auto failing = Modem("failing", {"--fault-can-at-block", "2", "--fault-firmware"});
    CliResult r = All({"--ports", first->PortPath() + "," + failing->PortPath() + "," + kNoPort +
                                      "," + second->PortPath()});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_EQ(r.out.rfind("\nPort  ", 0), 0u) << "stdout holds the summary alone:\n" << r.out;

    auto rows = SummaryRows(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    for (const ModemSim* updated : {first.get(), second.get()}) {
        const std::vector<std::string>& row = rows[updated->PortPath()];
        ASSERT_EQ(row.size(), 6u) << r.out;
        EXPECT_EQ(row[1], kModel);
        EXPECT_EQ(row[2], "1.00");
        EXPECT_EQ(row[3], "2.31");
        EXPECT_EQ(row[4], "updated");
        EXPECT_GT(std::stod(row[5]), 0.0);
    }
    const std::vector<std::string>& failed = rows[failing->PortPath()];
    ASSERT_EQ(failed.size(), 6u) << r.out;
    EXPECT_EQ(std::vector<std::string>(failed.begin() + 1, failed.begin() + 5),
              (std::vector<std::string>{kModel, "1.00", "2.31", "FAILED"}));
    EXPECT_EQ(rows[kNoPort], (std::vector<std::string>{kNoPort, "-", "-", "-", "no modem", "-"}));
    EXPECT_TRUE(Received("first"));
    EXPECT_TRUE(Received("second"));
    EXPECT_NE(r.err.find(failing->PortPath() + ": Error during firmware upload!"),
              std::string::npos)
        << r.err;
    EXPECT_GE(failing->CountLog("at AT$UPLOAD"), 1) << "its update did start";
}

TEST_F(UpdateAll, WithJsonTheChildrensEventsPassThroughTaggedThenASummary) {
    auto modem = Modem("modem", {});
    CliResult r = All({"--ports", std::string(kNoPort) + "," + modem->PortPath(), "--json",
                       "--max-parallel", "1"});
    EXPECT_EQ(r.exitCode, 0) << "a port without a modem is no failure\n" << r.out << r.err;
    std::string bad;
    const std::vector<Value> events = test_support::JsonLines(r.out, &bad);
    ASSERT_EQ(bad, "") << r.out;
    ASSERT_FALSE(events.empty());

    std::map<std::string, std::vector<std::string>> byPort;  // "stage event" per port
    std::size_t noPortSearchEnd = 0, modemSearchStart = events.size();
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
        const Value& event = events[i];
        const std::string port = event.String("port");
        const std::string stage = event.String("stage");
        ASSERT_TRUE(port == kNoPort || port == modem->PortPath()) << cli::json::Serialize(event);
        ASSERT_TRUE(stage == "search" || stage == "update") << cli::json::Serialize(event);
        EXPECT_EQ(event.Number("version", -1), 1);
        byPort[port].push_back(stage + " " + event.String("event"));
        if (port == kNoPort && event.String("event") == "result") {
            noPortSearchEnd = i;
        }
        if (port == modem->PortPath() && modemSearchStart == events.size()) {
            modemSearchStart = i;
        }
    }
    EXPECT_LT(noPortSearchEnd, modemSearchStart) << "--max-parallel 1: one search at a time";
    const std::vector<std::string>& empty = byPort[kNoPort];
    ASSERT_GE(empty.size(), 2u);
    EXPECT_EQ(empty[empty.size() - 2], "search not-found") << "tagged, though it names no port";
    EXPECT_EQ(empty.back(), "search result") << "and no update there";
    const std::vector<std::string>& found = byPort[modem->PortPath()];
    EXPECT_NE(std::find(found.begin(), found.end(), "search found"), found.end());
    EXPECT_EQ(found.back(), "update result");

    const Value& summary = events.back();
    EXPECT_EQ(summary.String("event"), "summary");
    EXPECT_EQ(summary.Number("exit-code", -1), 0);
    const Value* modems = summary.Find("modems");
    ASSERT_NE(modems, nullptr);
    ASSERT_EQ(modems->Items().size(), 2u);
    EXPECT_EQ(modems->Items()[0].String("port"), kNoPort);
    EXPECT_EQ(modems->Items()[0].String("result"), "no-modem");
    EXPECT_EQ(modems->Items()[1].String("result"), "updated");
    EXPECT_EQ(modems->Items()[1].String("old-version"), "1.00");
    EXPECT_EQ(modems->Items()[1].String("new-version"), "2.31");
    EXPECT_GT(modems->Items()[1].Number("seconds", 0), 0.0);
    EXPECT_TRUE(Received("modem"));
}

TEST_F(UpdateAll, NoModemAnywhereIsAFailure) {
    CliResult r = All({"--ports", kNoPort});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_EQ(SummaryRows(r.out)[kNoPort],
              (std::vector<std::string>{kNoPort, "-", "-", "-", "no modem", "-"}));
}

}  // namespace

// wizard-cli --json as a program reads it: against modemsim over a
// pseudo-terminal, every line of stdout one event, in the order things
// happen, with the fields docs/json-events.md promises.
#include <gtest/gtest.h>

#include <algorithm>

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

constexpr DWORD kUpdateTimeoutMs = 120000;
constexpr const char* kModel = "ORVA 56K Serial";

class JsonEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        firmware = test_support::FirmwareFile("2.31", 20000);
        dir.Write("fw.bin", firmware);
        dir.Write("Wizard.inf", "[Common]\n[" + std::string(kModel) +
                                    "]\nUploadFile=fw.bin\nUploadCommand=AT$UPLOAD\n"
                                    "UploadType=UPLOAD_SUPPORTED_1K\n");
    }
    std::vector<std::string> Sim(std::vector<std::string> options) {
        options.insert(options.end(), {"--received-dir", dir.File("received"), "--reboot-delay",
                                       "500", "--model", kModel});
        return options;
    }
    CliResult Cli(std::vector<std::string> args) {
        args.insert(args.begin() + 1, {"--config", dir.File("Wizard.inf")});
        return test_support::RunCli(args, kUpdateTimeoutMs);
    }
    // The events of a run; fails the test when a line is no JSON object.
    std::vector<Value> Events(const CliResult& r) {
        std::string bad;
        std::vector<Value> events = test_support::JsonLines(r.out, &bad);
        EXPECT_EQ(bad, "") << "stdout holds something other than events:\n" << r.out;
        for (const Value& event : events) {
            const Value* port = event.Find("port");
            EXPECT_FALSE(event.String("event").empty()) << cli::json::Serialize(event);
            EXPECT_TRUE(port != nullptr && (port->type() == Value::Type::kString ||
                                            port->type() == Value::Type::kNull))
                << cli::json::Serialize(event);
            EXPECT_EQ(event.Number("version", -1), 1) << cli::json::Serialize(event);
        }
        return events;
    }

    test_support::TempDir dir{"json-e2e"};
    std::string firmware;
};

// Index of the first event named name from index from on, or the size.
std::size_t IndexOf(const std::vector<Value>& events, const std::string& name,
                    std::size_t from = 0) {
    for (std::size_t i = from; i < events.size(); ++i) {
        if (events[i].String("event") == name) {
            return i;
        }
    }
    return events.size();
}

TEST_F(JsonEvents, AWholeUpdateIsOneEventPerLineInTheOrderItHappens) {
    ModemSim sim(Sim({"--rate", "11520"}));  // a real line's pace: progress to see
    CliResult r =
        Cli({"update", "--ports", "/dev/no-such-port," + sim.PortPath(), "--yes", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<Value> events = Events(r);
    ASSERT_FALSE(events.empty());

    // The search: each port's lines carry that port.
    ASSERT_EQ(events[0].String("event"), "search-port");
    EXPECT_EQ(events[0].String("port"), "/dev/no-such-port");
    EXPECT_EQ(events[0].String("text"), "Checking /dev/no-such-port");
    const std::size_t simPort = IndexOf(events, "search-port", 1);
    ASSERT_LT(simPort, events.size());
    EXPECT_EQ(events[simPort].String("port"), sim.PortPath());
    for (std::size_t i = 1; i < simPort; ++i) {
        EXPECT_EQ(events[i].String("port"), "/dev/no-such-port") << cli::json::Serialize(events[i]);
    }

    const std::size_t found = IndexOf(events, "found");
    const std::size_t plan = IndexOf(events, "plan");
    const std::size_t steps = IndexOf(events, "steps");
    const std::size_t first = IndexOf(events, "step");
    const std::size_t second = IndexOf(events, "step", first + 1);
    const std::size_t succeeded = IndexOf(events, "succeeded");
    ASSERT_LT(simPort, found);
    ASSERT_LT(found, plan);
    ASSERT_LT(plan, steps);
    ASSERT_LT(steps, first);
    ASSERT_LT(first, second);
    ASSERT_LT(second, succeeded);
    ASSERT_EQ(succeeded + 2, events.size()) << "the result comes last, after the success";

    EXPECT_EQ(events[found].String("model"), kModel);
    EXPECT_EQ(events[found].String("modem-info"), std::string(kModel) + " Firmware 1.00");
    EXPECT_EQ(events[plan].String("old-version"), "1.00");
    EXPECT_EQ(events[plan].String("new-version"), "2.31");
    const Value* captions = events[steps].Find("steps");
    ASSERT_NE(captions, nullptr);
    ASSERT_EQ(captions->Items().size(), 2u);
    EXPECT_EQ(captions->Items()[1].AsText(), "The firmware is being updated...");
    EXPECT_EQ(events[first].Number("index"), 0);
    EXPECT_EQ(events[second].Number("index"), 1);
    EXPECT_EQ(events[second].Number("count"), 2);
    EXPECT_EQ(events[second].String("text"), "The firmware is being updated...");
    EXPECT_EQ(events[succeeded].String("text"), "The operation was concluded successfully!");

    // Progress while the firmware travels: a growing share of its size.
    int progress = 0;
    double lastPercent = -1;
    for (std::size_t i = second; i < succeeded; ++i) {
        if (events[i].String("event") != "progress") {
            continue;
        }
        ++progress;
        const double done = events[i].Number("done", -1);
        const double total = events[i].Number("total", -1);
        const double percent = events[i].Number("percent", -1);
        EXPECT_EQ(total, static_cast<double>(firmware.size()));
        EXPECT_GE(done, 0);
        EXPECT_LE(done, total + 1024) << "at most one block of padding";
        EXPECT_GE(percent, lastPercent) << cli::json::Serialize(events[i]);
        lastPercent = percent;
    }
    EXPECT_GE(progress, 3) << "about two seconds of transfer at the line's rate";

    const Value& result = events.back();
    EXPECT_EQ(result.String("event"), "result");
    EXPECT_EQ(result.Number("exit-code", -1), 0);
    EXPECT_EQ(result.String("outcome"), "updated");
    EXPECT_EQ(result.String("port"), sim.PortPath());
    EXPECT_EQ(result.String("model"), kModel);
    EXPECT_EQ(result.String("old-version"), "1.00");
    EXPECT_EQ(result.String("new-version"), "2.31");
    ASSERT_NE(result.Find("kept-files"), nullptr);
    EXPECT_EQ(result.Find("kept-files")->type(), Value::Type::kNull);
    const double seconds = result.Number("seconds", 0);
    EXPECT_GT(seconds, 2.0);
    // Progress comes every 250 ms at most: never a flood.
    EXPECT_LE(progress, 4 * seconds + 2);
    EXPECT_TRUE(test_support::SameButPadding(firmware, dir.Read("received/firmware.bin")));
}

TEST_F(JsonEvents, AFailedUpdateSaysItsFatalTextAndEndsWithAFailedResult) {
    ModemSim sim(Sim({"--fault-can-at-block", "2", "--fault-firmware"}));
    CliResult r = Cli({"update", "--port", sim.PortPath(), "--model", kModel, "--yes", "--json"});
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    const std::vector<Value> events = Events(r);
    ASSERT_GE(events.size(), 2u);
    const Value& fatal = events[events.size() - 2];
    EXPECT_EQ(fatal.String("event"), "fatal");
    EXPECT_EQ(fatal.String("port"), sim.PortPath());
    EXPECT_EQ(fatal.String("text").rfind("Error during firmware upload!\nEnsure", 0), 0u)
        << fatal.String("text");
    EXPECT_EQ(events.back().String("event"), "result");
    EXPECT_EQ(events.back().Number("exit-code", -1), 1);
    EXPECT_EQ(events.back().String("outcome"), "failed");
    EXPECT_EQ(IndexOf(events, "succeeded"), events.size());
}

TEST_F(JsonEvents, WithoutYesNothingStartsAndNothingIsAsked) {
    ModemSim sim(Sim({}));
    const struct {
        std::vector<std::string> args;
        const char* last;
    } cases[] = {
        {{"update", "--port", sim.PortPath(), "--model", kModel, "--json"}, "result"},
        {{"update", "--all", "--ports", sim.PortPath(), "--json"}, "summary"},
    };
    for (const auto& c : cases) {
        CliResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
        const std::vector<Value> events = Events(r);
        ASSERT_EQ(test_support::EventNames(events), (std::vector<std::string>{"error", c.last}))
            << r.out;
        EXPECT_NE(events[0].String("text").find("--yes"), std::string::npos);
        EXPECT_EQ(events[1].Number("exit-code", -1), 2);
    }
    EXPECT_EQ(sim.CountLog("at "), 0) << "the modem heard nothing";
}

TEST(JsonCommands, BytesAModemSendsArriveEscapedOrReplaced) {
    // Quotes, a backslash, bytes that are no UTF-8 and some that are (the
    // simulator takes no control bytes in a name; the writer's own test has them).
    const std::string name = "Q\"uo\\te \xff\xfe{\"x\"} \xc3\xa9";
    ModemSim sim({"--model", name});
    CliResult r = test_support::RunCli({"identify", "--port", sim.PortPath(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.out.find('\xff'), std::string::npos) << "stdout stays UTF-8";
    std::string bad;
    const std::vector<Value> events = test_support::JsonLines(r.out, &bad);
    ASSERT_EQ(bad, "");
    ASSERT_EQ(test_support::EventNames(events), (std::vector<std::string>{"modem", "result"}));
    const std::string expected = "Q\"uo\\te \xef\xbf\xbd\xef\xbf\xbd{\"x\"} \xc3\xa9";
    EXPECT_EQ(events[0].String("model"), expected);
    EXPECT_EQ(events[0].String("ati3"), expected + " Firmware 1.00");
    EXPECT_EQ(events[0].String("port"), sim.PortPath());
}

TEST(JsonCommands, AFailingCommandEndsWithItsErrorAndResult) {
    test_support::TempDir dir;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"identify", "--port", "/dev/no-such-port", "--json"},
          std::vector<std::string>{"dir", "--port", "/dev/no-such-port", "--json"},
          std::vector<std::string>{"models", "--config", dir.File("Wizard.inf"), "--json"}}) {
        CliResult r = test_support::RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0];
        std::string bad;
        const std::vector<Value> events = test_support::JsonLines(r.out, &bad);
        EXPECT_EQ(bad, "") << args[0];
        ASSERT_EQ(test_support::EventNames(events), (std::vector<std::string>{"error", "result"}))
            << args[0] << ": " << r.out;
        EXPECT_NE(events[0].String("text"), "");
        EXPECT_EQ(events[1].Number("exit-code", -1), 1);
    }
}

}  // namespace

// Every command explains itself: wizard-cli help COMMAND shows its usage
// and an entry for each option (the man page is made from the same text).
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/support/cli_runner.h"
#include "wizard/cli/command.h"

namespace {

using test_support::RunCli;

// The options a usage line names: "--port", "--1k", ...
std::set<std::string> UsageOptions(const std::string& usage) {
    std::set<std::string> options;
    const std::regex option("--[a-z0-9][a-z0-9-]*");
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
         it != std::sregex_iterator(); ++it) {
        options.insert(it->str());
    }
    return options;
}

TEST(HelpCommand, EveryCommandExplainsEachOptionOfItsUsage) {
    const std::vector<cli::Command> commands = cli::AllCommands();
    ASSERT_GE(commands.size(), 13u);
    for (const cli::Command& command : commands) {
        SCOPED_TRACE(command.name);
        const std::string help = command.help;
        ASSERT_FALSE(help.empty()) << "no help text: add kHelp to its REGISTER_CLI_COMMAND";
        for (const std::string& option : UsageOptions(command.usage)) {
            EXPECT_NE(help.find("- `" + option), std::string::npos)
                << option << " is in the usage line but not explained";
        }
    }
}

TEST(HelpCommand, ShowsUsageAndTextAndRefusesUnknownCommands) {
    test_support::CliResult r = RunCli({"help", "update"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const cli::Command* update = cli::FindCommand("update");
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              std::string("Usage: wizard-cli update ") + update->usage);
    EXPECT_NE(r.out.find("\nFind the modem and update its firmware.\n"), std::string::npos)
        << r.out;
    // An option's entry: the option, then its text indented below it.
    EXPECT_NE(r.out.find("\n  --yes\n        Do not ask before the update starts"),
              std::string::npos)
        << r.out;

    r = RunCli({"help", "frobnicate"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "wizard-cli help: no command \"frobnicate\"");
    r = RunCli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("\n  help          show the commands"), std::string::npos) << r.out;
    // The pointer to the manual page, which the Linux package installs.
    EXPECT_NE(r.out.find("options;\nman wizard-cli has the whole manual.\n"), std::string::npos)
        << r.out;
}

}  // namespace

// The command line of Wizard: the look, and the developer options.
#include <gtest/gtest.h>

#include "wizard/flow/command_line.h"

namespace {

flow::WizardOptions Parse(const std::vector<std::string>& tokens, bool newLookByDefault = true) {
    flow::WizardOptions options;
    std::string error;
    EXPECT_TRUE(flow::ParseCommandLine(tokens, newLookByDefault, &options, &error)) << error;
    return options;
}

TEST(CommandLine, TheLaterLookTokenWinsWhateverItsCase) {
    for (bool newLookByDefault : {true, false}) {
        SCOPED_TRACE(newLookByDefault ? "new look by default" : "old look by default");
        EXPECT_FALSE(Parse({"/OLDWIZ", "/newwiz"}, newLookByDefault).oldLook);
        EXPECT_TRUE(Parse({"/newwiz", "/OLDWIZ"}, newLookByDefault).oldLook);
        EXPECT_TRUE(Parse({"/NewWiz", "other", "/oLdWiZ", "--unknown"}, newLookByDefault).oldLook)
            << "other tokens are ignored";
        EXPECT_EQ(Parse({}, newLookByDefault).oldLook, !newLookByDefault)
            << "without a look token the system's look";
        EXPECT_EQ(Parse({"other"}, newLookByDefault).oldLook, !newLookByDefault);
    }
}

TEST(CommandLine, OnlyTheFirstSixCharactersCount) {
    EXPECT_TRUE(Parse({"/oldwizard"}).oldLook);
    EXPECT_TRUE(Parse({"/oldwi"}).oldLook);
    EXPECT_FALSE(Parse({"/oldw"}).oldLook) << "five characters are not enough";
    EXPECT_FALSE(Parse({"oldwiz"}).oldLook);
    EXPECT_FALSE(Parse({"/oldwizard", "/newwix"}).oldLook);
}

TEST(CommandLine, DeveloperOptionsTakeTheNextToken) {
    flow::WizardOptions options =
        Parse({"--config", "/tmp/demo/Wizard.inf", "/oldwiz", "--ports", "/dev/pts/3,,/dev/pts/4"});
    EXPECT_EQ(options.configFile, "/tmp/demo/Wizard.inf");
    EXPECT_EQ(options.ports, (std::vector<std::string>{"/dev/pts/3", "/dev/pts/4"}));
    EXPECT_TRUE(options.oldLook);

    // A look token after --config is its value, not a look.
    EXPECT_FALSE(Parse({"--config", "/oldwiz"}).oldLook);
    EXPECT_EQ(Parse({"--config", "/oldwiz"}).configFile, "/oldwiz");
}

TEST(CommandLine, ADeveloperOptionWithoutValueIsRefused) {
    flow::WizardOptions options;
    std::string error;
    EXPECT_FALSE(flow::ParseCommandLine({"/oldwiz", "--ports"}, true, &options, &error));
    EXPECT_EQ(error, "--ports needs a value");
    EXPECT_FALSE(flow::ParseCommandLine({"--config", ""}, true, &options, &error));
    EXPECT_EQ(error, "--config needs a value");
}

TEST(CommandLine, AWindowsCommandLineIsSplitAtBlanks) {
    EXPECT_EQ(flow::SplitAtBlanks("  /OLDWIZ \t/newwiz  x"),
              (std::vector<std::string>{"/OLDWIZ", "/newwiz", "x"}));
    EXPECT_TRUE(flow::SplitAtBlanks("").empty());
    EXPECT_TRUE(flow::SplitAtBlanks("   ").empty());
    EXPECT_FALSE(Parse(flow::SplitAtBlanks("/OLDWIZ /newwiz"), false).oldLook);
}

}  // namespace

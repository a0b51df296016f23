// The command line of Wizard: the look, and the developer options.
#include <gtest/gtest.h>

#include "wizard/gui/command_line.h"

namespace {

gui::WizardOptions Parse(const std::vector<std::string>& tokens) {
    gui::WizardOptions options;
    std::string error;
    EXPECT_TRUE(gui::ParseCommandLine(tokens, &options, &error)) << error;
    return options;
}

TEST(CommandLine, TheLaterLookTokenWinsWhateverItsCase) {
    EXPECT_FALSE(Parse({"/OLDWIZ", "/newwiz"}).oldLook);
    EXPECT_TRUE(Parse({"/newwiz", "/OLDWIZ"}).oldLook);
    EXPECT_TRUE(Parse({"/NewWiz", "other", "/oLdWiZ", "--unknown"}).oldLook)
        << "other tokens are ignored";
    EXPECT_FALSE(Parse({}).oldLook) << "the new look is the default";
    EXPECT_EQ(Parse({}).oldLook, !gui::NewLookIsDefault());
}

TEST(CommandLine, OnlyTheFirstSixCharactersCount) {
    EXPECT_TRUE(Parse({"/oldwizard"}).oldLook);
    EXPECT_TRUE(Parse({"/oldwi"}).oldLook);
    EXPECT_FALSE(Parse({"/oldw"}).oldLook) << "five characters are not enough";
    EXPECT_FALSE(Parse({"oldwiz"}).oldLook);
    EXPECT_FALSE(Parse({"/oldwizard", "/newwix"}).oldLook);
}

TEST(CommandLine, DeveloperOptionsTakeTheNextToken) {
    gui::WizardOptions options =
        Parse({"--config", "/tmp/demo/Wizard.inf", "/oldwiz", "--ports", "/dev/pts/3,,/dev/pts/4"});
    EXPECT_EQ(options.configFile, "/tmp/demo/Wizard.inf");
    EXPECT_EQ(options.ports, (std::vector<std::string>{"/dev/pts/3", "/dev/pts/4"}));
    EXPECT_TRUE(options.oldLook);

    // A look token after --config is its value, not a look.
    EXPECT_FALSE(Parse({"--config", "/oldwiz"}).oldLook);
    EXPECT_EQ(Parse({"--config", "/oldwiz"}).configFile, "/oldwiz");
}

TEST(CommandLine, ADeveloperOptionWithoutValueIsRefused) {
    gui::WizardOptions options;
    std::string error;
    EXPECT_FALSE(gui::ParseCommandLine({"/oldwiz", "--ports"}, &options, &error));
    EXPECT_EQ(error, "--ports needs a value");
    EXPECT_FALSE(gui::ParseCommandLine({"--config", ""}, &options, &error));
    EXPECT_EQ(error, "--config needs a value");
}

}  // namespace

// The modem search against scripted modems on scripted ports.
#include <gtest/gtest.h>

#include "tests/update/update_fixture.h"
#include "wizard/engine/modem_search.h"
#include "wizard/resources/strings.h"

namespace {

class ModemSearch : public UpdateFixture {
  protected:
    ModemSearch() : second("SCRIPTED2", &port.clock()) {
        for (test_support::ScriptedModem* modem : {&port.modem(), &second.modem()}) {
            modem->AnswerOk("AT&F");
            modem->AnswerOk("ATI3", "Firmware 1.00");
        }
    }
    void Ports(const std::vector<std::string>& names) {
        state.portList = PortList();
        for (const std::string& name : names) {
            state.portList.Append(name);
        }
    }
    void Config(const std::string& text) {
        WriteConfig(text);
        state.modelList = ReadModelList(IniFile::Read(state.config.iniPath));
    }
    bool Found() const { return !page.Posted(WM_WIZ_FOUND).empty(); }
    bool NotFound() const { return !page.Posted(WM_WIZ_NOTFOUND).empty(); }
    std::vector<std::string> Statuses() const { return page.Texts(WM_WIZ_SEARCHSTATUS); }

    test_support::ScriptedPort second;
};

TEST_F(ModemSearch, AModelInLowerCaseMatchesItsSectionAndBecomesTheHead) {
    port.modem().AnswerOk("AT+GMM", "+GMM: orva 56k serial");
    Config("[Common]\n[Other]\n[ORVA 56K Serial]\nUploadFile=x\n[Last]\n");
    Ports({"NOPORT", port.name(), second.name()});
    RunSearch(state, page.handle());
    ASSERT_TRUE(Found());
    EXPECT_EQ(state.portList.Entries(), std::vector<std::string>{port.name()});
    EXPECT_EQ(state.modelList.Entries(), std::vector<std::string>{"ORVA 56K Serial"});
    std::vector<std::string> ports = page.Texts(WM_WIZ_SEARCHPORT);
    EXPECT_EQ(ports, (std::vector<std::string>{"Checking NOPORT", "Checking SCRIPTED1"}));
    std::vector<std::string> statuses = {"Opening port ...",     "Opening failed! ",
                                         "Closing port ...",     "Opening port ...",
                                         "Looking for modem...", "orva 56k serial modem found!",
                                         "Closing port ..."};
    EXPECT_EQ(Statuses(), statuses);
    EXPECT_EQ(second.device().OpenCount(), 0) << "the search ends with the first modem found";
    // Without a ModemBrand no brand is asked.
    EXPECT_EQ(port.modem().Commands(), (std::vector<std::string>{"AT&F", "AT+GMM", "ATI3"}));
}

TEST_F(ModemSearch, ABrandInTheListIsAccepted) {
    port.modem().AnswerOk("AT+GMM", "+GMM: ORVA 56K Serial");
    port.modem().AnswerOk("AT$BRAND?", "$BRAND: ALPHA");
    Config("[ORVA 56K Serial]\nModemBrand=BETA,ALPHA\n");
    Ports({port.name()});
    RunSearch(state, page.handle());
    EXPECT_TRUE(Found());
}

TEST_F(ModemSearch, ABrandNotInTheListSkipsThePortAndTheNextModemIsFound) {
    port.modem().AnswerOk("AT+GMM", "+GMM: ORVA 56K Serial");
    port.modem().AnswerOk("AT$BRAND?", "$BRAND: GAMMA");
    second.modem().AnswerOk("AT+GMM", "+GMM: ORVA 56K Serial");
    second.modem().AnswerOk("AT$BRAND?", "$BRAND: ALPHA");
    Config("[ORVA 56K Serial]\nModemBrand=ALPHA, BETA\n");
    Ports({port.name(), second.name()});
    RunSearch(state, page.handle());
    ASSERT_TRUE(Found());
    EXPECT_EQ(state.portList.Entries(), std::vector<std::string>{second.name()});
}

TEST_F(ModemSearch, AModemThatAnswersErrorToTheBrandQuestionIsAccepted) {
    port.modem().AnswerOk("AT+GMM", "+GMM: ORVA 56K Serial");
    port.modem().AnswerError("AT$BRAND?");
    Config("[ORVA 56K Serial]\nModemBrand=ALPHA\n");
    Ports({port.name()});
    RunSearch(state, page.handle());
    EXPECT_TRUE(Found());
}

TEST_F(ModemSearch, AnUnknownModelOrNoModemGivesNotFound) {
    port.modem().AnswerOk("AT+GMM", "+GMM: Somebody Else's Modem");
    second.modem().silent = true;
    Config("[ORVA 56K Serial]\n");
    Ports({port.name(), second.name()});
    RunSearch(state, page.handle());
    EXPECT_FALSE(Found());
    EXPECT_TRUE(NotFound());
    EXPECT_EQ(Statuses().back(), "No compatible modem found!");
    EXPECT_EQ(state.portList.Entries().size(), 2u) << "the lists stay as they were";
}

TEST_F(ModemSearch, AnEmptyPortListIsNotFoundAtOnce) {
    Config("[ORVA 56K Serial]\n");
    Ports({});
    RunSearch(state, page.handle());
    EXPECT_EQ(Statuses(), std::vector<std::string>{"No compatible modem found!"});
    EXPECT_TRUE(NotFound());
}

TEST_F(ModemSearch, AModelNameHoldingOkIsMatchedWhole) {
    port.modem().AnswerOk("AT+GMM", "+GMM: OKAPI OK 56");
    Config("[OKAPI OK 56]\n");
    Ports({port.name()});
    RunSearch(state, page.handle());
    EXPECT_TRUE(Found());
}

TEST_F(ModemSearch, TextsFromTheModemStayWithinTheirBuffer) {
    std::string longName(400, 'M');
    port.modem().AnswerOk("AT+GMM", "+GMM: " + longName);
    Config("[ORVA]\n");
    Ports({port.name()});
    RunSearch(state, page.handle());
    for (const std::string& text : Statuses()) {
        EXPECT_LE(text.size(), 255u);
    }
    EXPECT_EQ(Statuses()[2], std::string(255, 'M'));
}

TEST_F(ModemSearch, EachStatusTextIsFollowedByAPause) {
    port.modem().AnswerOk("AT+GMM", "+GMM: ORVA");
    Config("[Other]\n");
    Ports({port.name()});
    std::uint64_t start = port.Now();
    RunSearch(state, page.handle());
    // Port line, opening, looking, found, closing, not found: six pauses of 400 ms.
    EXPECT_GE(port.Now() - start, 6u * 400u);
}

}  // namespace

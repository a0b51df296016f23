// What a row of update --all keeps of its child's events.
#include <gtest/gtest.h>

#include "wizard/cli/json/json_value.h"
#include "wizard/cli/modem_row.h"

namespace {

void Apply(const std::string& line, cli::ModemRow* row) {
    cli::json::Value event;
    std::string why;
    ASSERT_TRUE(cli::json::Parse(line, &event, &why)) << why;
    cli::ApplyEvent(event, row);
}

TEST(ModemRow, APortWithAModemInItsLoaderNamesTheRecoverCommandAndKeepsTheFirstError) {
    cli::ModemRow row;
    Apply(R"({"event":"in-loader","port":"/dev/ttyUSB3","version":1,)"
          R"("text":"a modem is waiting in its boot loader on /dev/ttyUSB3",)"
          R"("command":"wizard-cli recover --port /dev/ttyUSB3 --model NAME"})",
          &row);
    Apply(R"({"event":"result","port":null,"version":1,"exit-code":1,"outcome":"no-modem"})", &row);
    EXPECT_EQ(row.outcome, "no-modem");
    EXPECT_EQ(row.error,
              "a modem is waiting in its boot loader on /dev/ttyUSB3; to load its firmware: "
              "wizard-cli recover --port /dev/ttyUSB3 --model NAME");

    cli::ModemRow failed;
    Apply(R"({"event":"fatal","port":"/dev/ttyUSB3","version":1,"text":"first"})", &failed);
    Apply(R"({"event":"in-loader","port":"/dev/ttyUSB3","version":1,"text":"t","command":"c"})",
          &failed);
    EXPECT_EQ(failed.error, "first");
}

}  // namespace

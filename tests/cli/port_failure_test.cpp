// The words for a port that does not open: who holds a busy one, and what
// to do about one the user may not open.
#include <gtest/gtest.h>

#include "wizard/cli/port_failure.h"

namespace {

using platform::DeviceAccess;
using platform::DeviceUser;
using platform::DeviceUsers;

struct BusyCase {
    const char* what;
    DeviceUsers users;
    std::vector<DeviceUser> running;  // ModemManager processes
    const char* reason;
    bool hint;
};

void PrintTo(const BusyCase& c, std::ostream* out) {
    *out << c.what;
}

class BusyPortText : public ::testing::TestWithParam<BusyCase> {};

TEST_P(BusyPortText, NamesTheHolder) {
    const BusyCase& c = GetParam();
    const cli::PortFailure failure =
        cli::BusyPort(c.users, c.running, "the port is in use by another program");
    EXPECT_EQ(failure.reason, c.reason) << c.what;
    if (c.hint) {
        EXPECT_EQ(failure.hint,
                  "ModemManager probes every modem that appears; \"man wizard-cli\" "
                  "(MODEMMANAGER) shows how to keep it away from this one");
    } else {
        EXPECT_EQ(failure.hint, "") << c.what;
    }
}

const DeviceUser kModemManager{812, "ModemManager"};

INSTANTIATE_TEST_SUITE_P(
    Holders, BusyPortText,
    ::testing::Values(
        BusyCase{"a terminal program",
                 {{{4711, "minicom"}}, false},
                 {},
                 "the port is in use by minicom (pid 4711)",
                 false},
        BusyCase{"ModemManager",
                 {{kModemManager}, false},
                 {kModemManager},
                 "the port is in use by ModemManager (pid 812)",
                 true},
        BusyCase{"three holders",
                 {{{7, "screen"}, {8, "ModemManager"}, {9, "cat"}}, false},
                 {},
                 "the port is in use by screen (pid 7), ModemManager (pid 8) and cat (pid 9)",
                 true},
        BusyCase{"hidden holder, ModemManager running",
                 {{}, true},
                 {kModemManager},
                 "the port is in use by another program; ModemManager (pid 812) is running and "
                 "may hold it",
                 true},
        BusyCase{"ModemManager seen and not holding",
                 {{}, false},
                 {kModemManager},
                 "the port is in use by another program",
                 false},
        BusyCase{"hidden holder, no ModemManager",
                 {{}, true},
                 {},
                 "the port is in use by another program",
                 false}));

struct AccessCase {
    const char* what;
    DeviceAccess access;
    const char* text;
};

void PrintTo(const AccessCase& c, std::ostream* out) {
    *out << c.what;
}

class PermissionDeniedText : public ::testing::TestWithParam<AccessCase> {};

TEST_P(PermissionDeniedText, SaysWhatToDo) {
    EXPECT_EQ(cli::PermissionText(GetParam().access), GetParam().text) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, PermissionDeniedText,
    ::testing::Values(
        AccessCase{"not in the group",
                   {"/dev/ttyUSB0", "root", "dialout", 0660, "alice", false, false},
                   "permission denied: /dev/ttyUSB0 belongs to the group dialout; add yourself "
                   "to it with \"sudo usermod -aG dialout alice\", then log out and in again"},
        AccessCase{"joined, not logged in again",
                   {"/dev/ttyACM0", "root", "uucp", 0660, "bob", true, false},
                   "permission denied: /dev/ttyACM0 belongs to the group uucp, which bob has "
                   "joined since logging in: log out and in again"},
        AccessCase{"no rights for the group",
                   {"/dev/ttyS0", "root", "root", 0600, "alice", false, false},
                   "permission denied: /dev/ttyS0 may be opened by root only (owner root, "
                   "group root, mode 0600)"},
        AccessCase{"rights there, still refused",
                   {"/dev/ttyUSB1", "root", "dialout", 0660, "alice", true, true},
                   "permission denied: /dev/ttyUSB1 (owner root, group dialout, mode 0660)"}));

}  // namespace

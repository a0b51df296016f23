// Who has a device open and who may open it, checked against the system's
// own tools (fuser, stat, id) on a pseudo-terminal held by a helper.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "platform/device_users.h"
#include "platform/process.h"
#include "platform/pty.h"
#include "tests/support/device_holder.h"

namespace {

std::string Output(const std::vector<std::string>& argv) {
    platform::ProcessResult r = platform::RunProcess(argv, 10000);
    EXPECT_TRUE(r.started) << argv[0] << ": " << r.startError;
    std::string text = r.stdoutText;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::set<int> Pids(const std::string& text) {
    std::set<int> pids;
    std::istringstream words(text);
    int pid = 0;
    while (words >> pid) {
        pids.insert(pid);
    }
    return pids;
}

TEST(DeviceUsers, AreTheProcessesFuserFinds) {
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    // The master side is this process's; nobody has the device open yet.
    EXPECT_TRUE(platform::FindDeviceUsers(pty.SlavePath()).users.empty());

    std::vector<platform::Process> holders(2);
    for (platform::Process& holder : holders) {
        ASSERT_TRUE(test_support::HoldDeviceOpen(&holder, pty.SlavePath(), &error)) << error;
    }
    const platform::DeviceUsers found = platform::FindDeviceUsers(pty.SlavePath());
    std::set<int> pids;
    for (const platform::DeviceUser& user : found.users) {
        pids.insert(user.pid);
        EXPECT_EQ(user.program, "sleep");
    }
    EXPECT_EQ(pids, Pids(Output({"fuser", pty.SlavePath()})));
    EXPECT_EQ(pids, (std::set<int>{holders[0].Pid(), holders[1].Pid()}));

    holders[0].Stop();
    ASSERT_EQ(platform::FindDeviceUsers(pty.SlavePath()).users.size(), 1u);
    EXPECT_EQ(platform::FindDeviceUsers(pty.SlavePath()).users[0].pid, holders[1].Pid());
    EXPECT_TRUE(platform::FindDeviceUsers("/dev/no-such-port").users.empty());
}

TEST(DeviceUsers, ProcessesAreFoundByProgramName) {
    platform::Process sleeper;
    std::string error;
    ASSERT_TRUE(sleeper.Start({"sleep", "60"}, {}, platform::ProcessOutput::kCapture, &error));
    bool seen = false;
    for (const platform::DeviceUser& user : platform::FindProcesses("sleep")) {
        seen = seen || user.pid == sleeper.Pid();
    }
    EXPECT_TRUE(seen);
    EXPECT_TRUE(platform::FindProcesses("no-such-program-here").empty());
}

TEST(DeviceAccess, NamesOwnerGroupModeAndUserAsStatAndIdDo) {
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    platform::DeviceAccess access;
    ASSERT_TRUE(platform::DescribeDeviceAccess(pty.SlavePath(), &access));
    EXPECT_EQ(access.path, pty.SlavePath());
    EXPECT_EQ(access.owner + " " + access.group, Output({"stat", "-c", "%U %G", pty.SlavePath()}));
    EXPECT_EQ(access.mode, std::stoul(Output({"stat", "-c", "%a", pty.SlavePath()}), nullptr, 8));
    EXPECT_EQ(access.user, Output({"id", "-un"}));
    const std::string myGroups = " " + Output({"id", "-Gn"}) + " ";
    EXPECT_EQ(access.processInGroup, myGroups.find(" " + access.group + " ") != std::string::npos);
    EXPECT_FALSE(platform::DescribeDeviceAccess("/dev/no-such-port", &access));
}

}  // namespace

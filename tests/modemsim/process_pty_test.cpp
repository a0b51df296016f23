// The platform's child processes and pseudo-terminals, which every
// process-level test of the project builds on.
#include <gtest/gtest.h>

#include <signal.h>

#include <cerrno>
#include <filesystem>

#include "platform/process.h"
#include "platform/pty.h"
#include "raw_port.h"
#include "tests/support/temp_dir.h"

namespace modemsim_test {
namespace {

using platform::Process;
using platform::ProcessOutput;
using platform::ProcessResult;
using platform::RunProcess;

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(ProcessRun, ExitCodeAndBothOutputs) {
    ProcessResult result = RunProcess({"/bin/sh", "-c", "echo out; echo err >&2; exit 3"}, 10000);
    ASSERT_TRUE(result.started) << result.startError;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.stdoutText, "out\n");
    EXPECT_EQ(result.stderrText, "err\n");
}

TEST(ProcessRun, ChildStillRunningAtTheDeadlineIsStopped) {
    ProcessResult result = RunProcess({"sleep", "30"}, 200);
    ASSERT_TRUE(result.started) << result.startError;
    EXPECT_TRUE(result.timedOut);
    EXPECT_EQ(result.exitCode, 128 + SIGTERM);
}

TEST(ProcessRun, ProgramThatCannotRunFailsToStart) {
    ProcessResult result = RunProcess({"/nonexistent/program"}, 1000);
    EXPECT_FALSE(result.started);
    EXPECT_NE(result.startError.find("/nonexistent/program"), std::string::npos);
    ProcessResult empty = RunProcess({}, 1000);
    EXPECT_FALSE(empty.started);
}

TEST(ProcessRun, AddedEnvironmentReachesTheChild) {
    ProcessResult result = RunProcess({"/bin/sh", "-c", "echo \"$MODEMSIM_TEST_A-$HOME_SET\""},
                                      10000, {{"MODEMSIM_TEST_A", "alpha"}, {"HOME_SET", "yes"}});
    EXPECT_EQ(result.stdoutText, "alpha-yes\n");
}

TEST(ProcessRun, StandardInputIsEmpty) {
    ProcessResult result = RunProcess({"/bin/sh", "-c", "cat; echo done"}, 10000);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.stdoutText, "done\n");
}

TEST(ProcessRun, LargeOutputOnBothPipesDoesNotDeadlock) {
    ProcessResult result = RunProcess(
        {"/bin/sh", "-c", "head -c 300000 /dev/zero; head -c 200000 /dev/zero >&2; echo end"},
        20000);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.stdoutText.size(), 300004u);
    EXPECT_EQ(result.stderrText.size(), 200000u);
}

TEST(ProcessLines, ReadLineGivesLinesInOrder) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start({"/bin/sh", "-c", "echo one; printf 'two\\r\\n'; printf three"}, {},
                              ProcessOutput::kCapture, &error))
        << error;
    std::string line;
    ASSERT_TRUE(process.ReadLine(&line, 5000));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(process.ReadLine(&line, 5000));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(process.ReadLine(&line, 5000));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(process.ReadLine(&line, 200));
    EXPECT_TRUE(process.Wait(5000));
    EXPECT_EQ(process.ExitCode(), 0);
}

TEST(ProcessStop, ChildThatIgnoresSigtermIsKilled) {
    Process process;
    std::string error;
    ASSERT_TRUE(process.Start({"/bin/sh", "-c", "trap '' TERM; echo armed; exec sleep 30"}, {},
                              ProcessOutput::kCapture, &error))
        << error;
    std::string line;
    ASSERT_TRUE(process.ReadLine(&line, 5000));
    EXPECT_EQ(process.Stop(300), 128 + SIGKILL);
    EXPECT_TRUE(process.KilledBySignal());
    EXPECT_EQ(process.TermSignal(), SIGKILL);
    EXPECT_FALSE(process.Running());
}

TEST(ProcessStop, NeitherZombiesNorDescriptorsAreLeft) {
    const std::size_t before = OpenDescriptors();
    int pid = -1;
    {
        Process process;
        std::string error;
        ASSERT_TRUE(process.Start({"sleep", "30"}, {}, ProcessOutput::kCapture, &error)) << error;
        pid = process.Pid();
        ASSERT_GT(pid, 0);
    }  // the destructor stops and reaps it
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    for (int i = 0; i < 10; ++i) {
        RunProcess({"/bin/true"}, 5000);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

TEST(Pty, HostSideSpeedIsSeenFromTheMaster) {
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    unsigned speed = 0;
    ASSERT_TRUE(pty.HostLineSpeed(&speed));
    EXPECT_EQ(speed, 115200u);
    RawPort host;
    ASSERT_TRUE(host.Open(pty.SlavePath(), 57600));
    ASSERT_TRUE(pty.HostLineSpeed(&speed));
    EXPECT_EQ(speed, 57600u);
}

TEST(Pty, BytesPassBothWaysUnchanged) {
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    RawPort host;
    ASSERT_TRUE(host.Open(pty.SlavePath()));
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    EXPECT_EQ(pty.Write(all.data(), all.size(), 2000), all.size());
    EXPECT_EQ(host.ReadUntil(all, 3000), all);
    host.Write(all);
    std::string got;
    char buffer[512];
    while (got.size() < all.size()) {
        long n = pty.Read(buffer, sizeof buffer, 3000);
        if (n <= 0) {
            break;
        }
        got.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_EQ(got, all);
}

TEST(Pty, HostGoneIsNoticedAndOutputDropped) {
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    {
        RawPort host;
        ASSERT_TRUE(host.Open(pty.SlavePath()));
        EXPECT_TRUE(pty.HostAttached());
    }
    EXPECT_FALSE(pty.HostAttached());
    char buffer[16];
    EXPECT_EQ(pty.Read(buffer, sizeof buffer, 100), 0);
    EXPECT_EQ(pty.Write("lost", 4, 100), 4u);
    RawPort again;
    ASSERT_TRUE(again.Open(pty.SlavePath()));
    EXPECT_TRUE(pty.HostAttached());
    EXPECT_EQ(again.ReadFor(100), "");
}

TEST(Pty, LinkPointsAtTheDeviceUntilClose) {
    test_support::TempDir dir;
    platform::PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(115200, &error)) << error;
    const std::string link = dir.File("ttyModem");
    ASSERT_TRUE(pty.LinkAt(link, &error)) << error;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), pty.SlavePath());
    pty.Close();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

}  // namespace
}  // namespace modemsim_test

// The XModem sender and receiver, as wizard-cli runs them, against the
// XModem tools of lrzsz, in real time over pseudo-terminals. Each program
// has a line of its own (a bridge joins the two), so the tools' mode
// settings and flushes stay on their side of the cable.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/process.h"
#include "platform/testing/pty_bridge.h"
#include "tests/support/cli_runner.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_paths.h"

namespace {

using platform::Process;
using platform::ProcessOutput;

constexpr DWORD kTransferLimitMs = 60000;

// "cd DIR; exec TOOL ARGS < DEV > DEV": the tool speaks on its standard
// input and output, which are the slave device of its line. rx only writes
// below its working directory.
bool StartOnLine(Process& tool, const std::string& directory, const std::string& command,
                 const std::string& device) {
    std::string error;
    const bool started = tool.Start(
        {"sh", "-c", "cd '" + directory + "' && exec " + command + " < " + device + " > " + device},
        {}, ProcessOutput::kCapture, &error);
    EXPECT_TRUE(started) << error;
    return started;
}

// The receiver's file is the sent file followed by padding (0x1A) up to the
// end of its last block.
void ExpectPaddedCopy(const std::string& received, const std::string& sent, std::size_t block) {
    ASSERT_GE(received.size(), sent.size());
    EXPECT_TRUE(received.compare(0, sent.size(), sent) == 0) << "the data arrived changed";
    const std::string padding = received.substr(sent.size());
    EXPECT_LT(padding.size(), block);
    EXPECT_EQ(padding, std::string(padding.size(), 0x1A));
}

// File size and whether 1024-byte blocks are used.
class Lrzsz : public ::testing::TestWithParam<std::tuple<std::size_t, bool>> {
  protected:
    void SetUp() override {
        const platform::ProcessResult tools =
            platform::RunProcess({"sh", "-c", "command -v rx && command -v sx"}, 5000);
        ASSERT_EQ(tools.exitCode, 0) << "lrzsz (rx, sx) is not installed; tools/install-deps.sh "
                                        "installs it";
        std::string error;
        ASSERT_TRUE(bridge.Open(&error)) << error;
        size = std::get<0>(GetParam());
        oneK = std::get<1>(GetParam());
        content = test_support::RandomBytes(size, static_cast<unsigned>(size) + (oneK ? 7 : 3));
        input = dir.Write("sent.bin", content);
    }

    platform::testing::PtyBridge bridge;
    test_support::TempDir dir{"lrzsz"};
    std::size_t size = 0;
    bool oneK = false;
    std::string content;
    std::string input;
};

TEST_P(Lrzsz, OurSenderIntoRx) {
    Process rx;
    // Checksum mode (no -c), binary.
    ASSERT_TRUE(StartOnLine(rx, dir.Path(), "rx -X -b -q received.bin", bridge.PathA()));
    // rx asks with NAK and then flushes its input: start sending after that.
    ASSERT_TRUE(bridge.WaitForBytesFromA(1, 10000)) << rx.Stderr();

    Process ours;
    std::vector<std::string> argv = {test_support::ProgramPath("wizard-cli"), "xmodem-send",
                                     "--quiet", "--port", bridge.PathB()};
    if (oneK) {
        argv.push_back("--1k");
    }
    argv.push_back(input);
    std::string error;
    ASSERT_TRUE(ours.Start(argv, {}, ProcessOutput::kCapture, &error)) << error;

    ASSERT_TRUE(rx.Wait(kTransferLimitMs)) << "rx did not finish";
    EXPECT_EQ(rx.ExitCode(), 0) << rx.Stderr() << rx.Stdout();
    ExpectPaddedCopy(dir.Read("received.bin"), content, oneK ? 1024 : 128);
    // rx flushes its line as it exits, which may swallow its last ACK; our
    // sender then keeps asking. When it ends by itself it must have seen
    // the transfer succeed.
    if (ours.Wait(1000)) {
        EXPECT_EQ(ours.ExitCode(), 0) << ours.Stderr() << ours.Stdout();
    } else {
        ours.Stop();
    }
}

TEST_P(Lrzsz, SxIntoOurReceiver) {
    Process sx;
    ASSERT_TRUE(StartOnLine(sx, dir.Path(), std::string("sx -q ") + (oneK ? "-k " : "") + input,
                            bridge.PathA()));
    test_support::CliResult r = test_support::RunCli(
        {"xmodem-recv", "--quiet", "--port", bridge.PathB(), dir.File("received.bin")},
        kTransferLimitMs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // sx ends 1K transfers with 128-byte blocks.
    ExpectPaddedCopy(dir.Read("received.bin"), content, 128);
    if (!sx.Wait(1000)) {
        sx.Stop();
    }
}

std::string Name(const ::testing::TestParamInfo<std::tuple<std::size_t, bool>>& info) {
    return std::to_string(std::get<0>(info.param)) + (std::get<1>(info.param) ? "_1K" : "_128");
}

INSTANTIATE_TEST_SUITE_P(
    Files, Lrzsz,
    ::testing::Combine(::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{127},
                                         std::size_t{128}, std::size_t{1023}, std::size_t{1024},
                                         std::size_t{1025}, std::size_t{300 * 1024}),
                       ::testing::Bool()),
    Name);

}  // namespace

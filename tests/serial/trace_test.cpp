// The trace channel: silent by default, a file when switched on, shared
// through the pipe handle.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "serial/trace.h"
#include "tests/support/trace_capture.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Trace, IsSilentUntilSwitchedOn) {
    EXPECT_EQ(xdebug_GetPipe(), nullptr);
    errno = 0;
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "nobody hears %s\n", "this");
    EXPECT_EQ(errno, 0);
}

TEST(Trace, WritesToAFileAndKeepsErrno) {
    std::string path = ::testing::TempDir() + "/trace_test.log";
    std::remove(path.c_str());
    std::string error;
    ASSERT_TRUE(xdebug_OpenFile(path, &error)) << error;
    errno = EBUSY;
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Open: <%s>\n", "COM1");
    xdebug_Trace(1, TRACE_LEVEL_STEP, "%s", std::string(2000, 'x').c_str());
    EXPECT_EQ(errno, EBUSY);
    xdebug_Close();
    EXPECT_EQ(xdebug_GetPipe(), nullptr);
    EXPECT_EQ(ReadFile(path), "CSerial::Open: <COM1>\n" + std::string(2000, 'x'));
}

TEST(Trace, AnUnwritableFileIsReported) {
    std::string error;
    EXPECT_FALSE(xdebug_OpenFile("/nonexistent-dir/trace.log", &error));
    EXPECT_FALSE(error.empty());
}

TEST(Trace, APipeHandedOnCarriesTheText) {
    test_support::TraceCapture capture;
    void* pipe = xdebug_GetPipe();
    ASSERT_NE(pipe, nullptr);
    xdebug_UsePipe(nullptr);
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "lost\n");
    xdebug_UsePipe(pipe);  // what a plug-in does with the wizard's handle
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "#### Dll attached to xdebug Pipe #### \n\n");
    EXPECT_EQ(capture.Text(), "#### Dll attached to xdebug Pipe #### \n\n");
}

}  // namespace

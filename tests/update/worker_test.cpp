// The worker thread's message loop.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/update/update_fixture.h"
#include "wizard/engine/worker.h"

namespace {

class WorkerLoop : public UpdateFixture {
  protected:
    // Waits (real time) until the page has count messages.
    bool WaitForMessages(std::size_t count) {
        for (int i = 0; i < 500; ++i) {
            if (page.Messages().size() >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

TEST_F(WorkerLoop, AnyOtherMessageOnlyAcknowledgesAndQuitEndsTheLoop) {
    Worker worker(state);
    worker.Start();
    ASSERT_TRUE(worker.Post(4711, 0, reinterpret_cast<LPARAM>(page.handle())));
    ASSERT_TRUE(WaitForMessages(1));
    worker.Quit();
    worker.Join();
    EXPECT_FALSE(worker.Running());
    std::vector<std::pair<WPARAM, LPARAM>> expected = {{0, 1}, {0, 0}};
    EXPECT_EQ(page.Posted(WM_WIZ_WORKER), expected);
    EXPECT_EQ(page.Messages().size(), 2u);
    EXPECT_FALSE(worker.Post(WM_WIZ_SEARCH, 0, reinterpret_cast<LPARAM>(page.handle())))
        << "an ended worker takes no more requests";
}

TEST_F(WorkerLoop, ASearchRequestRunsTheSearchForThePageThatAsked) {
    WriteConfig("[ORVA]\n");
    state.portList = PortList();
    Worker worker(state);
    worker.Start();
    worker.Post(WM_WIZ_SEARCH, 0, reinterpret_cast<LPARAM>(page.handle()));
    ASSERT_TRUE(WaitForMessages(3));
    worker.Quit();
    worker.Join();
    EXPECT_EQ(page.Posted(WM_WIZ_NOTFOUND).size(), 1u);
}

TEST_F(WorkerLoop, AnUpdateThatCannotGoOnEndsTheWorker) {
    WriteConfig("[ORVA]\nUploadFile=x\nDLLName=Missing.so\n");
    Choose(port.name(), "ORVA");
    Worker worker(state);
    worker.Start();
    worker.Post(WM_WIZ_UPDATE, 0, reinterpret_cast<LPARAM>(page.handle()));
    worker.Join();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(page.Posted(WM_WIZ_WORKER).back(), (std::pair<WPARAM, LPARAM>{0, 0}));
    EXPECT_EQ(ProcessFatals().size(), 1u);
}

}  // namespace

// The worker thread's message loop.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
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

// A page whose first message keeps the worker busy until the test lets go.
class HoldingPage {
  public:
    HoldingPage() : target_{&HoldingPage::Post, nullptr, nullptr, nullptr, nullptr, this} {}
    HWND handle() { return &target_; }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    bool WaitHeld() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [&] { return held_; });
    }
    std::vector<LPARAM> WorkerMessages() {
        std::lock_guard<std::mutex> lock(mutex_);
        return workerMessages_;
    }

  private:
    static int Post(HWND target, UINT message, WPARAM, LPARAM lParam) {
        auto* self = static_cast<HoldingPage*>(target->context);
        std::unique_lock<std::mutex> lock(self->mutex_);
        if (message == WM_WIZ_WORKER) {
            self->workerMessages_.push_back(lParam);
        }
        if (!self->held_) {
            self->held_ = true;
            self->changed_.notify_all();
            self->changed_.wait(lock, [&] { return self->released_; });
        }
        return 1;
    }
    HWND__ target_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
    std::vector<LPARAM> workerMessages_;
};

TEST_F(WorkerLoop, ADestroyedWorkerFinishesItsRequestBeforeItGoes) {
    HoldingPage holding;
    auto worker = std::make_unique<Worker>(state);
    worker->Start();
    ASSERT_TRUE(worker->Post(4711, 0, reinterpret_cast<LPARAM>(holding.handle())));
    ASSERT_TRUE(holding.WaitHeld()) << "the worker took the request";
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holding.Release();
    });
    worker.reset();
    // The thread has sent its last message before its object went.
    EXPECT_EQ(holding.WorkerMessages(), (std::vector<LPARAM>{1, 0}));
    later.join();
}

}  // namespace

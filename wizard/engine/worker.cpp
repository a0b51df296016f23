#include "wizard/engine/worker.h"

#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "serial/trace.h"
#include "wizard/engine/modem_search.h"
#include "wizard/engine/update_run.h"

Worker::Worker(WizardState& state) : state_(state) {}

Worker::~Worker() {
    if (thread_.joinable()) {
        queue_.PostQuit();
        thread_.join();
    }
}

void Worker::Start() {
    running_.store(true);
    thread_ = std::thread(&Worker::Run, this);
}

bool Worker::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    return running_.load() && queue_.Post(platform::ThreadMessage{message, wParam, lParam});
}

void Worker::Quit() {
    queue_.PostQuit();
}

void Worker::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void Worker::Run() {
    HWND page = nullptr;
    platform::ThreadMessage message{};
    while (queue_.Get(&message)) {
        page = reinterpret_cast<HWND>(message.lParam);
        PostMessage(page, WM_WIZ_WORKER, 0, 1);
        if (message.message == WM_WIZ_SEARCH) {
            RunSearch(state_, page);
        } else if (message.message == WM_WIZ_UPDATE || message.message == WM_WIZ_RECOVER) {
            if (!(message.message == WM_WIZ_UPDATE ? RunUpdate(state_, page)
                                                   : RunRecovery(state_, page))) {
                xdebug_Trace(-1, TRACE_LEVEL_STEP, "Worker: update ended, worker ends\n");
                break;
            }
        }
    }
    PostMessage(page, WM_WIZ_WORKER, 0, 0);
    // Last: once this is seen, the owner may let the page and this object go.
    running_.store(false);
}

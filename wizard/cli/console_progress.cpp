#include "wizard/cli/console_progress.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "wizard/cli/progress_line.h"
#include "wizard/resources/strings.h"

namespace cli {
namespace {

volatile std::sig_atomic_t g_interrupts = 0;

// The first Ctrl-C cancels the transfer, which then ends cleanly (CAN to
// the peer, partial file handled); a second one leaves at once.
extern "C" void OnInterrupt(int) {
    g_interrupts = g_interrupts + 1;
    if (g_interrupts > 1) {
        std::_Exit(130);
    }
}

constexpr int kBarWidth = 30;

static_assert(wizard::IDS_TRANSFER_UPLOAD == IDS_TRANSFER_UPLOAD &&
                  wizard::IDS_TRANSFER_DOWNLOAD == IDS_TRANSFER_DOWNLOAD,
              "the dialog's texts are the wizard's");

}  // namespace

ConsoleProgressView::ConsoleProgressView(bool quiet) : quiet_(quiet) {
    g_interrupts = 0;
    std::signal(SIGINT, &OnInterrupt);
}

ConsoleProgressView::~ConsoleProgressView() {
    std::signal(SIGINT, SIG_DFL);
}

std::string ConsoleProgressView::LoadText(int id) {
    return wizard::LoadText(id);
}

void ConsoleProgressView::SetTitle(const std::string& title) {
    (void)title;  // the text line names the file already
}

void ConsoleProgressView::SetText(const std::string& text) {
    text_ = text;
    Draw();
}

void ConsoleProgressView::SetBytes(std::int64_t done, std::int64_t total) {
    done_ = done;
    total_ = total;
}

void ConsoleProgressView::SetPercentage(int percent) {
    const bool forward = percent > percent_ || total_ == 0;
    dirty_ = dirty_ || percent != percent_;
    percent_ = percent;
    // The bar only moves back at the next wait: the tick that ends the
    // dialog resets it, and the last position should stay on the screen.
    if (forward) {
        Draw();
    }
}

void ConsoleProgressView::Wait(DWORD ms) {
    if (dirty_) {
        Draw();
    }
    TransferProgressView::Wait(ms);
}

void ConsoleProgressView::Draw() {
    if (quiet_ || percent_ < 0) {
        dirty_ = false;
        return;
    }
    if (total_ == 0) {
        // Size unknown: count the bytes instead of drawing a bar.
        std::fprintf(stderr, "\r%s %lld bytes", text_.c_str(),
                     static_cast<long long>(done_ < 0 ? 0 : done_));
    } else {
        std::fprintf(stderr, "\r%s %s %3d%%", text_.c_str(), Bar(percent_, kBarWidth).c_str(),
                     percent_);
    }
    std::fflush(stderr);
    drawn_ = true;
    dirty_ = false;
}

bool ConsoleProgressView::CancelPressed() {
    if (g_interrupts == 0) {
        return false;
    }
    if (!cancelNoticed_) {
        cancelNoticed_ = true;
        std::fprintf(stderr,
                     "%swizard-cli: cancelling the transfer (Ctrl-C again to quit at once)\n",
                     drawn_ ? "\n" : "");
        drawn_ = false;
    }
    return true;
}

void ConsoleProgressView::Close(int result) {
    (void)result;
    if (drawn_) {
        std::fputc('\n', stderr);
        drawn_ = false;
    }
}

std::unique_ptr<TransferProgressView> ConsoleProgressViews::CreateTransferView(HINSTANCE instance,
                                                                               HWND owner) {
    (void)instance;
    (void)owner;
    return std::make_unique<ConsoleProgressView>(quiet_);
}

bool TransferInterrupted() {
    return g_interrupts != 0;
}

}  // namespace cli

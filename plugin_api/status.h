// _Status: the progress and state record that the wizard owns and lends to
// the XModem methods and the plug-ins. Separately built plug-ins write it,
// so its layout is fixed: plain C, nothing added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "plugin_api/message_target.h"

struct _Status {
    // Progress text; a printf format with one "%d" (the percentage) unless
    // total is -1.
    char text[256];
    // Units of the running piece of work; -1 = no percentage.
    std::int32_t total;
    // Units done; the page shows done / total.
    std::int32_t done;
    // Update state: 1 started, 2 succeeded, 3 failed, 0 cleared.
    std::int32_t state;
    // Full path of Wizard.inf.
    char iniPath[260];
    // Name of the chosen model's section.
    char model[256];
};

static_assert(offsetof(_Status, total) == 256, "_Status layout is shared with plug-ins");
static_assert(offsetof(_Status, done) == 260, "_Status layout is shared with plug-ins");
static_assert(offsetof(_Status, state) == 264, "_Status layout is shared with plug-ins");
static_assert(offsetof(_Status, iniPath) == 268, "_Status layout is shared with plug-ins");
static_assert(offsetof(_Status, model) == 528, "_Status layout is shared with plug-ins");
static_assert(sizeof(_Status) == 784, "_Status layout is shared with plug-ins");

// Empties text and sets total, done and state to 0; iniPath and model stay.
inline void ClearStatus(_Status* status) {
    if (status == nullptr) {
        return;
    }
    status->text[0] = '\0';
    status->total = 0;
    status->done = 0;
    status->state = 0;
}

// Copies text into a fixed field. A text that does not fit (with its NUL)
// is refused: false, and the field is left as it was.
template <std::size_t N>
bool CopyText(char (&field)[N], const char* text) {
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    if (length >= N) {
        return false;
    }
    std::memcpy(field, text != nullptr ? text : "", length + 1);
    return true;
}

// One of a plug-in's own steps begins: un-highlights the current step,
// moves the counter on and highlights the new step, posting stepMessage to
// page each time.
inline void AdvanceStep(HWND page, UINT stepMessage, int* stepCounter) {
    if (stepCounter == nullptr) {
        return;
    }
    PostMessage(page, stepMessage, static_cast<WPARAM>(*stepCounter), 0);
    ++*stepCounter;
    PostMessage(page, stepMessage, static_cast<WPARAM>(*stepCounter), 1);
}

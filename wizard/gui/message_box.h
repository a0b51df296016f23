// The wizard's message boxes, and the end of the process that follows a
// fatal error.
#pragma once

#include <string>

#include "platform/types.h"

class QWidget;

namespace gui {

// Environment variable for tests: when set, no box is shown. Its text goes
// to the standard error stream as "Message box: TEXT" and the box answers
// with its first button (OK or Yes), so a test can run the program unattended.
constexpr const char* kAnswerBoxesVariable = "WIZARD_TEST_ANSWER_BOXES";

// Shows text in a modal box without caption, owned by owner (none: the
// box stands alone); buttons and icon as the MB_* style says. Returns IDOK,
// IDCANCEL, IDYES or IDNO. Runs on the GUI thread only.
int ShowMessageBox(QWidget* owner, const std::string& text, UINT style);

// A fatal error: the error box with text, then the process ends with exit
// code 1. Returns (false) only when another fatal error is already being
// shown, which ends the process itself. GUI thread only.
bool ShowFatalAndEnd(QWidget* owner, const std::string& text);

// The same from any thread; never returns.
[[noreturn]] void FatalFromAnyThread(const std::string& text);

// Ends the process with code now, without running the destructors of
// static objects: the worker thread may still be talking to a modem and
// ends with the process.
[[noreturn]] void EndProcess(int code);

}  // namespace gui

// What lets the tests run Wizard.exe unattended: a log of what the program
// shows (the file that WIZARD_TEST_AUTOPILOT names) and message boxes that
// answer themselves (WIZARD_TEST_ANSWER_BOXES). Neither is set for users.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// The autopilot's log file; empty when the program runs for a user.
const std::string& AutopilotLog();
// Appends a line to the log (nothing without one), its line breaks
// written as \\r and \\n. Any thread.
void TestLog(const std::string& line);
// Message boxes are logged as "Message box: TEXT" and answered with their
// first button instead of being shown.
bool AnswerBoxesForTests();

// UTF-8 of a window's text.
std::string WindowText(HWND window);
std::wstring Wide(const std::string& utf8);

}  // namespace win32

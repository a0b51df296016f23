// A fatal error outside any page (plug-in binding, start-up): the front
// end shows the text in an error box without caption or owner, and the
// process ends with exit code 1.
#pragma once

#include <string>

#include "platform/types.h"

using FatalHandler = void (*)(const std::string& text);

// The front end's way of showing the text. The default prints it on the
// standard error stream. Tests may install a handler and let the worker
// carry on: FatalExit then returns.
void SetFatalHandler(FatalHandler handler, bool exitAfterwards = true);

// Shows the text and ends the process with exit code 1.
void FatalExit(const std::string& text);

// A user text for a terminal: its "\r" line breaks as line feeds.
std::string TerminalText(const std::string& text);

// Posts the text of a string-table id to page with WM_WIZ_FATAL. The text
// travels by pointer, in a buffer that is not written again: the page shows
// it and ends the process.
void PostFatalText(HWND page, int textId);

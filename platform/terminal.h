// Facts about the process's terminal.
#pragma once

namespace platform {

// True when standard input / standard error is an interactive terminal.
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// The width of the terminal on standard error in columns; 0 when it is no
// terminal or does not say.
int StandardErrorColumns();

}  // namespace platform

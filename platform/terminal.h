// Facts about the process's terminal.
#pragma once

namespace platform {

// True when standard input / standard error is an interactive terminal.
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

}  // namespace platform

#include "platform/win32/windows_api.h"

#include "platform/terminal.h"

namespace platform {
namespace {

// A console, not a file or a pipe.
bool IsConsole(DWORD which) {
    HANDLE handle = ::GetStdHandle(which);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           ::GetFileType(handle) == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

bool StandardInputIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}

bool StandardErrorIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

int StandardErrorColumns() {
    if (!IsConsole(STD_ERROR_HANDLE)) {
        return 0;
    }
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) {
        return 0;
    }
    // The window's width, not the buffer's: the buffer may be far wider.
    return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace platform

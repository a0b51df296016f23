#include "platform/win32/windows_api.h"

#include <cctype>
#include <cstring>

#include "platform/win32/port_guard.h"

namespace platform::win32 {
namespace {

struct Note {
    DWORD pid;
    char program[MAX_PATH];
};

// A port's note: the device path in capitals, without the "\\.\" prefix and
// without backslashes (which the name of a kernel object cannot hold).
std::string NoteName(const std::string& path) {
    std::string name = path.compare(0, 4, "\\\\.\\") == 0 ? path.substr(4) : path;
    for (char& c : name) {
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return "Local\\ModemWizardSerialPort-" + name;
}

std::string ProgramName() {
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return {};
    }
    const std::string whole(path, length);
    const std::size_t slash = whole.find_last_of("\\/");
    return slash == std::string::npos ? whole : whole.substr(slash + 1);
}

}  // namespace

bool PortGuard::Claim(const std::string& devicePath, DWORD* error) {
    Release();
    HANDLE note = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(Note), NoteName(devicePath).c_str());
    if (note == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        *error = ERROR_ACCESS_DENIED;  // what share mode 0 gives
        if (note != nullptr) {
            ::CloseHandle(note);
        }
        return false;
    }
    if (auto* view =
            static_cast<Note*>(::MapViewOfFile(note, FILE_MAP_WRITE, 0, 0, sizeof(Note)))) {
        view->pid = ::GetCurrentProcessId();
        const std::string program = ProgramName();
        std::strncpy(view->program, program.c_str(), sizeof view->program - 1);
        ::UnmapViewOfFile(view);
    }
    note_ = note;
    return true;
}

void PortGuard::Release() {
    if (note_ != nullptr) {
        ::CloseHandle(note_);
        note_ = nullptr;
    }
}

bool PortGuard::Holder(const std::string& devicePath, DWORD* pid, std::string* program) {
    HANDLE note = ::OpenFileMappingA(FILE_MAP_READ, FALSE, NoteName(devicePath).c_str());
    if (note == nullptr) {
        return false;
    }
    bool told = false;
    if (auto* view =
            static_cast<const Note*>(::MapViewOfFile(note, FILE_MAP_READ, 0, 0, sizeof(Note)))) {
        // A note being written is still empty: its holder cannot be told yet.
        *pid = view->pid;
        *program = std::string(view->program, strnlen(view->program, sizeof view->program));
        told = *pid != 0;
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(note);
    return told;
}

}  // namespace platform::win32

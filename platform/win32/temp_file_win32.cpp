// Temporary files as the system makes them: GetTempFileNameA with the
// prefix "TMP" in the temporary directory (the Windows directory when no
// name can be made there), opened without sharing and deleted on close.
#include "platform/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include "platform/temp_file.h"

namespace platform {
namespace {

bool UniqueName(const char* dir, char (&name)[MAX_PATH]) {
    return dir[0] != '\0' && ::GetTempFileNameA(dir, "TMP", 0, name) != 0;
}

}  // namespace

std::FILE* CreateTemporaryFile() {
    char dir[MAX_PATH] = "";
    char name[MAX_PATH] = "";
    DWORD length = ::GetTempPathA(sizeof dir, dir);
    if (length == 0 || length >= sizeof dir || !UniqueName(dir, name)) {
        length = ::GetWindowsDirectoryA(dir, sizeof dir);
        if (length == 0 || length >= sizeof dir || !UniqueName(dir, name)) {
            return nullptr;
        }
    }
    // GetTempFileNameA has made the file; it is made anew for this handle.
    HANDLE handle = ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ::DeleteFileA(name);
        return nullptr;
    }
    int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = ::_fdopen(fd, "w+b");
    if (file == nullptr) {
        ::_close(fd);  // closes the handle, which deletes the file
    }
    return file;
}

}  // namespace platform

#include "serial/trace.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/serial_port.h"

namespace {

struct FileSink {
    std::FILE* file = nullptr;
    std::mutex mutex;
};

FileSink g_fileSink;
TracePipe g_filePipe{nullptr, &g_fileSink};
std::atomic<TracePipe*> g_pipe{nullptr};

void WriteToFile(TracePipe* pipe, const char* text, std::size_t length) {
    auto* sink = static_cast<FileSink*>(pipe->context);
    std::lock_guard<std::mutex> lock(sink->mutex);
    if (sink->file != nullptr) {
        std::fwrite(text, 1, length, sink->file);
        std::fflush(sink->file);
    }
}

}  // namespace

void xdebug_Trace(int channel, int level, const char* format, ...) {
    (void)channel;
    (void)level;
    TracePipe* pipe = g_pipe.load();
    if (pipe == nullptr || format == nullptr) {
        return;
    }
    const int savedErrno = errno;
    const DWORD savedError = platform::GetLastError();

    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (needed >= 0 && static_cast<std::size_t>(needed) < sizeof small) {
        pipe->write(pipe, small, static_cast<std::size_t>(needed));
    } else if (needed >= 0) {
        std::vector<char> large(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(large.data(), large.size(), format, copy);
        pipe->write(pipe, large.data(), static_cast<std::size_t>(needed));
    }
    va_end(copy);

    platform::SetLastError(savedError);
    errno = savedErrno;
}

void* xdebug_GetPipe() {
    return g_pipe.load();
}

void xdebug_Start(int reserved) {
    (void)reserved;
}

bool xdebug_OpenFile(const std::string& path, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        if (error != nullptr) {
            *error = std::strerror(errno);
        }
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(g_fileSink.mutex);
        if (g_fileSink.file != nullptr) {
            std::fclose(g_fileSink.file);
        }
        g_fileSink.file = file;
    }
    g_filePipe.write = &WriteToFile;
    g_pipe.store(&g_filePipe);
    return true;
}

void xdebug_UsePipe(void* pipe) {
    g_pipe.store(static_cast<TracePipe*>(pipe));
}

bool xdebug_StartFromEnvironment() {
    const char* path = std::getenv(kTraceEnvironmentVariable);
    if (path == nullptr || *path == '\0') {
        return g_pipe.load() != nullptr;
    }
    return xdebug_OpenFile(path, nullptr);
}

void xdebug_Close() {
    g_pipe.store(nullptr);
    std::lock_guard<std::mutex> lock(g_fileSink.mutex);
    if (g_fileSink.file != nullptr) {
        std::fclose(g_fileSink.file);
        g_fileSink.file = nullptr;
    }
}

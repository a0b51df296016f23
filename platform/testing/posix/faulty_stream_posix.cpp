#include "platform/testing/faulty_stream.h"

#include <sys/types.h>
#include <cerrno>
#include <cstring>

namespace platform::testing {
namespace {

struct ReadCookie {
    std::string content;
    std::size_t at = 0;
};

ssize_t ReadSome(void* cookie, char* buffer, std::size_t size) {
    auto* state = static_cast<ReadCookie*>(cookie);
    if (state->at >= state->content.size()) {
        errno = EIO;
        return -1;
    }
    std::size_t n = std::min(size, state->content.size() - state->at);
    std::memcpy(buffer, state->content.data() + state->at, n);
    state->at += n;
    return static_cast<ssize_t>(n);
}

int CloseRead(void* cookie) {
    delete static_cast<ReadCookie*>(cookie);
    return 0;
}

struct WriteCookie {
    std::size_t capacity;
    std::size_t used = 0;
};

ssize_t WriteSome(void* cookie, const char* buffer, std::size_t size) {
    (void)buffer;
    auto* state = static_cast<WriteCookie*>(cookie);
    std::size_t n = std::min(size, state->capacity - state->used);
    if (n == 0 && size > 0) {
        errno = ENOSPC;
        return -1;
    }
    state->used += n;
    return static_cast<ssize_t>(n);
}

int CloseWrite(void* cookie) {
    delete static_cast<WriteCookie*>(cookie);
    return 0;
}

}  // namespace

std::FILE* OpenFailingReadStream(const std::string& content) {
    cookie_io_functions_t functions{};
    functions.read = &ReadSome;
    functions.close = &CloseRead;
    return fopencookie(new ReadCookie{content, 0}, "rb", functions);
}

std::FILE* OpenFullDiskStream(std::size_t capacity) {
    cookie_io_functions_t functions{};
    functions.write = &WriteSome;
    functions.close = &CloseWrite;
    return fopencookie(new WriteCookie{capacity, 0}, "wb", functions);
}

}  // namespace platform::testing

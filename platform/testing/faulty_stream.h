// Standard-library file streams that fail on purpose, for testing how code
// reacts to a failing disk. Where the C library cannot make streams of its
// own (Windows) both functions return null.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform::testing {

#if defined(_WIN32)
constexpr bool kFaultyStreamsAvailable = false;
#else
constexpr bool kFaultyStreamsAvailable = true;
#endif

// A readable stream that yields content and then reports a read error (EIO)
// instead of the end of the file. Close with fclose.
std::FILE* OpenFailingReadStream(const std::string& content);

// A writable stream whose device takes capacity bytes and then reports the
// disk full (ENOSPC). The stream is buffered as usual: with the default
// buffer a failure shows only when the buffer is flushed; call setvbuf with
// _IONBF to see it at the failing fwrite. Close with fclose.
std::FILE* OpenFullDiskStream(std::size_t capacity);

}  // namespace platform::testing

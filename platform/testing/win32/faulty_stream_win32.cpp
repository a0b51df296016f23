// Windows' C library has no streams of one's own making (no fopencookie,
// no funopen): the faulty streams cannot be had here.
#include "platform/testing/faulty_stream.h"

namespace platform::testing {

std::FILE* OpenFailingReadStream(const std::string&) {
    return nullptr;
}

std::FILE* OpenFullDiskStream(std::size_t) {
    return nullptr;
}

}  // namespace platform::testing

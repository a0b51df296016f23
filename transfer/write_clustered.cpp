#include <algorithm>

#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/xmodem.h"

namespace {

// Small pieces keep each write short enough for its own time-out, so a
// stalled line is noticed within half a second.
constexpr int kPieceSize = 64;
constexpr DWORD kPieceTimeoutMs = 500;

}  // namespace

int WriteClustered(CSerial* port, std::string data, int length) {
    const int total = std::min<int>(length, static_cast<int>(data.size()));
    for (int at = 0; at < total; at += kPieceSize) {
        const int piece = std::min(kPieceSize, total - at);
        std::string bytes =
            data.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(piece));
        if (port->WriteTimeout(bytes, static_cast<DWORD>(piece), kPieceTimeoutMs) !=
            static_cast<DWORD>(piece)) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP,
                         "WriteClustered: ... wrong data size, now aborting.\n");
            return 0;
        }
    }
    return length;
}

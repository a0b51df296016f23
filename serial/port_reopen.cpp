#include "serial/port_reopen.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/port_names.h"
#include "platform/serial_port.h"
#include "serial/serial.h"
#include "serial/trace.h"

namespace {

// A name that is back before its device answers opens: a pause between
// such tries.
constexpr DWORD kRetryPauseMs = 100;

}  // namespace

bool ReopenPort(CSerial* port, DWORD limitMs) {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (port->Open()) {
            return true;
        }
        const DWORD error = platform::GetLastError();
        const DWORD elapsed = platform::GetTickCount() - start;
        if (!platform::IsDeviceGoneError(error) || elapsed >= limitMs) {
            return false;
        }
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "ReopenPort: <%s> is not there; waiting for it\n",
                     port->PortName().c_str());
        if (!platform::WaitForPortName(port->PortName(), limitMs - elapsed)) {
            return false;
        }
        const DWORD waited = platform::GetTickCount() - start;
        // Back, perhaps not ready yet; the next try must not come at once.
        platform::Sleep(waited < limitMs ? std::min(kRetryPauseMs, limitMs - waited) : 0);
    }
}

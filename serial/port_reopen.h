// Opening a port again once its device may have left the bus: a USB modem
// that restarts into new firmware disappears for a while and comes back.
#pragma once

#include "platform/types.h"

class CSerial;

// Opens port (its stored name). While the device is not there, waits for
// its name to come back, sleeping, and tries again, up to limitMs in all.
// False at once when the port is there but cannot be opened (busy,
// forbidden), and when the device is not back in time.
bool ReopenPort(CSerial* port, DWORD limitMs);

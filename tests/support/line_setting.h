// The line setting CSerial::Open leaves, as a check both the scripted and
// the real ports are held to.
#pragma once

#include "platform/types.h"

namespace test_support {

// 115200 bit/s, 8 data bits, no parity, one stop bit, CTS output flow
// control on, DSR output flow control and XON/XOFF off.
void ExpectFixedLineSetting(const DCB& dcb);

}  // namespace test_support

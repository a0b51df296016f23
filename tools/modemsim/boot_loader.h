// The modem's boot loader: it runs at its own line speed, asks for the
// firmware (and, on some models, first a flash loader) with NAKs, receives
// it by XModem and starts it when its header is sound.
#pragma once

#include "tools/modemsim/modem_context.h"

namespace modemsim {

class BootLoader {
  public:
    explicit BootLoader(ModemContext& context) : context_(context) {}
    Mode Run();

  private:
    ModemContext& context_;
};

// With --no-at: a modem without AT interpreter. It does nothing until the
// host writes something, which stands for the user switching it off and on;
// after the power-cycle delay its boot loader runs.
Mode WaitForPowerCycle(ModemContext& context);

}  // namespace modemsim

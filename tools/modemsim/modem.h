// The whole pretend modem: its modes and the switches between them.
#pragma once

#include <string>

#include "tools/modemsim/at_interpreter.h"
#include "tools/modemsim/boot_loader.h"
#include "tools/modemsim/flash_loader.h"
#include "tools/modemsim/modem_context.h"

namespace modemsim {

class Modem {
  public:
    Modem(const Options& options, EventLog& log, Line& line);

    // Creates the store and received-files directories when missing.
    bool Prepare(std::string* error);

    // Plays the modem until a stop is requested.
    void Run();

  private:
    ModemContext context_;
    FlashLoader flash_;
    AtInterpreter at_;
    BootLoader boot_;
};

}  // namespace modemsim

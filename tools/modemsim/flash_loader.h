// The flash-loader modem: its loader arrives as "at&&f" commands carrying
// Intel HEX records; once the loader runs, the firmware arrives as bare
// records, each acknowledged on its own.
#pragma once

#include <string>
#include <vector>

#include "tools/modemsim/modem_context.h"

namespace modemsim {

class FlashLoader {
  public:
    explicit FlashLoader(ModemContext& context);

    struct LoaderAnswer {
        std::string text;      // the answer to send
        bool started = false;  // the loader now runs (its end record came)
    };
    // One loader record from an "at&&f" command (record without line end).
    LoaderAnswer LoaderRecord(const std::string& record);

    // The running loader, until the firmware's end record is acknowledged.
    Mode Run();

  private:
    void Erase();
    // Returns true when the firmware is complete.
    bool Record(const std::string& record);

    ModemContext& context_;
    int loaderRecords_ = 0;
    int firmwareRecords_ = 0;
    // Refusals still to come, per fault of the options (< 0: without end).
    std::vector<int> nokLeft_;
};

}  // namespace modemsim

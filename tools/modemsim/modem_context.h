// What the modem's modes share: its settings, its line, its memory (echo,
// firmware version, country, file store) and its report.
#pragma once

#include <memory>
#include <string>

#include "platform/types.h"
#include "tools/modemsim/event_log.h"
#include "tools/modemsim/faults.h"
#include "tools/modemsim/file_store.h"
#include "tools/modemsim/line.h"
#include "tools/modemsim/options.h"
#include "tools/modemsim/received_files.h"

namespace modemsim {

enum class Mode {
    kAt,             // the AT interpreter
    kBootLoader,     // receiving firmware by XModem
    kFlashLoader,    // receiving Intel HEX records
    kNoInterpreter,  // a modem without AT interpreter, waiting to be power-cycled
    kStop,
};

struct ModemContext {
    ModemContext(const Options& options, EventLog& log, Line& line);

    const Options& options;
    EventLog& log;
    Line& line;
    Faults faults;
    ReceivedFiles received;
    std::unique_ptr<FileStore> store;  // null without --store

    bool echo;
    std::string version;
    std::string country;
    // The command whose answer the device vanishes in (empty: none).
    std::string vanishInAnswerTo;
    // The next answer is noise / comes this late (set for one command).
    bool garbleAnswer = false;
    DWORD answerLateMs = 0;

    unsigned AtSpeed() const { return options.atBaud; }
    void ResetProfile() { echo = options.echo; }
    // Sends an answer after the configured answer delay; or half of it,
    // when the device is to vanish in it.
    void Answer(const std::string& text);
    // The modem hangs (what: where, for the log): it stays connected but
    // takes no notice of anything and sends nothing until the simulator
    // stops.
    Mode Hang(const std::string& what);
    // The modem starts its (new) firmware: silent for delayMs, then the AT
    // interpreter runs at its speed with the stored profile.
    Mode Restart(DWORD delayMs);
};

}  // namespace modemsim

#include "tools/modemsim/modem_context.h"

namespace modemsim {

ModemContext::ModemContext(const Options& opts, EventLog& eventLog, Line& modemLine)
    : options(opts),
      log(eventLog),
      line(modemLine),
      faults(opts),
      received(opts.receivedDir, eventLog),
      echo(opts.echo),
      version(opts.version),
      country(opts.country) {
    if (!opts.storeDir.empty()) {
        store = std::make_unique<FileStore>(opts.storeDir);
    }
}

void ModemContext::Answer(const std::string& text) {
    if (options.answerDelayMs > 0) {
        line.Pause(static_cast<DWORD>(options.answerDelayMs));
    }
    line.Send(text);
}

Mode ModemContext::Restart(DWORD delayMs) {
    log.Event("reboot");
    line.Idle(delayMs);
    if (line.Stopped()) {
        return Mode::kStop;
    }
    line.SetModemSpeed(AtSpeed());
    line.DiscardBuffered();
    ResetProfile();
    log.Event("ready");
    return options.noAt ? Mode::kNoInterpreter : Mode::kAt;
}

}  // namespace modemsim

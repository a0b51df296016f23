#include "tools/modemsim/modem_context.h"

#include <algorithm>

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
    if (!vanishInAnswerTo.empty()) {
        line.Send(text.substr(0, std::max<std::size_t>(1, text.size() / 2)));
        line.Vanish("in answer to " + vanishInAnswerTo);
        return;
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

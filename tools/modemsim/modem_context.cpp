#include "tools/modemsim/modem_context.h"

#include <algorithm>

namespace modemsim {
namespace {

constexpr DWORD kLeaveGraceMs = 200;

}  // namespace

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
    if (answerLateMs > 0) {
        log.Event("fault late answer " + std::to_string(answerLateMs));
        line.Pause(answerLateMs);
        answerLateMs = 0;
    }
    if (garbleAnswer) {
        garbleAnswer = false;
        log.Event("fault garbage answer");
        line.SendNoise(text.size());
        return;
    }
    if (!vanishInAnswerTo.empty()) {
        line.Send(text.substr(0, std::max<std::size_t>(1, text.size() / 2)));
        line.Vanish("in answer to " + vanishInAnswerTo);
        return;
    }
    line.Send(text);
}

Mode ModemContext::Hang(const std::string& what) {
    log.Event("fault hang " + what);
    while (!line.Stopped()) {
        line.Idle(1000);
    }
    return Mode::kStop;
}

Mode ModemContext::Restart(DWORD delayMs) {
    log.Event("reboot");
    // A USB modem leaves the bus while it restarts and comes back under a
    // new device name; what it sent last (the final ACK) still reaches the
    // host first.
    const DWORD grace = options.reenumerate ? std::min<DWORD>(delayMs, kLeaveGraceMs) : 0;
    line.Idle(grace);
    const bool reenumerate = options.reenumerate && line.Leave();
    if (reenumerate) {
        log.Event("left-bus");
    }
    line.Idle(delayMs - grace);
    std::string name;
    if (reenumerate && line.ComeBack(&name)) {
        log.Event("reenumerated " + name);
    }
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

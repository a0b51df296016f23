#include "tools/modemsim/boot_loader.h"

#include "tools/modemsim/firmware_header.h"
#include "tools/modemsim/xmodem_receiver.h"

namespace modemsim {

Mode BootLoader::Run() {
    const Options& options = context_.options;
    Line& line = context_.line;
    context_.log.Event("upload-mode");
    line.SetModemSpeed(options.loaderBaud);
    line.DiscardBuffered();

    bool expectLoader = options.uploadModem;
    for (;;) {
        if (line.Stopped()) {
            return Mode::kStop;
        }
        const std::string what = expectLoader ? "loader" : "firmware";
        context_.log.Event("loader-nak-start " + std::to_string(options.loaderBaud));
        ReceiveSettings settings;
        settings.nakIntervalMs = static_cast<DWORD>(options.nakIntervalMs);
        settings.startTimeoutMs = 0;
        settings.accept1k = !options.loader128Only;
        TransferFaults faults =
            context_.faults.ForTransfer(TransferKind::kFirmware, Direction::kReceive, what);
        // The loader speed check: its first NAKs late, or noise.
        if (const DWORD late = context_.faults.TakeLoaderLate()) {
            context_.log.Event("fault loader late " + std::to_string(late));
            line.Idle(late);
        }
        faults.startNoise = context_.faults.TakeLoaderGarbage();
        std::string data;
        ReceiveOutcome outcome = ReceiveFile(line, context_.log, settings, faults, &data);
        if (outcome == ReceiveOutcome::kStopped || line.Stopped()) {
            return Mode::kStop;
        }
        if (outcome != ReceiveOutcome::kDone) {
            context_.log.Error("boot loader: " + what + " transfer " + Describe(outcome));
            continue;
        }
        // The copy is on disk before the event says so.
        context_.received.Write(what + ".bin", data);
        context_.log.Event("received " + what + " " + std::to_string(data.size()));
        if (expectLoader) {
            expectLoader = false;
            continue;
        }
        FirmwareCheck check = CheckFirmware(data);
        if (!check.ok) {
            // The loader keeps waiting for a usable image; the host's
            // attempt to talk to the new firmware finds only the loader.
            context_.log.Event("firmware-bad " + check.problem);
            continue;
        }
        context_.version = check.version;
        return context_.Restart(static_cast<DWORD>(options.rebootDelayMs));
    }
}

Mode WaitForPowerCycle(ModemContext& context) {
    Line& line = context.line;
    while (!line.WaitForAnyInput(1000)) {
        if (line.Stopped()) {
            return Mode::kStop;
        }
    }
    line.Idle(static_cast<DWORD>(context.options.powerCycleDelayMs));
    return line.Stopped() ? Mode::kStop : Mode::kBootLoader;
}

}  // namespace modemsim

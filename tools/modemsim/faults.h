// Injected faults: which transfer gets which fault, and how many times.
#pragma once

#include <string>

#include "platform/types.h"

#include "tools/modemsim/options.h"

namespace modemsim {

enum class TransferKind { kFirmware, kStoredFile };  // the flash loader counts as firmware
enum class Direction { kSend, kReceive };

// The faults one transfer is to commit. Block numbers count the blocks of
// that transfer from 1; counts are used up by the transfer.
struct TransferFaults {
    BlockFault corrupt;  // sender: bad checksum
    BlockFault nak;      // receiver: refuse a good block
    int canAt = 0;
    int silentAt = 0;
    int vanishAt = 0;  // the device vanishes half-way through this block
    // Receiving: noise instead of the reply to this block / the reply comes
    // late; sending: the block itself. The block after the last is the EOT.
    int garbageAt = 0;
    DelayFault late;
    int startNoise = 0;  // receiving: the first NAKs asking for a packet are noise
};

class Faults {
  public:
    explicit Faults(const Options& options);

    // Hands the faults that apply to this transfer over to it. Each fault
    // strikes one transfer only: the next one it applies to.
    TransferFaults ForTransfer(TransferKind kind, Direction direction, const std::string& fileName);

    bool ListingTimeout() const { return listingTimeout_; }
    // True for each of the first --fault-jfclr-errors requests.
    bool TakeJfclrError();
    bool NoNak(const std::string& fileName) const {
        return !noNakFile_.empty() && fileName == noNakFile_;
    }
    // True when the command line (stray bytes and blanks removed) is to be
    // swallowed; counts the lines that --fault-refuse lets through first.
    bool Refuses(const std::string& command);
    // True for the first command line that --fault-vanish-in-answer names.
    bool VanishesInAnswerTo(const std::string& command);
    // True when the firmware record (from 0) is the one the device vanishes at.
    bool VanishesAtRecord(int record) const { return record == vanishAtRecord_; }
    // True for the first command line that --fault-hang names.
    bool HangsAt(const std::string& command) { return TakeOnce(command, &hangPrefix_); }
    bool HangsAtRecord(int record) const { return record == hangAtRecord_; }
    // True for the first command line that --fault-garbage-answer names.
    bool GarblesAnswerTo(const std::string& command) { return TakeOnce(command, &garbagePrefix_); }
    // The delay of the answer to this command line (0: none); once.
    DWORD LateAnswerTo(const std::string& command);
    // The answer to firmware record n: noise instead of OK / its delay; once each.
    bool TakeGarbageAtRecord(int record);
    DWORD TakeLateRecord(int record);
    // The boot loader's first request: how late, and how many NAKs are noise; once.
    DWORD TakeLoaderLate();
    int TakeLoaderGarbage();

  private:
    // True when the command starts with *prefix (any case); the prefix is
    // used up then.
    static bool TakeOnce(const std::string& command, std::string* prefix);
    bool Applies(TransferKind kind, Direction direction, const std::string& fileName) const;

    BlockFault corrupt_;
    BlockFault nak_;
    int canAt_;
    int silentAt_;
    std::string file_;
    bool firmwareOnly_;
    bool listingTimeout_;
    int jfclrErrors_;
    std::string noNakFile_;
    FaultDirection direction_;
    std::string refusePrefix_;
    int refuseSkip_;
    std::string vanishAnswerPrefix_;
    int vanishAt_;
    int vanishAtRecord_;
    std::string hangPrefix_;
    int hangAtRecord_;
    std::string garbagePrefix_;
    int garbageAt_;
    int garbageAtRecord_;
    int loaderGarbage_;
    std::string latePrefix_;
    DWORD lateMs_;
    DelayFault lateBlock_;
    DelayFault lateRecord_;
    DWORD loaderLateMs_;
};

}  // namespace modemsim

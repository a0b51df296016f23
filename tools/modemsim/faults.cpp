#include "tools/modemsim/faults.h"

#include <cctype>

namespace modemsim {

Faults::Faults(const Options& options)
    : corrupt_(options.corruptBlock),
      nak_(options.nakBlock),
      canAt_(options.canAtBlock),
      silentAt_(options.silentAtBlock),
      file_(options.faultFile),
      firmwareOnly_(options.faultFirmware),
      listingTimeout_(options.listingTimeout),
      jfclrErrors_(options.jfclrErrors),
      noNakFile_(options.noNakFile),
      direction_(options.faultDirection),
      refusePrefix_(options.refusePrefix),
      refuseSkip_(options.refuseSkip),
      vanishAnswerPrefix_(options.vanishAnswerPrefix),
      vanishAt_(options.vanishAtBlock),
      vanishAtRecord_(options.vanishAtRecord),
      hangPrefix_(options.hangPrefix),
      hangAtRecord_(options.hangAtRecord),
      garbagePrefix_(options.garbagePrefix),
      garbageAt_(options.garbageAtBlock),
      garbageAtRecord_(options.garbageAtRecord),
      loaderGarbage_(options.loaderGarbage),
      latePrefix_(options.latePrefix),
      lateMs_(static_cast<DWORD>(options.lateMs)),
      lateBlock_(options.lateBlock),
      lateRecord_(options.lateRecord),
      loaderLateMs_(static_cast<DWORD>(options.loaderLateMs)) {}

namespace {

bool StartsWithAnyCase(const std::string& text, const std::string& prefix) {
    if (prefix.empty() || text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) !=
            std::toupper(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool Faults::TakeOnce(const std::string& command, std::string* prefix) {
    if (!StartsWithAnyCase(command, *prefix)) {
        return false;
    }
    prefix->clear();
    return true;
}

bool Faults::VanishesInAnswerTo(const std::string& command) {
    return TakeOnce(command, &vanishAnswerPrefix_);
}

DWORD Faults::LateAnswerTo(const std::string& command) {
    return TakeOnce(command, &latePrefix_) ? lateMs_ : 0;
}

bool Faults::TakeGarbageAtRecord(int record) {
    if (record != garbageAtRecord_) {
        return false;
    }
    garbageAtRecord_ = -1;
    return true;
}

DWORD Faults::TakeLateRecord(int record) {
    if (record != lateRecord_.at) {
        return 0;
    }
    const DWORD late = static_cast<DWORD>(lateRecord_.ms);
    lateRecord_ = DelayFault{};
    return late;
}

DWORD Faults::TakeLoaderLate() {
    const DWORD late = loaderLateMs_;
    loaderLateMs_ = 0;
    return late;
}

int Faults::TakeLoaderGarbage() {
    const int count = loaderGarbage_;
    loaderGarbage_ = 0;
    return count;
}

bool Faults::Refuses(const std::string& command) {
    if (!StartsWithAnyCase(command, refusePrefix_)) {
        return false;
    }
    if (refuseSkip_ > 0) {
        --refuseSkip_;
        return false;
    }
    return true;
}

bool Faults::Applies(TransferKind kind, Direction direction, const std::string& fileName) const {
    if ((direction_ == FaultDirection::kSend && direction != Direction::kSend) ||
        (direction_ == FaultDirection::kReceive && direction != Direction::kReceive)) {
        return false;
    }
    if (!file_.empty()) {
        return kind == TransferKind::kStoredFile && fileName == file_;
    }
    if (firmwareOnly_) {
        return kind == TransferKind::kFirmware;
    }
    return true;
}

TransferFaults Faults::ForTransfer(TransferKind kind, Direction direction,
                                   const std::string& fileName) {
    TransferFaults faults;
    if (!Applies(kind, direction, fileName)) {
        return faults;
    }
    if (direction == Direction::kSend && corrupt_.block != 0) {
        faults.corrupt = corrupt_;
        corrupt_ = BlockFault{};
    }
    if (direction == Direction::kReceive && nak_.block != 0) {
        faults.nak = nak_;
        nak_ = BlockFault{};
    }
    faults.canAt = canAt_;
    canAt_ = 0;
    faults.silentAt = silentAt_;
    silentAt_ = 0;
    faults.vanishAt = vanishAt_;
    vanishAt_ = 0;
    faults.garbageAt = garbageAt_;
    garbageAt_ = 0;
    faults.late = lateBlock_;
    lateBlock_ = DelayFault{};
    return faults;
}

bool Faults::TakeJfclrError() {
    if (jfclrErrors_ <= 0) {
        return false;
    }
    --jfclrErrors_;
    return true;
}

}  // namespace modemsim

#include "tools/modemsim/usb_adapter.h"

#include <algorithm>

namespace modemsim {

void UsbAdapter::Take(const std::string& bytes, std::uint64_t nowUs) {
    if (!bytes.empty()) {
        runs_.emplace_back(nowUs, bytes);
        held_ += bytes.size();
    }
}

std::string UsbAdapter::Due(std::uint64_t nowUs) {
    std::size_t count = held_ - held_ % kPacketBytes;  // full packets go at once
    if (held_ > count && !runs_.empty()) {
        // The first byte after the full packets: its run, and when it came.
        std::size_t skip = count;
        auto run = runs_.begin();
        while (skip >= run->second.size()) {
            skip -= run->second.size();
            ++run;
        }
        if (nowUs >= run->first + latencyUs_) {
            count = held_;
        }
    }
    std::string out;
    while (out.size() < count) {
        std::string& run = runs_.front().second;
        const std::size_t take = std::min(run.size(), count - out.size());
        out.append(run, 0, take);
        if (take == run.size()) {
            runs_.pop_front();
        } else {
            run.erase(0, take);
        }
    }
    held_ -= out.size();
    return out;
}

std::uint64_t UsbAdapter::NextDueUs() const {
    if (held_ == 0) {
        return kNever;
    }
    if (held_ >= kPacketBytes) {
        return 0;
    }
    return runs_.front().first + latencyUs_;
}

void UsbAdapter::Drop() {
    runs_.clear();
    held_ = 0;
}

}  // namespace modemsim

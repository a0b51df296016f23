#include "tools/modemsim/flash_loader.h"

#include "tools/modemsim/intel_hex.h"

namespace modemsim {
namespace {

constexpr const char* kLoaderFile = "flash-loader.hex";
constexpr const char* kImageFile = "flash-image.hex";
// Longest record line kept; longer ones are refused as malformed.
constexpr std::size_t kMaxRecord = 600;

}  // namespace

FlashLoader::FlashLoader(ModemContext& context) : context_(context) {
    for (const FlashNokFault& fault : context.options.flashNoks) {
        nokLeft_.push_back(fault.count);
    }
}

FlashLoader::LoaderAnswer FlashLoader::LoaderRecord(const std::string& record) {
    const int number = loaderRecords_;
    HexRecord parsed = ParseHexRecord(record);
    if (!parsed.ok) {
        context_.log.Event("flash-loader-record " + std::to_string(number) + " nok");
        return {"\r\nNOK\r\n", false};
    }
    if (number == 0) {
        context_.received.Write(kLoaderFile, "");
    }
    context_.received.Append(kLoaderFile, record + "\r\n");
    ++loaderRecords_;
    context_.log.Event("flash-loader-record " + std::to_string(number) + " ok");
    if (parsed.type != kHexEndOfFile) {
        return {"\r\nOK\r\n", false};
    }
    loaderRecords_ = 0;
    // The loader announces itself before the final OK of its last record.
    return {"\r\nFlash Loader Ver:" + context_.options.flashLoaderVersion + "\r\n\r\nOK\r\n", true};
}

void FlashLoader::Erase() {
    firmwareRecords_ = 0;
    context_.received.Write(kImageFile, "");
    context_.log.Event("flash-erase");
    context_.Answer("\r\nVer:" + context_.options.flashLoaderVersion + "\r\n");
}

bool FlashLoader::Record(const std::string& record) {
    const int number = firmwareRecords_;
    const std::string prefix = "flash-record " + std::to_string(number) + " ";
    if (record.empty() || record[0] != ':') {
        context_.log.Event(prefix + "NOK4");
        context_.Answer("\r\nNOK4\r\n");
        return false;
    }
    HexRecord parsed = ParseHexRecord(record);
    if (!parsed.ok) {
        context_.log.Event(prefix + "NOK5");
        context_.Answer("\r\nNOK5\r\n");
        return false;
    }
    if (context_.faults.VanishesAtRecord(number)) {
        context_.line.Vanish("at flash record " + std::to_string(number));
        return false;
    }
    context_.garbleAnswer = context_.faults.TakeGarbageAtRecord(number);
    context_.answerLateMs = context_.faults.TakeLateRecord(number);
    const std::vector<FlashNokFault>& noks = context_.options.flashNoks;
    for (std::size_t k = 0; k < noks.size(); ++k) {
        if (noks[k].record != number) {
            continue;
        }
        if (nokLeft_[k] == 0) {
            break;  // this record's refusals are used up
        }
        if (nokLeft_[k] > 0) {
            --nokLeft_[k];
        }
        context_.log.Event(prefix + noks[k].answer);
        context_.Answer("\r\n" + noks[k].answer + "\r\n");
        return false;
    }
    context_.received.Append(kImageFile, record + "\r\n");
    ++firmwareRecords_;
    context_.log.Event(prefix + "ok");
    context_.Answer("\r\nOK\r\n");
    if (parsed.type == kHexEndOfFile) {
        context_.log.Event("flash-done " + std::to_string(firmwareRecords_));
        return true;
    }
    return false;
}

Mode FlashLoader::Run() {
    Line& line = context_.line;
    firmwareRecords_ = 0;
    context_.received.Write(kImageFile, "");
    std::string record;
    bool overflow = false;
    for (;;) {
        if (line.Stopped()) {
            return Mode::kStop;
        }
        int b = line.ReadByte(1000);
        if (b < 0) {
            continue;
        }
        if (b == '\r') {
            if (overflow) {
                context_.log.Event("flash-record " + std::to_string(firmwareRecords_) + " NOK5");
                context_.Answer("\r\nNOK5\r\n");
            } else if (!record.empty() && context_.faults.HangsAtRecord(firmwareRecords_)) {
                return context_.Hang("at flash record " + std::to_string(firmwareRecords_));
            } else if (!record.empty() && Record(record)) {
                return context_.Restart(static_cast<DWORD>(context_.options.flashRestartDelayMs));
            }
            record.clear();
            overflow = false;
        } else if (b == '\n') {
            // the second half of a record's CR LF
        } else if (record.empty() && !overflow && (b == 'Z' || b == 'z')) {
            Erase();
        } else if (b == ':') {
            record = ":";  // a record starts; stray bytes before it are dropped
            overflow = false;
        } else if (record.size() >= kMaxRecord) {
            overflow = true;
        } else {
            record += static_cast<char>(b);
        }
    }
}

}  // namespace modemsim

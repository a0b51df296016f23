#include "flash_modem.h"

#include <cctype>
#include <cerrno>

namespace flash_test {
namespace {

constexpr DWORD kAnswerDelayMs = 5;
constexpr DWORD kEraseMs = 40000;

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsEndRecord(const std::string& record) {
    return record.size() >= 9 && record.compare(7, 2, "01") == 0;
}

}  // namespace

long FailingWriteSerial::WriteSome(const void* data, std::size_t count) {
    if (failNext_) {
        failNext_ = false;
        errno = EIO;
        return -1;
    }
    return ScriptedSerial::WriteSome(data, count);
}

FlashModem::FlashModem(FailingWriteSerial& port, platform::testing::VirtualClock& clock)
    : port_(port), clock_(clock) {
    port_.OnWrite(
        [this](platform::testing::ScriptedSerial&, const std::string& bytes) { Receive(bytes); });
}

void FlashModem::Answer(const std::string& text) {
    port_.Deliver(text, kAnswerDelayMs);
}

void FlashModem::Receive(const std::string& bytes) {
    for (char c : bytes) {
        if (loaderRunning_) {
            LoaderByte(c);
            continue;
        }
        if (silent || clock_.Now64() < silentUntil_) {
            continue;
        }
        if (echo_) {
            port_.Deliver(std::string(1, c), 1);
        }
        if (c == '\r') {
            std::string command = line_;
            line_.clear();
            commands.push_back(command);
            Execute(command);
        } else if (c != '\n') {
            line_ += c;
        }
    }
}

void FlashModem::Execute(const std::string& command) {
    if (restarted_) {
        commandsAfterFirmware.push_back(command);
        timesAfterFirmware.push_back(clock_.Now64());
        if (clock_.Now64() < answersFrom_) {
            return;  // still starting
        }
    }
    if (unansweredCommands > 0) {
        --unansweredCommands;
        return;
    }
    const std::string upper = Upper(command);
    if (upper == "AT") {
        Answer(Line("OK"));
    } else if (upper == "ATE1" || upper == "ATE0") {
        echo_ = upper == "ATE1";
        Answer(Line("OK"));
    } else if (upper == "AT&&FE") {
        Answer(Line(flashable ? "OK" : "ERROR"));
    } else if (upper == "AT+GCI?") {
        Answer(countryAnswer);
    } else if (StartsWith(upper, "AT+GCI=")) {
        Answer(Line("OK"));
    } else if (StartsWith(upper, "AT&&F") && flashable && !restarted_) {
        loaderLines.push_back(command + "\r\n");
        if (onLine) {
            onLine(loaderLines.back());
        }
        LoaderRecord(command.substr(5));
    } else if (!upper.empty()) {
        Answer(Line("ERROR"));
    }
}

void FlashModem::LoaderRecord(const std::string& record) {
    if (!IsEndRecord(record)) {
        Answer(Line("OK"));
        return;
    }
    if (loaderEndRefused_ < loaderEndRefusals) {
        ++loaderEndRefused_;
        Answer(Line("NOK1"));
        return;
    }
    // The loader announces itself, then runs: bare records, no echo.
    Answer(Line("Flash Loader Ver:" + loaderVersion) + Line("OK"));
    loaderRunning_ = true;
}

void FlashModem::LoaderByte(char c) {
    if (pending_.empty() && (c == 'Z' || c == 'z')) {
        ++erases;
        accepted_ = 0;
        programmed.clear();
        port_.Deliver(Line("Ver:" + loaderVersion), kEraseMs);
        return;
    }
    if (pending_.empty() && c != ':') {
        return;  // the rest of a line end, or stray bytes
    }
    pending_ += c;
    if (c == '\n') {
        firmwareLines.push_back(pending_);
        if (onLine) {
            onLine(pending_);
        }
        std::string record = pending_.substr(0, pending_.size() - 2);
        pending_.clear();
        FirmwareRecord(record);
    }
}

void FlashModem::FirmwareRecord(const std::string& record) {
    auto refusal = refusals.find(accepted_);
    if (refusal != refusals.end()) {
        std::size_t& used = refused_[accepted_];
        if (used < refusal->second.size()) {
            Answer(refusal->second[used++]);
            return;
        }
    }
    programmed += record + "\r\n";
    Answer(Line("OK"));
    if (accepted_++ == failWriteAfterRecord) {
        port_.FailNextWrite();
    }
    if (IsEndRecord(record)) {
        // The new firmware starts: deaf for a while, then the AT firmware.
        loaderRunning_ = false;
        restarted_ = true;
        echo_ = true;
        firmwareDoneAt = clock_.Now64();
        silentUntil_ = firmwareDoneAt + restartMs;
        answersFrom_ = firmwareDoneAt + answersAfterMs;
    }
}

}  // namespace flash_test

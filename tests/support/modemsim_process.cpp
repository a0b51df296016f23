#include "tests/support/modemsim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/clock.h"

namespace test_support {
namespace {

constexpr DWORD kStartTimeoutMs = 10000;
constexpr DWORD kLogPollMs = 20;

}  // namespace

ModemSim::ModemSim() = default;

ModemSim::ModemSim(const std::vector<std::string>& options) {
    std::string error;
    if (!Start(options, &error)) {
        ADD_FAILURE() << "modemsim did not start: " << error;
    }
}

ModemSim::~ModemSim() {
    Stop();
}

bool ModemSim::Start(const std::vector<std::string>& options, std::string* error) {
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    Stop();
    dir_ = std::make_unique<TempDir>("modemsim");
    std::vector<std::string> argv = {ProgramPath("modemsim")};
    argv.insert(argv.end(), options.begin(), options.end());
    auto given = std::find(options.begin(), options.end(), "--log");
    if (given != options.end() && given + 1 != options.end()) {
        logPath_ = *(given + 1);
    } else {
        logPath_ = dir_->File("modemsim.log");
        argv.push_back("--log");
        argv.push_back(logPath_);
    }
    process_ = std::make_unique<platform::Process>();
    if (!process_->Start(argv, {}, platform::ProcessOutput::kCapture, &why)) {
        return false;
    }
    if (!process_->ReadLine(&port_, kStartTimeoutMs) || port_.empty()) {
        process_->Stop(1000);
        why = "no device path on stdout; stderr: " + process_->Stderr();
        port_.clear();
        return false;
    }
    return true;
}

std::vector<std::string> ModemSim::LogLines() const {
    std::vector<std::string> lines;
    std::ifstream in(logPath_);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

int ModemSim::CountLog(const std::string& substring) const {
    int count = 0;
    for (const std::string& line : LogLines()) {
        if (line.find(substring) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

bool ModemSim::WaitForLog(const std::string& substring, DWORD timeoutMs) const {
    return WaitForLogCount(substring, 1, timeoutMs);
}

bool ModemSim::WaitForLogCount(const std::string& substring, int count, DWORD timeoutMs) const {
    const DWORD start = platform::GetTickCount();
    for (;;) {
        if (CountLog(substring) >= count) {
            return true;
        }
        if (platform::GetTickCount() - start >= timeoutMs) {
            return false;
        }
        platform::Sleep(kLogPollMs);
    }
}

bool ModemSim::Running() {
    return process_ && process_->Running();
}

int ModemSim::Stop() {
    if (!process_ || !process_->Started()) {
        return -1;
    }
    return process_->Stop(5000);
}

}  // namespace test_support

// A flash-loader modem on a scripted serial device, for the flash
// plug-in's tests on the virtual clock: the AT firmware with echo, the
// loader arriving as "at&&f" records, the running loader taking bare
// records, the restart after the last record, and faults on request.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/scripted_serial.h"
#include "platform/testing/virtual_clock.h"

namespace flash_test {

// A scripted device whose writes can be made to fail.
class FailingWriteSerial : public platform::testing::ScriptedSerial {
  public:
    using ScriptedSerial::ScriptedSerial;
    // The next write fails with a device error.
    void FailNextWrite() { failNext_ = true; }
    long WriteSome(const void* data, std::size_t count) override;

  private:
    bool failNext_ = false;
};

class FlashModem {
  public:
    FlashModem(FailingWriteSerial& port, platform::testing::VirtualClock& clock);

    // What the modem is like.
    bool silent = false;         // no modem: nothing is echoed or answered
    int unansweredCommands = 0;  // the first ones are echoed but not answered
    bool flashable = true;       // "AT&&FE" gives OK
    std::string countryAnswer = "\r\n+GCI: 3D\r\n\r\nOK\r\n";
    std::string loaderVersion = "4.4";
    DWORD restartMs = 3000;  // deaf and dumb after the firmware's last record
    // After the restart, commands are echoed but answered only from this
    // long after the last record on.
    DWORD answersAfterMs = 0;
    // Answers to firmware record n (from 0) before it is acknowledged.
    std::map<int, std::vector<std::string>> refusals;
    // The loader's last record is answered this often with "NOK1" first.
    int loaderEndRefusals = 0;
    // Once firmware record n (from 0) is acknowledged, the next write fails.
    int failWriteAfterRecord = -1;

    // Called with every "at&&f" line and every bare record line as it arrives.
    std::function<void(const std::string& line)> onLine;

    // Every command line, every "at&&f" line and every bare record line as
    // written, in order.
    std::vector<std::string> commands;
    std::vector<std::string> loaderLines;
    std::vector<std::string> firmwareLines;
    // The records the loader acknowledged, each with CR LF: the programmed image.
    std::string programmed;
    int erases = 0;
    // Commands the AT firmware received after the firmware was programmed.
    std::vector<std::string> commandsAfterFirmware;
    std::vector<std::uint64_t> timesAfterFirmware;  // virtual times of those commands
    // Virtual time of the firmware's last record (0 before).
    std::uint64_t firmwareDoneAt = 0;

  private:
    void Receive(const std::string& bytes);
    void Execute(const std::string& command);
    void LoaderRecord(const std::string& record);
    void LoaderByte(char c);
    void FirmwareRecord(const std::string& record);
    void Answer(const std::string& text);

    FailingWriteSerial& port_;
    platform::testing::VirtualClock& clock_;
    bool echo_ = true;
    bool loaderRunning_ = false;
    bool restarted_ = false;
    std::uint64_t silentUntil_ = 0;
    std::uint64_t answersFrom_ = 0;
    std::string line_;
    std::string pending_;
    int accepted_ = 0;
    int loaderEndRefused_ = 0;
    std::map<int, std::size_t> refused_;
};

// One answer of the loader: CR LF text CR LF.
inline std::string Line(const std::string& text) {
    return "\r\n" + text + "\r\n";
}

}  // namespace flash_test

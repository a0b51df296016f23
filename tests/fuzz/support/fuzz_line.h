// The line every serial fuzz target runs on: for each input a fresh
// scripted device on its own virtual clock, with CSerial open on it and the
// AT modem double of the unit tests answering. A target that plays another
// peer (an XModem sender or receiver, a flash loader) takes the device's
// writes over with OnWrite.
#pragma once

#include <cstdint>
#include <string>

#include "serial/serial.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "tests/support/scripted_port.h"

namespace fuzz {

class FuzzLine {
  public:
    FuzzLine();
    FuzzLine(const FuzzLine&) = delete;
    FuzzLine& operator=(const FuzzLine&) = delete;

    CSerial& serial() { return serial_; }
    platform::testing::ScriptedSerial& device() { return port_.device(); }
    test_support::ScriptedModem& modem() { return port_.modem(); }
    // Virtual milliseconds.
    std::uint64_t Now() const { return port_.Now(); }

    // Puts the next answer of script on the line: a byte with the number
    // of its pieces (0 to 3), then for each piece a byte that picks its
    // delay (1, 5, 50, 100, 260, 1500, 12000 or 200000 ms after the piece
    // before) and its bytes as a counted string. Returns the bytes.
    std::string DeliverAnswer(Script& script);
    // Lets the modem double answer every command line with the next answer
    // of script, its echo on or off.
    void AnswerFrom(Script& script, bool echo);

  private:
    test_support::ScriptedPort port_;
    CSerial serial_;  // closed before the port goes
};

}  // namespace fuzz

// An AT modem double on a scripted serial device: echoes what it receives
// and answers each command line from a table, on the virtual clock.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/scripted_serial.h"

namespace test_support {

class ScriptedModem {
  public:
    explicit ScriptedModem(platform::testing::ScriptedSerial& port);

    bool echo = true;
    DWORD echoDelayMs = 1;    // per echoed character
    DWORD answerDelayMs = 5;  // from the command's CR to its answer
    bool silent = false;      // neither echo nor answers
    std::string unknownAnswer = "\r\nERROR\r\n";

    // Raw bytes sent after a command line (matched without regard to case).
    void Answer(const std::string& command, const std::string& raw);
    // "\r\n<body>\r\n\r\nOK\r\n", or "\r\nOK\r\n" without a body.
    void AnswerOk(const std::string& command, const std::string& body = "");
    void AnswerError(const std::string& command);
    // Answers given in turn; the last one repeats.
    void AnswerSequence(const std::string& command, std::vector<std::string> raws);

    // Called for every command line first; return true when it has
    // answered (or deliberately not answered) the command itself.
    std::function<bool(const std::string& command)> onCommand;

    // While set, every byte written to the port goes here instead of the AT
    // interpreter (a modem that has switched to a data transfer). Set it
    // from onCommand; the rest of that write already goes to it.
    std::function<void(const std::string& bytes)> dataReceiver;

    // Takes bytes as if the host had written them (a data receiver that
    // gives up hands the rest back to the AT interpreter this way).
    void Input(const std::string& bytes) { Receive(bytes); }

    // Command lines received, in order.
    const std::vector<std::string>& Commands() const { return commands_; }

    platform::testing::ScriptedSerial& port() { return port_; }

    static std::string Ok(const std::string& body = "");

  private:
    void Receive(const std::string& bytes);
    void Respond(const std::string& command);

    platform::testing::ScriptedSerial& port_;
    std::string line_;
    std::vector<std::string> commands_;
    std::map<std::string, std::vector<std::string>> answers_;
    std::map<std::string, std::size_t> served_;
};

}  // namespace test_support

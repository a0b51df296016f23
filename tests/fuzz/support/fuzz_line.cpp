#include "tests/fuzz/support/fuzz_line.h"

#include "serial/trace.h"
#include "tests/fuzz/support/fuzz_check.h"

namespace fuzz {
namespace {

constexpr DWORD kPieceDelaysMs[8] = {1, 5, 50, 100, 260, 1500, 12000, 200000};

}  // namespace

FuzzLine::FuzzLine() : port_("FUZZ1") {
    // WIZARD_TRACE=/dev/stderr shows the conversation of an input.
    static const bool tracing = xdebug_StartFromEnvironment();
    (void)tracing;
    serial_.SetPortName(port_.name());
    Check(serial_.Open(), "the scripted port opens");
    port_.device().TakeWritten();
}

std::string FuzzLine::DeliverAnswer(Script& script) {
    std::string bytes;
    DWORD delay = 0;
    for (int pieces = script.Byte() % 4; pieces > 0; --pieces) {
        delay += kPieceDelaysMs[script.Byte() % 8];
        const std::string piece = script.Counted();
        device().Deliver(piece, delay);
        bytes += piece;
    }
    return bytes;
}

void FuzzLine::AnswerFrom(Script& script, bool echo) {
    modem().echo = echo;
    modem().onCommand = [this, &script](const std::string& command) {
        if (command.empty()) {
            return false;  // a bare CR is no command
        }
        DeliverAnswer(script);
        return true;
    };
}

}  // namespace fuzz

// libFuzzer target: the AT command engine and what reads its answers.
// CSerial::Request with any flags, command, time-out and retries, and
// CSerial::WaitFor with any expected text, against a modem double that
// echoes or not and answers in pieces from the input, early, late, split by
// pauses or after the time-out; IdentifyModem and GetModemDir on the same
// double.
//
// Besides crashes and memory errors it stops when
//  - Request reports success for an answer that holds no "OK\r\n", or one
//    that holds "NOK", "ERROR\r\n" or "NO CARRIER\r\n" as well; reports
//    failure for an answer it hands back as "OK"; writes the answer when it
//    should not (REQUEST_IGNORE_ANSWER);
//  - WaitFor reports finding a text it has not received, gives up before
//    its time, waits far beyond it, or reads on past the text it found;
//  - IdentifyModem hands out a model name with blanks or quotes around it,
//    a name that is not in the modem's answer, or an ATI3 text that did
//    not end well;
//  - GetModemDir returns a count that is not its list's, or lines that
//    still hold a line feed or more than the modem sent.
//
// Input: a byte that picks the call, its parameters, then the modem's
// answers, one per command line, in the form of FuzzLine::DeliverAnswer.
#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

#include "serial/identify.h"
#include "serial/serial.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_line.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "transfer/modem_dir.h"

namespace {

using fuzz::Check;

constexpr DWORD kTimeoutsMs[4] = {1000, 2000, 10000, 180000};
const std::string kUntouched = "(untouched)";

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The answer as a request must judge it: "NOK" anywhere first, then the
// other result texts with their line end.
bool SaysOk(const std::string& answer) {
    return !Has(answer, "NOK") && !Has(answer, "ERROR\r\n") && !Has(answer, "NO CARRIER\r\n") &&
           Has(answer, "OK\r\n");
}

// Lets the modem answer from the script and keeps in *sent everything it
// puts on the line, in order: the echo of each command line and its answer.
void RecordAnswers(fuzz::Script& script, fuzz::FuzzLine& line, bool echo, std::string* sent) {
    line.modem().echo = echo;
    line.modem().onCommand = [&script, &line, echo, sent](const std::string& command) {
        if (command.empty()) {
            return false;
        }
        *sent += (echo ? command + "\r" : std::string()) + line.DeliverAnswer(script);
        return true;
    };
}

void FuzzRequest(fuzz::Script& script, fuzz::FuzzLine& line) {
    const unsigned flags = script.Byte() % 16;
    const DWORD timeoutMs = kTimeoutsMs[script.Byte() % 4];
    const int retries = script.Byte() % 3;
    const std::uint8_t echo = script.Byte();
    const std::string command = script.Counted();
    line.AnswerFrom(script, (echo & 1) != 0);

    std::string answer = kUntouched;
    const bool ok = line.serial().Request(command, &answer, flags, nullptr, timeoutMs, retries);
    if ((flags & REQUEST_IGNORE_ANSWER) != 0) {
        Check(answer == kUntouched, "REQUEST_IGNORE_ANSWER leaves the answer alone");
    } else if (ok) {
        Check(SaysOk(answer), "success only for an answer with OK and no error text");
    } else if (answer != kUntouched) {
        Check(!SaysOk(answer), "an answer that says OK is a success");
    }
}

void FuzzWaitFor(fuzz::Script& script, fuzz::FuzzLine& line) {
    const std::string expected = script.Counted();
    const DWORD timeoutMs = kTimeoutsMs[script.Byte() % 4] / 4;
    const std::uint64_t start = line.Now();
    const std::string sent = line.DeliverAnswer(script);

    std::string answer = kUntouched;
    const bool found = line.serial().WaitFor(expected, &answer, timeoutMs);
    const std::uint64_t took = line.Now() - start;
    Check(sent.compare(0, answer.size(), answer) == 0 && answer.size() <= sent.size(),
          "WaitFor collects what came, in order");
    const std::size_t at = answer.find(expected);
    Check(found == (at != std::string::npos), "WaitFor finds exactly what it received");
    if (found) {
        // It stops at the text, or at the first line end after it.
        const std::size_t end = answer.find('\n', at + expected.size());
        Check(end == std::string::npos || end + 1 == answer.size(),
              "WaitFor stops at the line end after the text it waits for");
    } else {
        Check(took >= timeoutMs, "WaitFor waits its whole time");
    }
    Check(took <= timeoutMs + 100, "WaitFor ends in its time");
}

void FuzzIdentify(fuzz::Script& script, fuzz::FuzzLine& line) {
    const std::uint8_t wanted = script.Byte();
    std::string sent;
    RecordAnswers(script, line, (wanted & 8) != 0, &sent);
    std::string model = kUntouched, ati3 = kUntouched, ati5 = kUntouched;
    const bool ok =
        IdentifyModem(&line.serial(), nullptr, (wanted & 1) != 0 ? &model : nullptr,
                      (wanted & 2) != 0 ? &ati3 : nullptr, (wanted & 4) != 0 ? &ati5 : nullptr);
    if (ok && (wanted & 1) != 0) {
        Check(model.empty() || (model.front() != ' ' && model.front() != '"' &&
                                model.back() != ' ' && model.back() != '"'),
              "the model name has no blanks or quotes around it");
        Check(Has(sent, model), "the model name comes from the modem's answers");
    }
    if (ok && (wanted & 2) != 0) {
        Check(SaysOk(ati3), "the ATI3 text is that of an answer that said OK");
    }
}

void FuzzModemDir(fuzz::Script& script, fuzz::FuzzLine& line) {
    std::string sent;
    RecordAnswers(script, line, (script.Byte() & 1) != 0, &sent);
    std::list<std::string> listing = {"(before)"};
    const int count = GetModemDir(&line.serial(), &listing);
    if (count < 0) {
        Check(count == -1, "a failed listing is -1");
        return;
    }
    Check(static_cast<std::size_t>(count) == listing.size(), "the count is the list's");
    std::size_t total = 0;
    for (const std::string& entry : listing) {
        Check(!Has(entry, "\n"), "a listed line holds no line feed");
        Check(Has(sent, entry), "a listed line is one the modem sent");
        total += entry.size() + 1;
    }
    Check(total <= sent.size(), "the lines hold no more than the modem sent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    fuzz::FuzzLine line;
    switch (script.Byte() % 4) {
        case 0:
            FuzzRequest(script, line);
            break;
        case 1:
            FuzzWaitFor(script, line);
            break;
        case 2:
            FuzzIdentify(script, line);
            break;
        default:
            FuzzModemDir(script, line);
            break;
    }
    return 0;
}

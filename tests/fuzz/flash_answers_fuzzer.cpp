// libFuzzer target: what the flash plug-in reads out of the modem's and
// the loader's answers: the acknowledgement of a record, the loader's
// version banner, and the country setting with the text helpers it is made
// with (ExtractAnswer, ReplaceAll).
//
// Besides crashes and memory errors (the texts live in fixed buffers) it
// stops when
//  - an "OK" inside a "NOK" counts as an acknowledgement, an OK is missed,
//    a refusal is not read to its line end, or the wait ends out of time;
//  - a banner is accepted without the version it must show;
//  - ExtractAnswer gives a text that is not part of the answer, has blanks
//    around it, does not fit, or stands where no final OK follows;
//  - ReplaceAll overflows, leaves something to replace, or changes a text
//    it refuses;
//  - the country command to be sent back is anything but "AT+GCI=" and a
//    plain country code.
//
// Input: a byte that picks the part, then its texts; the modem's answers
// are in the form of FuzzLine::DeliverAnswer.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/flash/acknowledgement.h"
#include "plugins/flash/country_code.h"
#include "plugins/flash/firmware_upload.h"
#include "plugins/flash/image_info.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_line.h"
#include "tests/fuzz/support/fuzz_script.h"

namespace {

using flinta::Acknowledgement;
using fuzz::Check;

constexpr DWORD kTimeoutsMs[4] = {50, 500, 2000, 10000};

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool Has(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

void FuzzAcknowledgement(fuzz::Script& script) {
    fuzz::FuzzLine line;
    const DWORD timeoutMs = kTimeoutsMs[script.Byte() % 4];
    const std::string sent = line.DeliverAnswer(script);
    const std::uint64_t start = line.Now();
    std::string answer = "(before)";
    const Acknowledgement result =
        flinta::WaitForAcknowledgement(&line.serial(), &answer, timeoutMs);
    const std::uint64_t took = line.Now() - start;

    Check(sent.compare(0, answer.size(), answer) == 0 && answer.size() <= sent.size(),
          "the wait collects what came, in order");
    Check(took <= timeoutMs, "the wait ends in its time");
    const std::size_t ok = answer.find("OK");
    if (ok == std::string::npos) {
        Check(result == Acknowledgement::kNone, "without an OK there is no acknowledgement");
        Check(took >= timeoutMs, "without an answer the wait takes its whole time");
    } else if (ok > 0 && answer[ok - 1] == 'N') {
        Check(result == Acknowledgement::kRefused, "a NOK is a refusal");
        const std::size_t end = answer.find_first_of("\r\n", ok);
        Check(end == std::string::npos ? took >= timeoutMs : end == answer.size() - 1,
              "a refusal is read up to its line end, no further");
    } else {
        Check(result == Acknowledgement::kOk, "an OK is an acknowledgement");
        Check(ok + 2 == answer.size(), "the wait ends with the OK");
    }

    const int type = script.Byte() % 7;
    Check(flinta::LoaderAccepted(sent, type) ==
              (Has(sent, "Ver:4.4") || (Has(sent, "Ver:4.3") && type != flinta::MODEM_TYPE_USB)),
          "a loader is accepted only with a version that can program the modem");
}

void FuzzTextHelpers(fuzz::Script& script) {
    const std::size_t capacity = 1 + script.Byte();
    const std::string echo = script.Counted();
    const std::string from = script.Counted();
    const std::string to = script.Counted();
    const std::string answer = script.Rest();

    std::vector<char> out(capacity, 'x');
    const bool extracted = flinta::ExtractAnswer(echo, answer, out.data(), capacity);
    // The buffer was filled with 'x': the last NUL ends what was written,
    // NULs of the answer included.
    std::size_t length = capacity;
    while (length > 0 && out[length - 1] != '\0') {
        --length;
    }
    if (extracted) {
        Check(length > 0, "an extracted text ends inside its buffer");
        const std::string text(out.data(), length - 1);
        Check(answer.find(text) != std::string::npos, "an extracted text is part of the answer");
        Check(text.empty() || (!IsSpace(text.front()) && !IsSpace(text.back())),
              "an extracted text has no blanks around it");
        const std::size_t last = answer.rfind("OK");
        Check(last != std::string::npos && (last == 0 || answer[last - 1] != 'N'),
              "an answer is extracted only when a final OK closes it");
        Check(answer.find(text) <= last, "the extracted text stands before the final OK");
    } else if (answer == echo) {
        Check(out[0] == 'x', "an answer that is only the echo writes nothing");
    } else {
        Check(out[0] == '\0', "a refused extraction leaves an empty text");
    }

    std::vector<char> text(capacity, '\0');
    const std::string start = answer.substr(0, capacity - 1);
    std::memcpy(text.data(), start.data(), start.size());
    const std::string before(text.data());
    const bool replaced = flinta::ReplaceAll(text.data(), capacity, from.c_str(), to.c_str());
    Check(std::memchr(text.data(), '\0', capacity) != nullptr,
          "a replaced text ends in its buffer");
    const std::string after(text.data());
    const std::string f(from.c_str()), t(to.c_str());
    if (replaced) {
        Check(f.empty() || f == t || after.find(f) == std::string::npos,
              "nothing is left to replace");
    } else {
        Check(after == before, "a refused replacement leaves the text as it was");
    }
}

void FuzzCountry(fuzz::Script& script) {
    fuzz::FuzzLine line;
    line.AnswerFrom(script, (script.Byte() & 1) != 0);
    const std::string command = flinta::SaveCountryCode(&line.serial());
    if (command.empty()) {
        return;
    }
    const std::string head = "AT+GCI=";
    Check(command.compare(0, head.size(), head) == 0, "the country command sets the country");
    Check(command.size() < flinta::kCountryTextSize, "the country command fits its buffer");
    bool code = false;
    for (std::size_t i = head.size(); i < command.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(command[i]);
        Check(std::isalnum(c) != 0 || c == ' ' || c == '\t',
              "the country command carries a plain country code, nothing else");
        code = code || std::isalnum(c) != 0;
    }
    Check(code, "the country command carries a country code");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    switch (script.Byte() % 3) {
        case 0:
            FuzzAcknowledgement(script);
            break;
        case 1:
            FuzzTextHelpers(script);
            break;
        default:
            FuzzCountry(script);
            break;
    }
    return 0;
}

// libFuzzer target: the flash plug-in's Intel HEX files. Any bytes as an
// image or flash loader go through the record reader, the check made
// before anything is sent, and the sender, against a loader double whose
// every answer comes from the input: OK, NOK, NOK with a digit, an error
// text or silence.
//
// Besides crashes and memory errors it stops when
//  - the reader loses, adds or reorders a byte of the file;
//  - the check accepts a file that holds a malformed record (framing,
//    digits, length, CR LF, checksum), no end-of-file record, or a record
//    behind it, or refuses without saying why;
//  - the sender writes anything but the file's records in order (each
//    prefixed with "at&&f" when sent as commands), sends a record again
//    although it was acknowledged, goes on after a record it gave up, or
//    reports success unless every record was acknowledged;
//  - the progress does not end at the file's size after a success.
//
// Input: a flag byte (bit 0 the records go out raw, as the firmware; else
// as commands, as the loader), a counted string of the loader's answers
// (one byte per record sent: 0 OK, 1 NOK, 2 NOK3, 3 ERROR, 4 silence;
// every record is acknowledged once they run out), then the file.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "plugin_api/status.h"
#include "plugins/flash/hex_check.h"
#include "plugins/flash/hex_records.h"
#include "plugins/flash/image_sender.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_files.h"
#include "tests/fuzz/support/fuzz_line.h"
#include "tests/fuzz/support/fuzz_script.h"

namespace {

using fuzz::Check;
using platform::testing::ScriptedSerial;

// Tries of one record: the first write and ten resends.
constexpr int kTries = 11;
constexpr std::size_t kLineBuffer = 256;

int Digit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) == 0 ? -1
           : std::isdigit(static_cast<unsigned char>(c)) != 0
               ? c - '0'
               : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Whether piece is a record a loader takes: ":LLAAAATT", LL data bytes,
// checksum, CR LF, every pair hexadecimal, the bytes summing to 0, at most
// the 118 data bytes of the line buffer. *type gets the record type.
bool WellFormed(const std::string& piece, int* type) {
    if (piece.size() < 13 || piece[0] != ':' || piece.compare(piece.size() - 2, 2, "\r\n") != 0) {
        return false;
    }
    const std::string pairs = piece.substr(1, piece.size() - 3);
    if (pairs.size() % 2 != 0) {
        return false;
    }
    int sum = 0;
    std::vector<int> bytes;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const int high = Digit(pairs[i]), low = Digit(pairs[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes.push_back(high * 16 + low);
        sum += bytes.back();
    }
    *type = bytes[3];
    return bytes[0] <= 118 && bytes.size() == static_cast<std::size_t>(bytes[0]) + 5 &&
           sum % 256 == 0;
}

// What the check must say of the pieces of a file.
bool Sendable(const std::vector<std::string>& pieces) {
    bool ended = false;
    int records = 0;
    for (const std::string& piece : pieces) {
        const bool hasColon = piece.find(':') != std::string::npos;
        if (ended) {
            if (hasColon) {
                return false;
            }
            continue;
        }
        int type = -1;
        if (!WellFormed(piece, &type)) {
            return false;
        }
        ++records;
        ended = type == flinta::kEndOfFileRecord;
    }
    return records > 0 && ended;
}

// A flash loader that answers each record from the script and checks that
// the lines it gets are the expected ones, in order.
class LoaderDouble {
  public:
    LoaderDouble(fuzz::Script& answers, ScriptedSerial& line, std::vector<std::string> lines)
        : answers_(answers), line_(line), lines_(std::move(lines)) {
        line_.OnWrite([this](ScriptedSerial&, const std::string& bytes) { Take(bytes); });
    }

    // True when the sender had every record acknowledged and sent them all.
    bool AllAcknowledged() const { return next_ == lines_.size() && !gaveUp_; }
    bool Done() const { return next_ == lines_.size() || gaveUp_; }

  private:
    void Take(const std::string& bytes) {
        pending_ += bytes;
        while (!pending_.empty()) {
            Check(!Done(), "nothing is sent after the last record or a record given up");
            const std::string& expected = lines_[next_];
            if (pending_.size() < expected.size()) {
                Check(expected.compare(0, pending_.size(), pending_) == 0,
                      "the sender writes the file's records in order");
                return;
            }
            Check(pending_.compare(0, expected.size(), expected) == 0,
                  "the sender writes the file's records in order");
            pending_.erase(0, expected.size());
            if (expected.find(':') == std::string::npos) {
                ++next_;  // no record: nothing to acknowledge
                continue;
            }
            Answer();
        }
    }

    void Answer() {
        const std::uint8_t answer = answers_.Done() ? 0 : answers_.Byte() % 5;
        static const char* const kTexts[5] = {"\r\nOK\r\n", "\r\nNOK\r\n", "\r\nNOK3\r\n",
                                              "\r\nERROR\r\n", ""};
        line_.Deliver(kTexts[answer], 5);
        if (answer == 0) {
            ++next_;
            tries_ = 0;
        } else if (++tries_ == kTries) {
            gaveUp_ = true;
        }
    }

    fuzz::Script& answers_;
    ScriptedSerial& line_;
    std::vector<std::string> lines_;
    std::string pending_;
    std::size_t next_ = 0;
    int tries_ = 0;
    bool gaveUp_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    const int mode = (script.Byte() & 1) != 0 ? flinta::SEND_RAW : flinta::SEND_AS_COMMANDS;
    const std::string answerBytes = script.Counted();
    const std::string content = script.Rest();
    const std::string path = fuzz::ScratchFile("image.hex", content);

    std::vector<std::string> pieces;
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        Check(file != nullptr, "the scratch file opens");
        flinta::HexRecordReader reader(file);
        std::string piece, joined;
        while (reader.Next(&piece) == flinta::HexRecordReader::kRecord) {
            Check(!piece.empty(), "a piece is never empty");
            int type = -1;
            Check(flinta::HexRecordProblem(piece, &type).empty() == WellFormed(piece, &type),
                  "a record is judged well-formed exactly when it is");
            joined += piece;
            pieces.push_back(piece);
        }
        std::fclose(file);
        Check(joined == content, "the reader gives back the file, byte for byte");
    }

    std::string problem = "(before)";
    const bool sendable = flinta::CheckHexFile(path, &problem);
    Check(sendable == Sendable(pieces), "the check accepts exactly the files that can be sent");
    Check(sendable == problem.empty(), "the check says why it refuses, and only then");

    std::vector<std::string> lines;
    for (const std::string& piece : pieces) {
        const std::string line = mode == flinta::SEND_AS_COMMANDS ? "at&&f" + piece : piece;
        if (line.size() >= kLineBuffer) {
            break;  // the sender stops before a line that does not fit
        }
        lines.push_back(line);
    }
    const bool allFit = lines.size() == pieces.size();

    fuzz::FuzzLine line;
    fuzz::Script answers(reinterpret_cast<const std::uint8_t*>(answerBytes.data()),
                         answerBytes.size());
    LoaderDouble loader(answers, line.device(), lines);
    _Status status{};
    std::string answer, last;
    const int sent = flinta::SendImage(path, &answer, mode, last, &line.serial(), &status);
    Check(sent == 0 || sent == 1, "the sender answers 0 or 1");
    Check(loader.Done() || !allFit, "the sender goes on until the end or a record given up");
    Check((sent == 1) == (loader.AllAcknowledged() && allFit),
          "success exactly when every record was acknowledged");
    if (sent == 1) {
        Check(status.total == static_cast<std::int32_t>(content.size()) &&
                  status.done == status.total,
              "a success ends the progress at the file's size");
    }
    Check(status.done >= 0 && status.done <= status.total, "the progress stays within the file");
    return 0;
}

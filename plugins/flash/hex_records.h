// Intel HEX records read the way the flash sender reads them: a colon and
// two length digits, then exactly as many characters as that length asks
// for (address, type, data, checksum and a two-character line end). The
// reader does not interpret the record; HexRecordProblem judges it.
#pragma once

#include <cstdio>
#include <string>

namespace flinta {

// Data bytes of the longest record that fits the sender's 256-character
// line buffer together with the "at&&f" prefix.
constexpr int kMaxRecordDataBytes = 118;
// Characters of a record with LL data bytes: ":LL" + AAAA TT data CC + CR LF.
constexpr int RecordChars(int dataBytes) {
    return 3 + 2 * dataBytes + 10;
}

// The value of one hexadecimal digit (either case), or -1.
int HexDigit(char c);

class HexRecordReader {
  public:
    explicit HexRecordReader(std::FILE* file) : file_(file) {}

    enum Result { kRecord, kEnd, kReadError };

    // The next piece of the file as the sender takes it: 3 characters, then
    // 2 * LL + 10 more, LL being characters 1-2 read as a hexadecimal
    // number (0 when they are not hexadecimal). A piece may come short at
    // the end of the file. kEnd when nothing is left.
    Result Next(std::string* piece);

  private:
    std::FILE* file_;
};

// Why a piece read by HexRecordReader is no record the loader can take
// (empty when it is one): framing, hexadecimal digits, the length limit,
// the CR LF line end and the checksum. *type receives the record type.
std::string HexRecordProblem(const std::string& piece, int* type);

constexpr int kEndOfFileRecord = 1;

}  // namespace flinta

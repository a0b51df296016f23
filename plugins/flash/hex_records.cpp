#include "plugins/flash/hex_records.h"

namespace flinta {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

namespace {

// The byte of two hexadecimal digits at text[at], or -1.
int HexByte(const std::string& text, std::size_t at) {
    if (at + 1 >= text.size()) {
        return -1;
    }
    int high = HexDigit(text[at]);
    int low = HexDigit(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", u);
            out += code;
        }
    }
    return out;
}

}  // namespace

HexRecordReader::Result HexRecordReader::Next(std::string* piece) {
    piece->clear();
    char head[3];
    std::size_t got = std::fread(head, 1, sizeof head, file_);
    if (got == 0) {
        return std::ferror(file_) ? kReadError : kEnd;
    }
    piece->assign(head, got);
    int length = HexByte(*piece, 1);
    if (length < 0) {
        length = 0;
    }
    std::string rest(static_cast<std::size_t>(RecordChars(length) - 3), '\0');
    got = got == sizeof head ? std::fread(&rest[0], 1, rest.size(), file_) : 0;
    piece->append(rest, 0, got);
    return std::ferror(file_) ? kReadError : kRecord;
}

std::string HexRecordProblem(const std::string& piece, int* type) {
    *type = -1;
    if (piece.empty() || piece[0] != ':') {
        return "does not begin with a colon: \"" + Printable(piece.substr(0, 16)) + "\"";
    }
    const int length = HexByte(piece, 1);
    if (length < 0) {
        return "no hexadecimal record length";
    }
    if (length > kMaxRecordDataBytes) {
        return std::to_string(length) + " data bytes, more than the " +
               std::to_string(kMaxRecordDataBytes) + " that fit the line buffer";
    }
    const std::size_t size = static_cast<std::size_t>(RecordChars(length));
    if (piece.size() < size) {
        return "the file ends inside the record";
    }
    if (piece.compare(size - 2, 2, "\r\n") != 0) {
        return "does not end with CR LF where its length says: \"" +
               Printable(piece.substr(size - 2, 2)) + "\"";
    }
    unsigned sum = 0;
    for (std::size_t at = 1; at + 2 < size; at += 2) {
        int byte = HexByte(piece, at);
        if (byte < 0) {
            return "a character that is no hexadecimal digit: \"" +
                   Printable(piece.substr(0, size - 2)) + "\"";
        }
        sum += static_cast<unsigned>(byte);
    }
    if ((sum & 0xFF) != 0) {
        return "checksum does not match: \"" + Printable(piece.substr(0, size - 2)) + "\"";
    }
    *type = HexByte(piece, 7);
    return {};
}

}  // namespace flinta

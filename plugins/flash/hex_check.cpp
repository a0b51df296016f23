#include "plugins/flash/hex_check.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "plugins/flash/flash_trace.h"
#include "plugins/flash/hex_records.h"

namespace flinta {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Progress counts characters in 32-bit fields.
constexpr long long kMaxFileSize = INT32_MAX;

bool Refuse(const std::string& path, const std::string& why, std::string* problem) {
    *problem = why;
    Trace("Intel HEX check: %s refused: %s\n", path.c_str(), why.c_str());
    return false;
}

}  // namespace

bool CheckHexFile(const std::string& path, std::string* problem) {
    if (path.empty()) {
        return Refuse(path, "no file given", problem);
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return Refuse(path, "cannot be opened", problem);
    }
    if (std::fseek(file.get(), 0, SEEK_END) != 0 || std::ftell(file.get()) > kMaxFileSize) {
        return Refuse(path, "too large", problem);
    }
    std::rewind(file.get());

    HexRecordReader reader(file.get());
    std::string piece;
    int line = 0;
    bool ended = false;  // the end-of-file record has come
    for (;;) {
        HexRecordReader::Result result = reader.Next(&piece);
        if (result == HexRecordReader::kEnd) {
            break;
        }
        if (result == HexRecordReader::kReadError) {
            return Refuse(path, "read error after line " + std::to_string(line), problem);
        }
        const bool hasColon = piece.find(':') != std::string::npos;
        if (ended && !hasColon) {
            continue;  // written after the last record, never waited for
        }
        ++line;
        const std::string where = "line " + std::to_string(line) + ": ";
        if (ended) {
            return Refuse(path, where + "a record after the end-of-file record", problem);
        }
        int type = -1;
        std::string why = HexRecordProblem(piece, &type);
        if (!why.empty()) {
            return Refuse(path, where + why, problem);
        }
        ended = type == kEndOfFileRecord;
    }
    if (line == 0) {
        return Refuse(path, "no record at all", problem);
    }
    if (!ended) {
        return Refuse(path, "no end-of-file record", problem);
    }
    problem->clear();
    Trace("Intel HEX check: %s: %d records\n", path.c_str(), line);
    return true;
}

}  // namespace flinta

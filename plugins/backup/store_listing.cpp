#include "plugins/backup/store_listing.h"

#include <cctype>

#include "plugins/backup/backup_state.h"
#include "serial/serial.h"
#include "serial/trace.h"

namespace backup {
namespace {

// A pause this long between two bytes ends a chunk of the answer.
constexpr DWORD kAnswerGapMs = 250;

enum class LineKind { kBlank, kFile, kOk, kFailure };

LineKind Kind(std::string line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return LineKind::kBlank;
    }
    line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
    if (line == "OK") {
        return LineKind::kOk;
    }
    if (line == "ERROR" || line == "NO CARRIER") {
        return LineKind::kFailure;
    }
    if (line.compare(0, 3, "NOK") == 0) {
        bool number = true;
        for (std::size_t i = 3; i < line.size(); ++i) {
            number = number && std::isdigit(static_cast<unsigned char>(line[i])) != 0;
        }
        if (number) {
            return LineKind::kFailure;
        }
    }
    return LineKind::kFile;
}

}  // namespace

bool ListStoredFiles(CSerial* port, const char* cancel, unsigned timeoutMs, std::string* listing,
                     std::string* why) {
    listing->clear();
    // Done once the command and its line end are echoed; the answer is read
    // here, line by line.
    if (!port->Request(kListCommand, nullptr, REQUEST_IGNORE_ANSWER, cancel, timeoutMs, 0)) {
        *why = "the modem did not take the listing command";
        return false;
    }
    std::string pending;
    std::string answer;
    // A listing too long to hold is still read to its end, so that nothing
    // of it is taken for the answer to the next command.
    bool tooLong = false;
    for (;;) {
        std::string chunk;
        if (port->ReadTimeout(chunk, 256, timeoutMs, kAnswerGapMs) == 0) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", answer.c_str());
            *why = "the listing did not end with OK";
            return false;
        }
        answer += chunk;
        pending += chunk;
        for (std::size_t end = pending.find('\n'); end != std::string::npos;
             end = pending.find('\n')) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            switch (Kind(line)) {
                case LineKind::kBlank:
                    break;
                case LineKind::kOk:
                    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", answer.c_str());
                    if (tooLong) {
                        listing->clear();
                        *why = "the listing does not fit its buffer";
                        return false;
                    }
                    if (!listing->empty()) {
                        listing->pop_back();  // the line feed after the last file
                    }
                    return true;
                case LineKind::kFailure:
                    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", answer.c_str());
                    *why = "the modem refused the listing: " + line;
                    return false;
                case LineKind::kFile:
                    tooLong = tooLong || listing->size() + line.size() + 2 > kModemFileListSize;
                    if (!tooLong) {
                        *listing += line + "\n";
                    }
                    break;
            }
        }
        if (pending.size() > kModemFileListSize) {
            tooLong = true;  // a line without end
            pending.clear();
        }
        if (answer.size() > 2 * kModemFileListSize) {
            answer.erase(0, answer.size() - kModemFileListSize);  // only the trace keeps it
        }
    }
}

}  // namespace backup

#include "plugins/flash/country_code.h"

#include <cctype>
#include <cstring>

#include "plugins/flash/flash_trace.h"
#include "serial/serial.h"

namespace flinta {
namespace {

constexpr const char* kCountryQuery = "AT+GCI?";
constexpr const char* kCountryAnswer = "+GCI:";
constexpr const char* kCountrySet = "AT+GCI=";
constexpr DWORD kCountryTimeoutMs = 10000;

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The "+GCI:" line of text, or empty when there is none or its value is not
// a plain country code (letters, digits and blanks): nothing else is ever
// sent back to the modem.
std::string CountryLine(const char* text) {
    const char* start = std::strstr(text, kCountryAnswer);
    if (start == nullptr) {
        return {};
    }
    std::string line(start, std::strcspn(start, "\r\n"));
    while (!line.empty() && IsSpace(line.back())) {
        line.pop_back();
    }
    bool hasCode = false;
    for (std::size_t i = std::strlen(kCountryAnswer); i < line.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (std::isalnum(c)) {
            hasCode = true;
        } else if (c != ' ' && c != '\t') {
            return {};
        }
    }
    return hasCode ? line : std::string();
}

}  // namespace

bool ExtractAnswer(const std::string& echo, const std::string& answer, char* out,
                   std::size_t outSize) {
    if (answer == echo || outSize == 0) {
        return false;
    }
    out[0] = '\0';
    std::size_t begin = answer.compare(0, echo.size(), echo) == 0 ? echo.size() : 0;
    while (begin < answer.size() && IsSpace(answer[begin])) {
        ++begin;
    }
    std::size_t end = answer.rfind("OK");
    if (end == std::string::npos || end < begin || (end > 0 && answer[end - 1] == 'N')) {
        return false;
    }
    while (end > begin && IsSpace(answer[end - 1])) {
        --end;
    }
    const std::size_t length = end - begin;
    if (length + 1 > outSize) {
        return false;
    }
    std::memcpy(out, answer.data() + begin, length);
    out[length] = '\0';
    return true;
}

bool ReplaceAll(char* text, std::size_t capacity, const char* from, const char* to) {
    const std::size_t fromLength = std::strlen(from);
    if (fromLength == 0 || std::strcmp(from, to) == 0) {
        return true;  // nothing would ever change
    }
    std::string result = text;
    for (std::size_t at = result.find(from); at != std::string::npos; at = result.find(from)) {
        result.replace(at, fromLength, to);
        // A replacement that contains what it replaces grows without end:
        // the capacity stops it.
        if (result.size() + 1 > capacity) {
            return false;
        }
    }
    std::memcpy(text, result.c_str(), result.size() + 1);
    return true;
}

std::string SaveCountryCode(CSerial* port) {
    std::string answer;
    port->Request(kCountryQuery, &answer, 0, nullptr, kCountryTimeoutMs, 0);
    char text[kCountryTextSize] = "";
    ExtractAnswer(kCountryQuery, answer, text, sizeof text);
    char command[kCountryTextSize] = "";
    const std::string line = CountryLine(text);
    if (line.size() < sizeof command) {
        std::memcpy(command, line.c_str(), line.size() + 1);
    }
    if (!ReplaceAll(command, sizeof command, kCountryAnswer, kCountrySet)) {
        command[0] = '\0';
    }
    Trace("%s\n", answer.c_str());
    if (command[0] == '\0') {
        Trace("No country setting found; none is set after the firmware.\n");
    } else {
        Trace("Country command: %s\n", command);
    }
    return command;
}

}  // namespace flinta

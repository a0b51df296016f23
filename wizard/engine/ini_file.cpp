#include "wizard/engine/ini_file.h"

#include <climits>
#include <filesystem>
#include <fstream>

#include "wizard/engine/no_case.h"

namespace {

constexpr const char* kBlanks = " \t\v\f";

std::string TrimBlanks(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return std::string();
    }
    std::string::size_type last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

IniFile IniFile::Read(const std::string& path) {
    IniFile file;
    std::error_code error;
    std::filesystem::file_status kind = std::filesystem::status(path, error);
    if (!std::filesystem::exists(kind)) {
        file.status_ = Status::kMissing;
        return file;
    }
    // A directory, a device or a pipe is no configuration file (and reading
    // a pipe might never end).
    if (!std::filesystem::is_regular_file(kind)) {
        file.status_ = Status::kUnreadable;
        return file;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        file.status_ = Status::kUnreadable;
        return file;
    }
    std::string bytes(kMaxFileSize + 1, '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        file.status_ = Status::kUnreadable;
        return file;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFileSize) {
        file.status_ = Status::kTooLarge;
        return file;
    }
    return Parse(bytes);
}

IniFile IniFile::Parse(const std::string& bytes) {
    IniFile file;
    std::size_t at = 0;
    // A byte-order mark from an editor is not part of the first line.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        at = 3;
    }
    int number = 1;
    while (at <= bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        file.ParseLine(bytes.substr(at, end - at), number);
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n') {
            ++end;
        }
        at = end + 1;
        ++number;
    }
    return file;
}

void IniFile::ParseLine(const std::string& raw, int number) {
    std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';') {
        return;
    }
    // A NUL would end the text early wherever it is copied, and split a
    // section name in two in the model list.
    if (line.find('\0') != std::string::npos) {
        if (line[0] == '[') {
            current_ = -1;
        }
        Problem(number, "the line holds a NUL byte; ignored");
        return;
    }
    if (line[0] == '[') {
        current_ = -1;
        std::string::size_type close = line.find(']');
        if (close == std::string::npos) {
            Problem(number, "section header without ']'; the keys below it are ignored");
            return;
        }
        std::string name = TrimBlanks(line.substr(1, close - 1));
        if (name.empty()) {
            Problem(number, "section header without a name; the keys below it are ignored");
            return;
        }
        std::string rest = TrimBlanks(line.substr(close + 1));
        if (!rest.empty() && rest[0] != ';') {
            Problem(number, "text after the section header ignored: \"" + rest + "\"");
        }
        sections_.push_back(IniSection{name, number, {}});
        current_ = static_cast<long>(sections_.size()) - 1;
        return;
    }
    std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
        Problem(number, "no '=' in this line; ignored");
        return;
    }
    std::string key = TrimBlanks(line.substr(0, equals));
    if (key.empty()) {
        Problem(number, "no key name before '='; ignored");
        return;
    }
    if (current_ < 0) {
        Problem(number, "key \"" + key + "\" outside any section; ignored");
        return;
    }
    sections_[static_cast<std::size_t>(current_)].entries.push_back(
        IniEntry{key, TrimBlanks(line.substr(equals + 1)), number});
}

void IniFile::Problem(int line, const std::string& text) {
    problems_.push_back(IniProblem{line, text});
}

std::string IniFile::StatusText() const {
    switch (status_) {
        case Status::kRead:
            return "read";
        case Status::kMissing:
            return "file not found";
        case Status::kUnreadable:
            return "not a readable file";
        case Status::kTooLarge:
            return "larger than " + std::to_string(kMaxFileSize) + " bytes";
    }
    return "unknown";
}

const IniSection* IniFile::FindSection(const std::string& name) const {
    for (const IniSection& section : sections_) {
        if (EqualsNoCase(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

IniValue IniFile::Get(const std::string& section, const std::string& key) const {
    IniValue value;
    const IniSection* found = FindSection(section);
    if (found == nullptr) {
        return value;
    }
    for (const IniEntry& entry : found->entries) {
        if (EqualsNoCase(entry.key, key)) {
            value.line = entry.line;
            if (entry.value.size() > kMaxIniValueLength) {
                value.state = IniValue::kTooLong;
            } else {
                value.state = IniValue::kPresent;
                value.text = entry.value;
            }
            return value;
        }
    }
    return value;
}

bool ParseProfileInt(const std::string& text, int* value) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::size_t digitsStart = at;
    long long number = 0;
    bool overflow = false;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (number <= INT_MAX) {
            number = number * 10 + (text[at] - '0');
        }
        overflow = overflow || number > INT_MAX;
        ++at;
    }
    bool digits = at > digitsStart;
    if (negative || !digits) {
        *value = 0;
    } else {
        *value = overflow ? INT_MAX : static_cast<int>(number);
    }
    // Exact: nothing but digits, and the number is the value given.
    return digits && digitsStart == 0 && at == text.size() && !overflow;
}

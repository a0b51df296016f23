#include "tools/modemsim/command_args.h"

#include <cctype>

#include "tools/modemsim/file_store.h"

namespace modemsim {
namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return "";
    }
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool ValidField1(const std::string& field) {
    if (field.empty() || field.size() > 16) {
        return false;
    }
    for (char c : field) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SplitQuotedName(const std::string& text, std::string* name, std::string* rest) {
    if (text.empty() || text[0] != '"') {
        return false;
    }
    std::size_t close = text.find('"', 1);
    if (close == std::string::npos) {
        return false;
    }
    *name = text.substr(1, close - 1);
    *rest = text.substr(close + 1);
    return true;
}

bool ParseDownloadArgs(const std::string& text, DownloadArgs* args) {
    std::string rest;
    if (!SplitQuotedName(text, &args->name, &rest)) {
        return false;
    }
    rest = Trim(rest);
    if (rest.empty()) {
        args->withI = false;
        return true;
    }
    if (rest.size() >= 2 && rest[0] == ',' && Trim(rest.substr(1)).size() == 1 &&
        std::toupper(static_cast<unsigned char>(Trim(rest.substr(1))[0])) == 'I') {
        args->withI = true;
        return true;
    }
    return false;
}

bool ParseUploadArgs(const std::string& text, UploadArgs* args) {
    std::string rest;
    if (!SplitQuotedName(text, &args->name, &rest)) {
        return false;
    }
    rest = Trim(rest);
    args->field1 = "1";
    args->attributes.clear();
    if (rest.empty()) {
        return true;
    }
    if (rest[0] != ',') {
        return false;
    }
    rest = rest.substr(1);
    std::size_t comma = rest.find(',');
    std::string field1 = Trim(rest.substr(0, comma));
    if (!field1.empty()) {
        if (!ValidField1(field1)) {
            return false;
        }
        args->field1 = field1;
    }
    if (comma == std::string::npos) {
        return true;
    }
    return FileStore::ParseAttributes(rest.substr(comma + 1), &args->attributes);
}

bool ParseDeleteArgs(const std::string& text, std::string* name) {
    std::string rest;
    return SplitQuotedName(text, name, &rest) && Trim(rest).empty();
}

}  // namespace modemsim

#include "tools/modemsim/file_store.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace modemsim {
namespace {

constexpr const char* kUploadTemp = ".modemsim-upload.tmp";
constexpr const char* kFieldsTemp = ".modemsim-attrs.tmp";

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) {
        return "";
    }
    std::size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

bool WriteWhole(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

std::string StoredFile::AttributeField() const {
    std::string field;
    for (char c : attributes) {
        if (!field.empty()) {
            field += ' ';
        }
        field += c;
    }
    return field;
}

bool FileStore::Prepare(std::string* error) {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (!fs::is_directory(dir_, ec)) {
        *error = "file store " + dir_ + " is not a directory";
        return false;
    }
    return true;
}

bool FileStore::ValidName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength || name[0] == '.') {
        return false;
    }
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7F || c == '/' || c == '\\' || c == ',' || c == '"') {
            return false;
        }
    }
    return true;
}

bool FileStore::ParseAttributes(const std::string& text, std::string* letters) {
    std::string result;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == ',') {
            continue;
        }
        if (!std::isalpha(u)) {
            return false;
        }
        char upper = static_cast<char>(std::toupper(u));
        if (result.find(upper) == std::string::npos) {
            result += upper;
        }
    }
    *letters = result;
    return true;
}

std::vector<std::pair<std::string, FileStore::Fields>> FileStore::LoadFields() const {
    std::vector<std::pair<std::string, Fields>> fields;
    std::ifstream in(PathOf(kAttributesFile));
    std::string line;
    while (std::getline(in, line)) {
        std::size_t first = line.find(',');
        std::string name = Trim(line.substr(0, first));
        if (name.empty()) {
            continue;
        }
        Fields f;
        f.field1 = "1";
        if (first != std::string::npos) {
            std::size_t second = line.find(',', first + 1);
            std::string field1 = Trim(line.substr(
                first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
            if (!field1.empty()) {
                f.field1 = field1;
            }
            if (second != std::string::npos) {
                std::string letters;
                if (ParseAttributes(line.substr(second + 1), &letters)) {
                    f.attributes = letters;
                }
            }
        }
        fields.emplace_back(name, f);
    }
    return fields;
}

bool FileStore::SaveFields(const std::vector<std::pair<std::string, Fields>>& fields,
                           std::string* error) const {
    std::ostringstream text;
    for (const auto& [name, f] : fields) {
        StoredFile shown;
        shown.attributes = f.attributes;
        text << name << ',' << f.field1 << ',' << shown.AttributeField() << '\n';
    }
    std::string temp = PathOf(kFieldsTemp);
    std::error_code ec;
    if (!WriteWhole(temp, text.str())) {
        *error = "cannot write " + temp;
        return false;
    }
    fs::rename(temp, PathOf(kAttributesFile), ec);
    if (ec) {
        *error = "cannot replace " + PathOf(kAttributesFile) + ": " + ec.message();
        return false;
    }
    return true;
}

std::vector<StoredFile> FileStore::List(std::string* error) const {
    std::vector<StoredFile> files;
    std::error_code ec;
    fs::directory_iterator it(dir_, ec);
    if (ec) {
        *error = "cannot read file store " + dir_ + ": " + ec.message();
        return files;
    }
    auto fields = LoadFields();
    for (const fs::directory_entry& entry : it) {
        std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.' || !entry.is_regular_file(ec)) {
            continue;
        }
        StoredFile file;
        file.name = name;
        file.size = entry.file_size(ec);
        for (const auto& [fieldName, f] : fields) {
            if (fieldName == name) {
                file.field1 = f.field1;
                file.attributes = f.attributes;
            }
        }
        files.push_back(file);
    }
    std::sort(files.begin(), files.end(),
              [](const StoredFile& a, const StoredFile& b) { return a.name < b.name; });
    return files;
}

bool FileStore::Find(const std::string& name, StoredFile* file) const {
    if (!ValidName(name)) {
        return false;
    }
    std::string error;
    for (const StoredFile& f : List(&error)) {
        if (f.name == name) {
            *file = f;
            return true;
        }
    }
    return false;
}

bool FileStore::Read(const std::string& name, std::string* data, std::string* error) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    if (!in) {
        *error = "cannot read stored file " + name;
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    *data = content.str();
    return true;
}

bool FileStore::Put(const std::string& name, const std::string& data, const std::string& field1,
                    const std::string& attributes, std::string* error) {
    if (!ValidName(name)) {
        *error = "invalid file name";
        return false;
    }
    std::string temp = PathOf(kUploadTemp);
    if (!WriteWhole(temp, data)) {
        *error = "cannot write " + temp;
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    std::error_code ec;
    fs::rename(temp, PathOf(name), ec);
    if (ec) {
        *error = "cannot store " + name + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    auto fields = LoadFields();
    fields.erase(std::remove_if(fields.begin(), fields.end(),
                                [&](const auto& entry) { return entry.first == name; }),
                 fields.end());
    fields.emplace_back(name, Fields{field1, attributes});
    return SaveFields(fields, error);
}

bool FileStore::Remove(const std::string& name, std::string* error) {
    StoredFile file;
    if (!Find(name, &file)) {
        return false;
    }
    std::error_code ec;
    if (!fs::remove(PathOf(name), ec)) {
        *error = "cannot delete " + name + ": " + ec.message();
        return false;
    }
    auto fields = LoadFields();
    auto end = std::remove_if(fields.begin(), fields.end(),
                              [&](const auto& entry) { return entry.first == name; });
    if (end != fields.end()) {
        fields.erase(end, fields.end());
        SaveFields(fields, error);
    }
    return true;
}

std::size_t FileStore::Clear(std::string* error) {
    std::size_t removed = 0;
    for (const StoredFile& file : List(error)) {
        std::error_code ec;
        if (fs::remove(PathOf(file.name), ec)) {
            ++removed;
        } else {
            *error = "cannot delete " + file.name + ": " + ec.message();
        }
    }
    std::error_code ec;
    fs::remove(PathOf(kAttributesFile), ec);
    return removed;
}

}  // namespace modemsim

#include "plugins/backup/backup_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "platform/private_directory.h"

namespace backup {
namespace {

// Updates of one model within the same second (several modems at once)
// that may each get a folder.
constexpr int kMaxSequence = 1000;
constexpr std::size_t kStampLength = 19;  // YYYY-MM-DD_HH-MM-SS
constexpr std::size_t kMaxModelLength = 64;

std::string In(const std::string& dir, const std::string& name) {
    return dir + platform::kPathSeparator + name;
}

bool WriteWhole(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool IsStamp(const std::string& text) {
    if (text.size() != kStampLength) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool separator = i == 4 || i == 7 || i == 13 || i == 16 || i == 10;
        const char expected = i == 10 ? '_' : '-';
        if (separator ? text[i] != expected
                      : std::isdigit(static_cast<unsigned char>(text[i])) == 0) {
            return false;
        }
    }
    return true;
}

// Takes a folder name apart: stamp, optional "-N", "_", model.
bool ParseFolderName(const std::string& name, KeptFolder* folder) {
    if (name.size() < kStampLength + 2 || !IsStamp(name.substr(0, kStampLength))) {
        return false;
    }
    std::size_t at = kStampLength;
    int sequence = 1;
    if (name[at] == '-') {
        sequence = 0;
        for (++at; at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])) != 0;
             ++at) {
            sequence = std::min(sequence * 10 + (name[at] - '0'), kMaxSequence + 1);
        }
        if (sequence < 2) {
            return false;
        }
    }
    if (at >= name.size() || name[at] != '_' || at + 1 == name.size()) {
        return false;
    }
    folder->stamp = name.substr(0, kStampLength);
    folder->sequence = sequence;
    folder->model = name.substr(at + 1);
    return true;
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string FolderModelName(const std::string& model) {
    std::string name;
    for (char c : model.substr(0, kMaxModelLength)) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.' ||
                          c == '+' || c == '-' || c == '_';
        name += kept && static_cast<unsigned char>(c) < 0x80 ? c : '_';
    }
    return name.empty() ? std::string("modem") : name;
}

std::string MakeRunDirectory(const std::string& listing, const std::string& model,
                             const std::string& stamp, std::string* why) {
    const std::string base = platform::PrivateStateDirectory(kPluginName, why);
    if (base.empty()) {
        return {};
    }
    const std::string modelName = FolderModelName(model);
    for (int sequence = 1; sequence <= kMaxSequence; ++sequence) {
        const std::string dir = In(
            base, stamp + (sequence > 1 ? "-" + std::to_string(sequence) : "") + "_" + modelName);
        bool existed = false;
        if (platform::MakePrivateDirectory(dir, &existed)) {
            if (!WriteWhole(In(dir, kListingFile), listing.empty() ? listing : listing + "\n")) {
                *why = "cannot write the listing into " + dir;
                platform::RemovePath(In(dir, kListingFile));
                platform::RemovePath(dir);
                return {};
            }
            return dir;
        }
        if (!existed) {
            *why = "cannot create " + dir;
            return {};
        }
    }
    *why = "no free folder name in " + base;
    return {};
}

std::string BackupFilePath(const std::string& runDirectory, int index) {
    std::string path = In(runDirectory, std::to_string(index));
    return path.size() < kMaxBackupPath ? path : std::string();
}

bool CutToListedSize(const std::string& path, std::int32_t listedSize, std::string* why) {
    std::error_code error;
    const std::uintmax_t received = std::filesystem::file_size(path, error);
    if (error) {
        *why = "cannot read the size of " + path;
        return false;
    }
    const auto wanted = static_cast<std::uintmax_t>(listedSize);
    if (received < wanted) {
        *why =
            "only " + std::to_string(received) + " of " + std::to_string(wanted) + " bytes arrived";
        return false;
    }
    if (received > wanted) {
        std::filesystem::resize_file(path, wanted, error);
        if (error) {
            *why = "cannot cut " + path + ": " + error.message();
            return false;
        }
    }
    return true;
}

void DeleteRun(const std::string& runDirectory, int count) {
    if (runDirectory.empty()) {
        return;
    }
    for (int index = 1; index <= count; ++index) {
        platform::RemovePath(BackupFilePath(runDirectory, index));
    }
    platform::RemovePath(In(runDirectory, kListingFile));
    platform::RemovePath(runDirectory);
}

std::string KeptFoldersPlace() {
    return platform::PrivateStateDirectoryPath(kPluginName);
}

std::vector<KeptFolder> ListKeptFolders() {
    std::vector<KeptFolder> folders;
    const std::string place = KeptFoldersPlace();
    std::error_code error;
    // A link in the place of the folder is not ours to read.
    if (place.empty() || std::filesystem::symlink_status(place, error).type() !=
                             std::filesystem::file_type::directory) {
        return folders;
    }
    for (const auto& entry : std::filesystem::directory_iterator(place, error)) {
        KeptFolder folder;
        if (entry.is_directory(error) && !entry.is_symlink(error) &&
            ParseFolderName(entry.path().filename().string(), &folder)) {
            folder.path = entry.path().string();
            folders.push_back(folder);
        }
    }
    std::sort(folders.begin(), folders.end(), [](const KeptFolder& a, const KeptFolder& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.sequence < b.sequence;
    });
    return folders;
}

const KeptFolder* NewestKeptFolder(const std::vector<KeptFolder>& folders,
                                   const std::string& model) {
    const std::string wanted = FolderModelName(model);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (SameNoCase(it->model, wanted)) {
            return &*it;
        }
    }
    return nullptr;
}

bool ReadKeptListing(const std::string& folder, std::vector<std::string>* lines) {
    lines->clear();
    std::FILE* file = std::fopen(In(folder, kListingFile).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
    }
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines->push_back(line);
        }
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return read;
}

}  // namespace backup

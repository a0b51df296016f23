#include "plugins/backup/backup_files.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/private_directory.h"

namespace backup {
namespace {

// Directories an update may try before it gives up.
constexpr int kMaxRuns = 10000;

bool WriteWhole(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

std::string MakeRunDirectory(const std::string& listing, std::string* why) {
    const std::string base = platform::PrivateTempDirectory(kPluginName, why);
    if (base.empty()) {
        return {};
    }
    for (int run = 1; run <= kMaxRuns; ++run) {
        const std::string dir = base + "/update-" + std::to_string(run);
        bool existed = false;
        if (platform::MakePrivateDirectory(dir, &existed)) {
            if (!WriteWhole(dir + "/" + kListingFile, listing.empty() ? listing : listing + "\n")) {
                *why = "cannot write the listing into " + dir;
                return {};
            }
            return dir;
        }
        if (!existed) {
            *why = "cannot create " + dir;
            return {};
        }
    }
    *why = "no free directory name in " + base;
    return {};
}

std::string BackupFilePath(const std::string& runDirectory, int index) {
    std::string path = runDirectory + "/" + std::to_string(index);
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
    platform::RemovePath(runDirectory + "/" + kListingFile);
    platform::RemovePath(runDirectory);
}

}  // namespace backup

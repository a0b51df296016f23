#include "plugins/backup/kept_restore.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "plugins/backup/backup_files.h"
#include "plugins/backup/file_entry.h"
#include "plugins/backup/store_back.h"
#include "plugins/backup/store_listing.h"

namespace backup {
namespace {

constexpr unsigned kListTimeoutMs = 1000;

struct Listed {
    std::int32_t size = 0;
    bool sizeGiven = false;
};

// The modem's files by name; false with the reason when it cannot be had.
bool StoreByName(CSerial* port, std::map<std::string, Listed>* files, std::string* why) {
    std::string listing;
    if (!ListStoredFiles(port, nullptr, kListTimeoutMs, &listing, why)) {
        return false;
    }
    files->clear();
    std::size_t start = 0;
    while (start < listing.size()) {
        const std::size_t end = listing.find('\n', start);
        const std::string line =
            listing.substr(start, end == std::string::npos ? end : end - start);
        FileEntry file;
        std::string refused;
        if (ReadEntry(line.c_str(), &file, &refused)) {
            (*files)[file.name] = Listed{file.size, file.sizeGiven};
        }
        start = end == std::string::npos ? listing.size() : end + 1;
    }
    return true;
}

// Whether the modem holds file as the copy has it; the problem otherwise.
bool IsBack(const std::map<std::string, Listed>& store, const std::string& name,
            std::uintmax_t copySize, std::string* problem, std::string* note) {
    auto it = store.find(name);
    if (it == store.end()) {
        *problem = "not in the modem's listing";
        return false;
    }
    if (!it->second.sizeGiven) {
        *note = "the listing gives no size, so its length cannot be checked";
        return true;
    }
    if (static_cast<std::uintmax_t>(it->second.size) != copySize) {
        *problem = "the modem lists " + std::to_string(it->second.size) + " bytes, the copy has " +
                   std::to_string(copySize);
        return false;
    }
    return true;
}

}  // namespace

bool RestoreKeptFolder(CSerial* port, const std::string& folder, int* progress,
                       const StoreObserver& observer, RestoreReport* report) {
    *report = RestoreReport();
    std::vector<std::string> lines;
    if (!ReadKeptListing(folder, &lines)) {
        report->why = "no " + std::string(kListingFile) + " in " + folder;
        return false;
    }
    std::map<std::string, Listed> before;
    if (!StoreByName(port, &before, &report->why)) {
        return false;
    }
    const int count = static_cast<int>(lines.size());
    std::vector<FileEntry> entries(lines.size());
    std::vector<std::uintmax_t> copySizes(lines.size(), 0);
    for (int index = 1; index <= count; ++index) {
        RestoredFile result;
        FileEntry& file = entries[static_cast<std::size_t>(index - 1)];
        std::string why;
        if (!ReadEntry(lines[static_cast<std::size_t>(index - 1)].c_str(), &file, &why)) {
            result.name = lines[static_cast<std::size_t>(index - 1)];
            result.problem = "it cannot be stored back: " + why;
            report->files.push_back(result);
            continue;
        }
        result.name = file.name;
        const std::string path = BackupFilePath(folder, index);
        std::error_code error;
        copySizes[static_cast<std::size_t>(index - 1)] = std::filesystem::file_size(path, error);
        if (error) {
            result.problem = "there is no copy of it in the folder";
        } else if (before.count(file.name) == 0) {
            if (observer) {
                observer(file, index, count);
            }
            const StoreBackResult stored =
                StoreCopyBack(port, file, path, nullptr, progress, nullptr);
            result.stored = stored == StoreBackResult::kStored;
            if (!result.stored) {
                result.problem = Describe(stored);
            }
            if (stored == StoreBackResult::kDeviceGone) {
                report->files.push_back(result);
                report->why = "the modem's device went away";
                return false;
            }
        }
        report->files.push_back(result);
    }

    std::map<std::string, Listed> after;
    if (!StoreByName(port, &after, &report->why)) {
        report->why = "the result cannot be checked: " + report->why;
        return false;
    }
    report->allBack = true;
    for (std::size_t i = 0; i < report->files.size(); ++i) {
        RestoredFile& result = report->files[i];
        if (result.problem.empty()) {
            result.back = IsBack(after, result.name, copySizes[i], &result.problem, &result.note);
            if (!result.back && !result.stored && before.count(result.name) != 0) {
                result.problem = "the modem holds another file of this name (" + result.problem +
                                 "); it was left as it is";
            }
        }
        report->allBack = report->allBack && result.back;
    }
    if (report->allBack) {
        DeleteRun(folder, count);
        std::error_code error;
        report->folderDeleted = !std::filesystem::exists(folder, error) && !error;
    }
    return true;
}

}  // namespace backup

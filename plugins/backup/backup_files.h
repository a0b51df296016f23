// The copies of the modem's files. Each update keeps them in a folder of
// its own in the plug-in's private folder of the user's state directory
// (~/.local/state/Sarnet_Plugin, on Windows %LOCALAPPDATA%\Sarnet_Plugin),
// which outlives the run and a reboot; the folder is named by the date, the
// time and the model of the update (2026-12-08_15-22-20_ORVA_56K_Voice), so
// the copies an earlier failed update left there are never overwritten. A
// copy is named by its position in the listing (1, 2, ...), never by the
// modem's name for it; listing.txt beside the copies holds the listing, one
// file per line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace backup {

// The plug-in's name for its private folder.
constexpr const char* kPluginName = "Sarnet_Plugin";
constexpr const char* kListingFile = "listing.txt";
// Longest path of a local copy, its NUL included.
constexpr std::size_t kMaxBackupPath = 260;

// The model as it stands in a folder name: letters, digits, '.', '+', '-'
// and '_' as they are, anything else as '_'; at most 64 characters.
std::string FolderModelName(const std::string& model);

// Makes this update's folder (stamp as platform::LocalTimeStamp gives it)
// and writes the listing into it. Returns the folder, or empty with the
// reason in *why.
std::string MakeRunDirectory(const std::string& listing, const std::string& model,
                             const std::string& stamp, std::string* why);

// The path of the copy of listing entry index (from 1); empty when it
// would be longer than kMaxBackupPath - 1.
std::string BackupFilePath(const std::string& runDirectory, int index);

// Brings a received copy to the size the listing gives: XModem fills the
// last block with padding, which is cut off. A copy shorter than that
// size lost data on the way: false (also when the copy cannot be read or
// cut).
bool CutToListedSize(const std::string& path, std::int32_t listedSize, std::string* why);

// Deletes the copies of entries 1..count, the listing and the folder.
void DeleteRun(const std::string& runDirectory, int count);

// A folder of kept copies.
struct KeptFolder {
    std::string path;
    std::string stamp;  // "2026-12-08_15-22-20"
    int sequence = 1;   // 2, 3, ... for further updates within the same second
    std::string model;  // as FolderModelName wrote it
};

// Where the folders of kept copies are (whether or not it exists yet).
std::string KeptFoldersPlace();

// The folders of kept copies, oldest first; folders of other names are
// left out.
std::vector<KeptFolder> ListKeptFolders();

// The newest of folders made for model (compared as FolderModelName writes
// it, without regard to case); null when there is none.
const KeptFolder* NewestKeptFolder(const std::vector<KeptFolder>& folders,
                                   const std::string& model);

// The lines of a folder's listing.txt; false when it cannot be read.
bool ReadKeptListing(const std::string& folder, std::vector<std::string>* lines);

}  // namespace backup

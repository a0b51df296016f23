// The local copies of the modem's files. Each update keeps them in a new
// directory of its own (update-1, update-2, ...) inside the plug-in's
// private directory, so the copies an earlier failed update left there are
// never overwritten. A copy is named by its position in the listing (1,
// 2, ...), never by the modem's name for it; listing.txt beside the copies
// holds the listing, so a user can tell them apart.
#pragma once

#include <cstdint>
#include <string>

namespace backup {

// The plug-in's name for its private directory.
constexpr const char* kPluginName = "Sarnet_Plugin";
constexpr const char* kListingFile = "listing.txt";
// Longest path of a local copy, its NUL included.
constexpr std::size_t kMaxBackupPath = 260;

// Makes this update's directory and writes the listing into it. Returns
// the directory, or empty with the reason in *why.
std::string MakeRunDirectory(const std::string& listing, std::string* why);

// The path of the copy of listing entry index (from 1); empty when it
// would be longer than kMaxBackupPath - 1.
std::string BackupFilePath(const std::string& runDirectory, int index);

// Brings a received copy to the size the listing gives: XModem fills the
// last block with padding, which is cut off. A copy shorter than that
// size lost data on the way: false (also when the copy cannot be read or
// cut).
bool CutToListedSize(const std::string& path, std::int32_t listedSize, std::string* why);

// Deletes the copies of entries 1..count, the listing and the directory.
void DeleteRun(const std::string& runDirectory, int count);

}  // namespace backup

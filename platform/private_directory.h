// Directories that hold the user's own data between two steps of a job (a
// plug-in's backups): below the temporary directory (on Windows the local
// application data), where others may have been before, so each is
// checked before it is trusted.
#pragma once

#include <string>

namespace platform {

// The environment variable that names the folder below which the private
// directories lie: the temporary directory (TMPDIR) on POSIX, the user's
// local application data (LOCALAPPDATA) on Windows.
#if defined(_WIN32)
constexpr const char* kPrivateDirectoryRootVariable = "LOCALAPPDATA";
#else
constexpr const char* kPrivateDirectoryRootVariable = "TMPDIR";
#endif

// <temporary directory>/<name>-<user id> (Windows: <local application
// data>\<name>): where PrivateTempDirectory keeps the directory of that
// name for this user. Only forms the path.
std::string PrivateTempDirectoryPath(const std::string& name);

// Creates the directory of PrivateTempDirectoryPath (mode 0700; on Windows
// with a security descriptor for the user alone) or reuses
// it, and returns its path. Refuses (empty result, reason in *why) a name
// that is empty or not a single path component, and a path that is not a
// real directory (a link, a file), belongs to another user or lets group
// or others in: someone may have planted it to catch the files.
std::string PrivateTempDirectory(const std::string& name, std::string* why);

// Creates a new directory only this user can enter. False when it cannot be
// made; *existed tells whether something of that name was there already.
bool MakePrivateDirectory(const std::string& path, bool* existed);

// True when a regular file lies anywhere below dir (links are not followed).
bool DirectoryHoldsFiles(const std::string& dir);

// Removes a file or an empty directory; true also when nothing was there,
// false when it stays.
bool RemovePath(const std::string& path);

}  // namespace platform

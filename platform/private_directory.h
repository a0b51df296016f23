// Directories that hold the user's own data from one run of the program to
// the next (the copies of the modem's files that a failed update keeps):
// in the user's state directory, each checked before it is trusted.
#pragma once

#include <string>

namespace platform {

// The environment variable that names the user's state directory:
// XDG_STATE_HOME on POSIX, the user's local application data
// (LOCALAPPDATA) on Windows.
#if defined(_WIN32)
constexpr const char* kUserStateDirectoryVariable = "LOCALAPPDATA";
#else
constexpr const char* kUserStateDirectoryVariable = "XDG_STATE_HOME";
#endif

// The user's directory for data that outlives a run and survives a reboot:
// $XDG_STATE_HOME when it is an absolute path, otherwise ~/.local/state
// (on Windows %LOCALAPPDATA% when it is an absolute path, otherwise the
// shell's local application data folder). Empty when the system cannot
// tell.
std::string UserStateDirectory();

// <UserStateDirectory()>/<name>: where PrivateStateDirectory keeps the
// directory of that name. Only forms the path.
std::string PrivateStateDirectoryPath(const std::string& name);

// Creates the directory of PrivateStateDirectoryPath (mode 0700, on
// Windows with a security descriptor for the user alone; and the state
// directory above it when missing) or reuses it, and returns its path.
// Refuses (empty result, reason in *why) a name that is empty or not a
// single path component, and a path that is not a real directory (a link,
// a file), belongs to another user or lets anyone else in: someone may
// have planted it to catch the files.
std::string PrivateStateDirectory(const std::string& name, std::string* why);

// Creates a new directory only this user can enter. False when it cannot be
// made; *existed tells whether something of that name was there already.
bool MakePrivateDirectory(const std::string& path, bool* existed);

// True when a regular file lies anywhere below dir (links are not followed).
bool DirectoryHoldsFiles(const std::string& dir);

// Removes a file or an empty directory; true also when nothing was there,
// false when it stays.
bool RemovePath(const std::string& path);

}  // namespace platform

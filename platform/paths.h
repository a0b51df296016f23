// Where the program lives, the current directory and the temporary
// directory: the file-system facts the wizard needs from the system.
#pragma once

#include <string>

namespace platform {

// Separator between the directories of a path, and the ending of a
// program's file name, on this system.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
constexpr const char* kProgramSuffix = ".exe";
#else
constexpr char kPathSeparator = '/';
constexpr const char* kProgramSuffix = "";
#endif

// Directory of the running program, absolute and without a trailing
// separator; empty when the system cannot tell.
std::string ProgramDirectory();

// Makes dir the process's current directory; false when that fails.
bool SetCurrentDirectory(const std::string& dir);

// The directory for temporary files, without a trailing separator.
std::string TempDirectory();

// Creates a new directory <temporary directory>/<prefix>-XXXXXX, readable
// only by this user; empty when that fails.
std::string MakeTemporaryDirectory(const std::string& prefix);

// Makes link a symbolic link to target (replacing nothing); false on failure.
// Windows lets only privileged users make symbolic links: there link is a
// hard link to the file target, or a copy of it where the two lie on
// different volumes, and directories cannot be linked.
bool LinkFile(const std::string& target, const std::string& link);
#if defined(_WIN32)
constexpr bool kLinkFileMakesSymbolicLinks = false;
#else
constexpr bool kLinkFileMakesSymbolicLinks = true;
#endif

// Removes a directory with everything below it; false when something stays.
bool RemoveTree(const std::string& dir);

}  // namespace platform

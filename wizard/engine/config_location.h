// Where Wizard.inf lies and the directory that the file names in it are
// relative to: the program directory.
#pragma once

#include <cstddef>
#include <string>

// The longest path: a path and its NUL fill a 260-byte field (the
// _Status record carries the configuration path this way).
constexpr std::size_t kMaxPathLength = 259;

struct ConfigLocation {
    std::string programDir;  // without a trailing separator
    std::string iniPath;     // programDir, separator, Wizard.inf
};

// Start-up: makes the program directory the current directory (so that a
// relative VersionInfo resolves against it) and forms the path of
// Wizard.inf beside the program. Returns whether the directory was made
// current; *location is formed in either case, unless the program
// directory is unknown or the path would be longer than kMaxPathLength,
// when it stays empty and *why says so.
bool FormConfigPath(ConfigLocation* location, std::string* why);

// The location of a Wizard.inf at iniPath: its directory takes the
// program directory's place. A relative iniPath is taken from the current
// directory. False, with *why, when the absolute path is longer than
// kMaxPathLength.
bool LocateConfigFile(const std::string& iniPath, ConfigLocation* location, std::string* why);

// The path of the Wizard.inf beside the program, which is read when no
// other is named; empty when the program directory is unknown.
std::string ConfigPathBesideProgram();

// programDir, separator, name: a file name of Wizard.inf as the wizard
// opens it. The name is appended as it stands, even an absolute one, so it
// always names a file below the program directory.
std::string ProgramFilePath(const std::string& programDir, const std::string& name);

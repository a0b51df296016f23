// Who may enter a directory, for tests of the private directories: the
// permission bits on POSIX, the access list on Windows.
#pragma once

#include <string>

namespace platform::testing {

// True when path is a directory of this user that lets nobody else in.
bool OnlyTheUserMayEnter(const std::string& path);

// Lets every user read and enter the directory at path, as a careless
// administrator would. False when the system refuses.
bool LetOthersIn(const std::string& path);

}  // namespace platform::testing

// Compiled gettext catalogues (.mo) made by a test, for translations that no
// catalogue of the build has.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace test_support {

// Writes a catalogue of the given original -> translation pairs (and the
// header entry that declares UTF-8). False when the file cannot be written.
bool WriteMessageCatalogue(const std::string& path,
                           std::vector<std::pair<std::string, std::string>> messages);

}  // namespace test_support

#include <sstream>

#include "platform/process.h"
#include "platform/testing/library_exports.h"

namespace platform::testing {

bool LibraryExportNames(const std::string& path, std::set<std::string>* names, std::string* error) {
    ProcessResult nm = RunProcess({"nm", "-D", "--defined-only", path}, 30000);
    if (!nm.started || nm.exitCode != 0) {
        *error = "nm: " + nm.startError + nm.stderrText;
        return false;
    }
    names->clear();
    std::istringstream lines(nm.stdoutText);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t space = line.rfind(' ');
        if (space != std::string::npos) {
            names->insert(line.substr(space + 1));
        }
    }
    return true;
}

}  // namespace platform::testing

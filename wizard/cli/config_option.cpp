#include "wizard/cli/config_option.h"

#include <iostream>

namespace cli {

bool LocateConfigOrReport(const Args& args, const char* command, ConfigLocation* location) {
    std::string path;
    if (std::optional<std::string> given = args.Value("--config")) {
        path = *given;
    } else {
        path = ConfigPathBesideProgram();
        if (path.empty()) {
            std::cerr << "wizard-cli " << command
                      << ": the program directory cannot be found; use --config FILE\n";
            return false;
        }
    }
    std::string why;
    if (!LocateConfigFile(path, location, &why)) {
        std::cerr << "wizard-cli " << command << ": " << why << "\n";
        return false;
    }
    return true;
}

}  // namespace cli

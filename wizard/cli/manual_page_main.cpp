// wizard-manual-page: the build's maker of man pages. Renders a manual
// written in the markup of manual_text.h as a man page; in the wizard-cli
// manual the line "<!-- commands -->" stands for every command's entry, as
// "wizard-cli help COMMAND" shows it.
#include <fstream>
#include <iostream>
#include <sstream>

#include "wizard/cli/command.h"
#include "wizard/cli/manual_text.h"

namespace {

constexpr const char* kCommandsMarker = "<!-- commands -->";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::cerr << "Usage: wizard-manual-page SOURCE.md NAME SECTION DATE \"PROJECT VERSION\" "
                     "OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::ostringstream source;
    source << in.rdbuf();
    if (!in) {
        std::cerr << "wizard-manual-page: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string text = source.str();
    const std::size_t marker = text.find(kCommandsMarker);
    if (marker != std::string::npos) {
        text.replace(marker, std::char_traits<char>::length(kCommandsMarker),
                     cli::CommandsManual());
    }
    const cli::manual::PageInfo page{argv[2], argv[3], argv[4], argv[5], "User Commands"};
    std::ofstream out(argv[6], std::ios::binary | std::ios::trunc);
    out << cli::manual::RenderRoff(cli::manual::Parse(text), page);
    out.close();
    if (!out) {
        std::cerr << "wizard-manual-page: cannot write " << argv[6] << "\n";
        return 1;
    }
    return 0;
}

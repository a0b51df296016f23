#include "wizard/cli/confirmation.h"

#include <iostream>

#include "platform/terminal.h"
#include "wizard/engine/fatal_exit.h"
#include "wizard/resources/strings.h"

namespace cli {

Answer AskBeforeUpdate(const std::string& question) {
    if (!platform::StandardInputIsTerminal()) {
        return Answer::kNoTerminal;
    }
    std::cout << "\n" << TerminalText(wizard::LoadText(wizard::IDS_UPDATE_INTRO)) << "\n";
    return Ask(question);
}

Answer Ask(const std::string& question) {
    if (!platform::StandardInputIsTerminal()) {
        return Answer::kNoTerminal;
    }
    std::cout << "\n" << question << " [y/N] " << std::flush;
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes" ? Answer::kYes : Answer::kNo;
}

}  // namespace cli

// The question before an update starts, asked on the terminal.
#pragma once

#include <string>

namespace cli {

enum class Answer { kYes, kNo, kNoTerminal };

// What is said when nobody at a terminal can answer.
constexpr const char* kNoConfirmation =
    "not updating without a confirmation; add --yes to update unattended";

// Shows the update page's introduction and asks question ("Update now?")
// with [y/N]. kNoTerminal, asking nothing, when standard input is no
// terminal.
Answer AskBeforeUpdate(const std::string& question);
// Asks question with [y/N], and nothing more.
Answer Ask(const std::string& question);

}  // namespace cli

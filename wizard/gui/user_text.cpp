#include "wizard/gui/user_text.h"

#include "wizard/engine/fatal_exit.h"
#include "wizard/resources/strings.h"

namespace gui {

QString UserText(const std::string& text) {
    return QString::fromStdString(TerminalText(text));
}

QString Text(int id) {
    return UserText(wizard::LoadText(id));
}

}  // namespace gui

// Texts as the widgets show them: the string table's texts and the texts
// that come from the worker and the plug-ins are UTF-8 with "\r" as their
// line break.
#pragma once

#include <QString>
#include <string>

namespace gui {

// text with its "\r" line breaks as line feeds.
QString UserText(const std::string& text);

// The text of a string-table id in the user's language.
QString Text(int id);

}  // namespace gui

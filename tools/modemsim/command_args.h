// Arguments of the file-store commands: AT$JDNL="name",I,
// AT$JUPL="name",field1,attr,... and AT$JDEL="name".
#pragma once

#include <string>

namespace modemsim {

// Splits `"name"rest`. False when the text does not start with a quoted name.
bool SplitQuotedName(const std::string& text, std::string* name, std::string* rest);

struct DownloadArgs {
    std::string name;
    bool withI = false;  // ",I" given
};
bool ParseDownloadArgs(const std::string& text, DownloadArgs* args);

struct UploadArgs {
    std::string name;
    std::string field1 = "1";
    std::string attributes;  // letters, each once
};
// Missing or empty field1 is stored as "1"; the attributes are the letters
// of the fields after it (none at all is fine: "name",1, has none).
bool ParseUploadArgs(const std::string& text, UploadArgs* args);

bool ParseDeleteArgs(const std::string& text, std::string* name);

}  // namespace modemsim

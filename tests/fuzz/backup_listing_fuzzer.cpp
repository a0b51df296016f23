// libFuzzer target: the backup plug-in's reading of the modem's file
// listing: the listing into the module state, each entry taken apart into
// fields, attributes and size, and the commands that fetch a file and store
// it back.
//
// Besides crashes and memory errors (every result lives in a fixed buffer)
// it stops when
//  - the stored listing is not the listing, line for line, or a refused one
//    leaves entries behind;
//  - a field is not the part of the entry between two commas with its
//    white space collapsed as the listing's rules say, or the attribute
//    arguments are not the attribute letters;
//  - an accepted entry names another file than the listed one, has a size
//    that is not its size field's digits, or gives commands that do not fit
//    the modem's buffer, do not name it exactly, or could break out of the
//    quotes or the command line.
//
// Input: the cleaned answer of the listing command, lines ended by LF.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_api/multi_string.h"
#include "plugins/backup/backup_state.h"
#include "plugins/backup/entry_fields.h"
#include "plugins/backup/file_entry.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "transfer/listing_field.h"
#include "transfer/modem_commands.h"

namespace {

using fuzz::Check;

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

// The fields of an entry by the listing's rules: a run of white space
// becomes one blank (a comma does not end the run), commas separate.
std::vector<std::string> ExpectedFields(const char* entry) {
    std::string out;
    bool lastKept = true;
    for (const char* p = entry; *p != '\0'; ++p) {
        if (IsSpace(*p)) {
            if (lastKept) {
                out += ' ';
                lastKept = false;
            }
        } else {
            out += *p;
            lastKept = *p == ',' ? lastKept : true;
        }
    }
    return Split(out, ',');
}

bool CommandSafe(const std::string& text) {
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"') {
            return false;
        }
    }
    return true;
}

void CheckEntry(const char* entry) {
    const std::vector<std::string> fields = ExpectedFields(entry);
    std::size_t normalizedLength = fields.size() - 1;
    for (const std::string& field : fields) {
        normalizedLength += field.size();
    }
    const char* normalized = NormalizeEntry(entry);
    Check((normalized == nullptr) == (normalizedLength + 2 > kEntryBufferSize),
          "an entry is refused exactly when it does not fit its buffer");
    if (normalized == nullptr) {
        return;
    }
    for (int n = 0; n < 8; ++n) {
        std::string expected = n < static_cast<int>(fields.size()) ? fields[n] : std::string();
        expected.erase(0, expected.find_first_not_of(" "));
        Check(GetEntryField(normalized, n) == expected,
              "a field is the part between two commas, leading white space cut");
    }
    const std::string letters = GetEntryField(normalized, 2);
    std::string expectedArgs;
    for (char c : letters) {
        if (!IsSpace(c)) {
            expectedArgs += expectedArgs.empty() ? std::string(1, c) : std::string(",") + c;
        }
    }
    const char* args = AttributeArgs(letters.c_str());
    Check(args == nullptr ? expectedArgs.size() + 2 > kEntryBufferSize : args == expectedArgs,
          "the attribute arguments are the letters, comma-separated");

    FileEntry file;
    std::string why;
    if (!ReadEntry(entry, &file, &why)) {
        Check(!why.empty(), "a refused entry says why");
        return;
    }
    // The name as listed, or without the white space around it.
    Check(!file.name.empty() &&
              (file.name == SeparatedField(entry, ',', 0) || file.name == ListingField(entry, 0)),
          "an accepted entry names the listed file");
    Check(CommandSafe(file.name) && CommandSafe(file.field1) && CommandSafe(file.attributes),
          "an accepted entry holds no quote or control character for the commands");
    const std::string sizeField = GetEntryField(NormalizeEntry(entry), 5);
    std::int64_t digits = 0;
    std::size_t at = 0;
    for (; at < sizeField.size() && std::isdigit(static_cast<unsigned char>(sizeField[at])); ++at) {
        digits = digits * 10 + (sizeField[at] - '0');
    }
    Check(file.sizeGiven == (at > 0) && file.size == digits,
          "the size is the leading digits of the size field");

    std::string command;
    Check(DownloadCommand(file, &command), "an accepted entry can be fetched");
    Check(command == "AT$JDNL=\"" + file.name + "\"" +
                         (file.attributes.find('I') != std::string::npos ? ",I" : ""),
          "the download command names the file");
    Check(command.size() < kCommandBufferSize, "the download command fits the modem's buffer");
    Check(StoreCommand(file, &command), "an accepted entry can be stored back");
    const std::string head = "at$jupl=\"" + file.name + "\"," + file.field1 + ",";
    Check(command.compare(0, head.size(), head) == 0, "the store command names the file");
    Check(command.size() < kCommandBufferSize, "the store command fits the modem's buffer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string listing(reinterpret_cast<const char*>(data), size);
    BackupState& state = TheBackupState();
    const bool stored = state.StoreListing(listing);
    if (stored) {
        Check(MultiStringSize(state.ModemFileList, kModemFileListSize) != 0,
              "the stored listing ends inside its buffer");
        std::vector<std::string> lines = Split(listing, '\n');
        if (lines.back().empty()) {
            lines.pop_back();  // a line end closes the last line
        }
        std::size_t n = 0;
        for (const char* entry = state.FirstEntry(); *entry != '\0';
             entry = MultiStringNext(entry), ++n) {
            Check(n < lines.size() && lines[n] == entry, "the stored entries are the lines");
            CheckEntry(entry);
        }
        Check(n == lines.size(), "every line of the listing is stored");
    } else {
        Check(*state.FirstEntry() == '\0' && state.fileCount == 0,
              "a refused listing leaves no entries behind");
    }
    // Every line as an entry, whatever the listing as a whole.
    for (const std::string& line : Split(listing, '\n')) {
        CheckEntry(line.c_str());
    }
    return 0;
}

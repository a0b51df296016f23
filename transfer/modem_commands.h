// The file-store commands, formatted into the modem's 260-byte command
// buffers. A command that would not fit, or a name that would break out of
// its quotes or end the command line early, is refused: nothing is
// formatted and nothing may be sent.
#pragma once

#include <array>
#include <string>

constexpr std::size_t kCommandBufferSize = 260;

// True when text may stand in a command: no control character (a CR would
// end the command and start another), and, when quoted, no double quote
// (it would end the quoted name).
bool CommandTextIsSafe(const std::string& text, bool quoted);

// "AT$JUPL=\"name\",a,b,c"
bool FormatUploadCommand(const std::string& name, const std::array<std::string, 3>& args,
                         std::string* command);
// "AT$JDNL=\"name\""
bool FormatDownloadCommand(const std::string& name, std::string* command);
// "AT$JDEL=\"name\""
bool FormatDeleteCommand(const std::string& name, std::string* command);

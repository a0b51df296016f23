// The check of an image or flash loader before anything is sent: the file
// must read, record by record, exactly the way the sender will take it,
// and end with its end-of-file record. A file that would desynchronise the
// sender half-way through programming the flash is refused up front.
#pragma once

#include <string>

namespace flinta {

// True when the file at path can be sent. Otherwise false, with the line
// and the reason in *problem (also traced). Accepted after the end-of-file
// record: characters that hold no colon (such as an end-of-file character).
bool CheckHexFile(const std::string& path, std::string* problem);

}  // namespace flinta

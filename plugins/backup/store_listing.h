// The listing of the modem's file store as the backup and the restore read
// it: every file, hidden and system files included.
#pragma once

#include <string>

class CSerial;

namespace backup {

constexpr const char* kListCommand = "AT$JDIR=,,H,S";

// Sends the listing command and reads the answer up to the line that ends
// it: a line that is "OK" ends it well, one that is "ERROR", "NO CARRIER",
// "NOK" or "NOK" with an error number ends it badly. Any other line is a
// file, whatever words its name holds ("NOKIA.cfg", "BOOK"). *listing gets
// the file lines as the modem sent them, without their line ends, joined
// by line feeds. False, with the reason in *why, when the modem refuses,
// stops answering for timeoutMs before the end, or says more than a
// listing can hold.
bool ListStoredFiles(CSerial* port, const char* cancel, unsigned timeoutMs, std::string* listing,
                     std::string* why);

}  // namespace backup

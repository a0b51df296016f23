// Sending an Intel HEX file to the modem record by record, each record
// acknowledged on its own, with the recovery of records that were not.
#pragma once

#include <string>

class CSerial;
struct _Status;

namespace flinta {

// How the records go out.
constexpr int SEND_AS_COMMANDS = 0;  // "at&&f" + record: the flash loader into the AT firmware
constexpr int SEND_RAW = 1;          // the record as it stands: the firmware into the loader

// Time allowed for the acknowledgement of one record.
constexpr unsigned kRecordTimeoutMs = 2000;

// Sends the file at path. status->total becomes the file's size in
// characters and status->done counts the characters of the records
// handled. *answer receives the text collected by the last wait (for the
// loader's last record: its version banner); line holds the last line
// written. Returns 1 when every record was sent and acknowledged, 0 when
// the file cannot be opened or a record stayed unacknowledged (nothing of
// the file is sent after that record).
int SendImage(const std::string& path, std::string* answer, int mode, std::string& line,
              CSerial* port, _Status* status);

// Rescues a record that was not acknowledged; code tells the failure (the
// sender passes 0). Failures to program a byte, to find the colon and of
// the checksum send line again, up to 10 times; a failure to erase erases
// the flash. Returns 1 once the line is acknowledged (or the loader is back
// after the erase). *answer, when given, receives the text of the last wait.
int RecoverLine(CSerial* port, int code, const std::string& line, std::string* answer = nullptr);

}  // namespace flinta

// One-line reports of how a file-store transfer ended, shared by the
// upload and download commands.
#pragma once

#include <string>

#include "transfer/file_transfer.h"

class CSerial;

namespace cli {

// Prints why the transfer of job did not complete to stderr, prefixed
// with "wizard-cli COMMAND: "; returns the exit code (0 when completed).
int ReportTransferOutcome(const char* command, const TransferJob& job, CSerial& port,
                          const std::string& portName);

// The message for a name the modem commands cannot carry.
std::string RefusedNameMessage(const std::string& name);

}  // namespace cli

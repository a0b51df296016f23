#include "wizard/cli/transfer_report.h"

#include <iostream>

#include "wizard/cli/port_access.h"

namespace cli {

int ReportTransferOutcome(const char* command, const TransferJob& job, CSerial& port,
                          const std::string& portName) {
    const std::string prefix = std::string("wizard-cli ") + command + ": ";
    switch (job.outcome) {
        case TransferOutcome::Completed:
            return 0;
        case TransferOutcome::PortNotOpened:
            if (!ReportPortFailure(port, portName)) {
                std::cerr << prefix << "the port " << portName << " could not be opened\n";
            }
            return 1;
        case TransferOutcome::LocalFileFailed:
            std::cerr << prefix << "cannot " << (job.upload ? "read " : "create ") << job.localPath
                      << "\n";
            return 1;
        case TransferOutcome::CommandRefused:
            std::cerr << prefix << "the modem did not take the upload command for " << job.modemName
                      << "\n";
            return 1;
        case TransferOutcome::TransferFailed:
            if (job.upload) {
                std::cerr << prefix << "the modem did not receive " << job.modemName
                          << " completely\n";
            } else {
                std::cerr << prefix << "the modem did not send " << job.modemName << " completely; "
                          << job.localPath << " holds the part received\n";
            }
            return 1;
        case TransferOutcome::NotRun:
            break;
    }
    std::cerr << prefix << "the transfer did not run\n";
    return 1;
}

std::string RefusedNameMessage(const std::string& name) {
    return "the name \"" + name +
           "\" does not fit a modem command (too long, or it holds a double quote or a control "
           "character); nothing was sent";
}

}  // namespace cli

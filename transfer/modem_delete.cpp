#include "transfer/modem_delete.h"

#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/modem_commands.h"

namespace {

constexpr DWORD kDeleteTimeoutMs = 1000;

}  // namespace

DeleteResult RequestModemFileDelete(CSerial* port, const std::string& name) {
    std::string command;
    if (!FormatDeleteCommand(name, &command)) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP,
                     "DeleteModemFile: Name does not fit the modem command, nothing sent: <%s>\n",
                     name.c_str());
        return DeleteResult::Refused;
    }
    const bool opened = port->Open();
    port->ClearInput(0);
    std::string answer;
    char cancel = 0;
    const bool ok = port->Request(command, &answer, 0, &cancel, kDeleteTimeoutMs, 0);
    port->Close();
    if (!opened) {
        return DeleteResult::PortNotOpened;
    }
    return ok ? DeleteResult::Deleted : DeleteResult::NotConfirmed;
}

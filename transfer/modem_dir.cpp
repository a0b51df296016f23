#include "transfer/modem_dir.h"

#include "serial/serial.h"
#include "serial/trace.h"

namespace {

constexpr DWORD kDirTimeoutMs = 2000;

}  // namespace

int GetModemDir(CSerial* port, std::list<std::string>* listing) {
    if (!port->Open()) {
        return -1;
    }
    listing->clear();
    std::string answer;
    if (!port->Request("AT$JDIR", &answer, REQUEST_IGNORE_ECHO, nullptr, kDirTimeoutMs, 0)) {
        port->Close();
        return -1;
    }
    port->Close();
    // The answer opens with the line end after the echo and closes with the
    // line end after "OK".
    std::string text = answer.size() > 4 ? answer.substr(2, answer.size() - 4) : std::string();
    xdebug_Trace(2, TRACE_LEVEL_STEP, "GetModemDir: Read directory information:\n%s\n",
                 text.c_str());
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n')) {
        listing->push_back(text.substr(0, end));
        text.erase(0, end + 1);
    }
    return static_cast<int>(listing->size());
}

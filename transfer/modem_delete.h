// Deleting a file from the modem's file store.
#pragma once

#include <string>

class CSerial;

enum class DeleteResult {
    Refused,        // the name does not fit the command; nothing was sent
    PortNotOpened,  // the port could not be opened
    NotConfirmed,   // the modem did not answer OK
    Deleted,        // the modem answered OK
};

// Opens the port, sends AT$JDEL="name" with echo check and closes the port.
DeleteResult RequestModemFileDelete(CSerial* port, const std::string& name);

// The directory of the modem's file store.
#pragma once

#include <list>
#include <string>

class CSerial;

// Opens the port, asks "AT$JDIR" and closes the port again. Stores one
// element per answer line (up to, not including, its line feed) and returns
// their number; -1 when the port does not open or the modem does not answer
// OK (the list is then left as it was, or cleared after a failed request).
int GetModemDir(CSerial* port, std::list<std::string>* listing);

// Modem identification: factory reset, then model name and information pages.
#pragma once

#include <string>

class CSerial;

// Resets the modem with AT&F and reads, for each output given, the model
// name (AT+GMM, or AT+GMM9 when that fails), the ATI3 and the ATI5 text.
// True when every request whose result counts answered OK (ATI5's does not).
bool IdentifyModem(CSerial* port, const char* cancel, std::string* model, std::string* ati3,
                   std::string* ati5);

// The wait for the flash loader's answer to one record. The loader answers
// "OK" or a negative "NOK", "NOK1" .. "NOK4": these contain the letters
// "OK" too, so a plain search for "OK" would take a refusal for an
// acknowledgement and report a flash that was never programmed as done.
#pragma once

#include <string>

#include "platform/types.h"

class CSerial;

namespace flinta {

enum class Acknowledgement {
    kOk,       // an "OK" that is not part of "NOK"
    kRefused,  // "NOK" (with its digit, when one follows)
    kNone,     // nothing of the kind in time
};

// Reads until an acknowledgement or a refusal arrives, or timeoutMs pass.
// A refusal ends the wait at once, as soon as its line has ended, and so
// does a modem that has gone. *answer,
// when given, receives everything read.
Acknowledgement WaitForAcknowledgement(CSerial* port, std::string* answer, DWORD timeoutMs);

}  // namespace flinta

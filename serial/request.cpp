// The AT command engine: CSerial::Request and CSerial::WaitFor.
#include <algorithm>
#include <string>

#include "platform/clock.h"
#include "serial/serial.h"
#include "serial/trace.h"

namespace {

constexpr DWORD kCharWriteTimeoutMs = 100;
constexpr DWORD kFirstEchoWaitMs = 100;
constexpr DWORD kEchoWaitIncreaseMs = 50;
constexpr int kEchoFailuresAllowed = 10;
constexpr DWORD kEchoFailurePauseMs = 300;
constexpr DWORD kLineEndByteWaitMs = 2500;
constexpr std::size_t kEchoSlackBytes = 16;
// The whole wait for the echoed line end: a peer that keeps sending other
// bytes (a boot loader's NAKs, slower than the echo's length would show)
// must not hold the request for ever.
constexpr DWORD kLineEndWaitMs = 5000;
constexpr DWORD kAnswerGapMs = 250;
constexpr DWORD kScrollIntervalMs = 250;
constexpr DWORD kPauseAfterFailedTryMs = 500;
// Longest sleep between two looks at a caller's cancel byte.
constexpr DWORD kCancelCheckMs = 20;

bool Cancelled(const char* cancel) {
    return cancel != nullptr && *static_cast<const volatile char*>(cancel) != 0;
}

// Milliseconds from now until the tick t, 0 when t has passed (wrap-safe).
DWORD Until(DWORD t) {
    int left = static_cast<int>(t - platform::GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

void Trace(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "%s", text);
}

int Classify(const std::string& text) {
    if (text.find("NOK") != std::string::npos) {
        Trace("CSerial::Request: \"NOK\" found in modem string, exiting.\n");
        return REQUEST_NOK;
    }
    if (text.find("ERROR\r\n") != std::string::npos) {
        Trace("CSerial::Request: \"ERROR\" found in modem string, exiting.\n");
        return REQUEST_ERROR;
    }
    if (text.find("NO CARRIER\r\n") != std::string::npos) {
        Trace("CSerial::Request: \"NO CARRIER\" found in modem string, exiting.\n");
        return REQUEST_NO_CARRIER;
    }
    if (text.find("OK\r\n") != std::string::npos) {
        Trace("CSerial::Request: \"OK\" found in modem string, exiting.\n");
        return REQUEST_OK;
    }
    return REQUEST_NONE;
}

}  // namespace

bool CSerial::Request(const std::string& command, std::string* answer, unsigned flags,
                      const char* cancel, DWORD timeoutMs, int retries) {
    int result = REQUEST_NONE;
    std::string buffer;
    for (int attempt = 0; result < 1 && attempt <= retries; ++attempt) {
        int echoFailures = 0;
        result = REQUEST_NONE;
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                     "\n#####################\n\nCSerial::Request: COMMAND <%s>; Try %d of %d.\n",
                     command.c_str(), attempt + 1, retries + 1);
        if (Cancelled(cancel)) {
            Trace("CSerial::Request: Action canceld!\n");
            return false;
        }
        ClearInput(0);

        if ((flags & REQUEST_IGNORE_ECHO) != 0) {
            Trace("CSerial::Request: Ignore echo!\n");
            if (WriteTimeout(command, static_cast<DWORD>(command.size()), kCharWriteTimeoutMs) ==
                0) {
                Trace("CSerial::Request: Error writing character!\n");
                return false;
            }
        } else {
            DWORD echoWait = kFirstEchoWaitMs;
            Trace("CSerial::Request: Try to write\n");
            for (std::size_t k = 0; k < command.size();) {
                xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "\t\t%d.: %c\n", static_cast<int>(k),
                             command[k]);
                if (Cancelled(cancel)) {
                    Trace("CSerial::Request: Action canceld!\n");
                    return false;
                }
                if (WriteTimeout(std::string(1, command[k]), 1, kCharWriteTimeoutMs) == 0) {
                    Trace("CSerial::Request: Error writing character!\n");
                    return false;
                }
                if (ReadTimeout(buffer, 1, echoWait, 0) == 1 && buffer[0] == command[k]) {
                    ++k;
                    continue;
                }
                if (DeviceGone()) {
                    Trace("CSerial::Request: Device gone!\n");
                    return false;
                }
                Trace("CSerial::Request: No echo return!\n");
                if (++echoFailures > kEchoFailuresAllowed) {
                    Trace("CSerial::Request: Error Retries!\n");
                    return false;
                }
                echoWait += kEchoWaitIncreaseMs;
                xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                             "CSerial::Request: New Timeout set to: %i ms\n",
                             static_cast<int>(echoWait));
                ClearInput(kEchoFailurePauseMs);
                k = 0;  // the whole command again; what went out cannot be withdrawn
            }
        }
        Trace("\n");

        if ((flags & REQUEST_NO_CR) == 0) {
            Trace("CSerial::Request: Send <CR>\n");
            if (WriteTimeout("\r", 1, kCharWriteTimeoutMs) == 0) {
                Trace("CSerial::Request: Error writing character!\n");
                return false;
            }
            // Skip the echo up to and including the echoed line end. More
            // bytes before it than the echo of the command could hold are
            // no echo (a loader's NAKs, noise): the line end will not come.
            const DWORD lineEndDeadline = platform::GetTickCount() + kLineEndWaitMs;
            std::size_t skipped = 0;
            for (;; ++skipped) {
                if (Cancelled(cancel)) {
                    Trace("CSerial::Request: Action aborted by user!\n");
                    return false;
                }
                const DWORD wait = std::min(kLineEndByteWaitMs, Until(lineEndDeadline));
                if (wait == 0) {
                    Trace("CSerial::Request: no line end among the bytes that came\n");
                    return false;
                }
                if (ReadTimeout(buffer, 1, wait, 0) == 0) {
                    return false;
                }
                if (buffer[0] == '\n' || buffer[0] == '\r') {
                    break;
                }
                if (skipped >= command.size() + kEchoSlackBytes) {
                    Trace("CSerial::Request: No line end in the echo!\n");
                    return false;
                }
            }
        }
        Trace("CSerial::Request: complete command written\n");

        if ((flags & REQUEST_IGNORE_ANSWER) != 0) {
            Trace("CSerial::Request: End cause ignore answer\n");
            return true;
        }

        buffer.clear();
        const DWORD start = platform::GetTickCount();
        const DWORD deadline = start + timeoutMs;
        DWORD nextCr = start + kScrollIntervalMs;
        const DWORD slice = cancel != nullptr ? kCancelCheckMs : MAXDWORD;
        while (result == REQUEST_NONE && Until(deadline) > 0) {
            if (Cancelled(cancel)) {
                Trace("CSerial::Request: Action aborted by user!\n");
                return false;
            }
            // No answer will come, and no further try can go out.
            if (DeviceGone()) {
                Trace("CSerial::Request: Device gone!\n");
                return false;
            }
            if (QueryInbuff()) {
                std::string chunk;
                if (ReadAll(chunk, timeoutMs, kAnswerGapMs) > 0) {
                    buffer += chunk;
                    result = Classify(buffer);
                } else {
                    Trace("CSerial::Request: Error reading character!\n");
                }
            } else if ((flags & REQUEST_SCROLL) != 0) {
                Trace("CSerial::Request: no sign and scroll on\n");
                if (Until(nextCr) == 0) {
                    if (WriteTimeout("\r", 1, kCharWriteTimeoutMs) == 0) {
                        Trace("CSerial::Request: Error writing character!\n");
                        return false;
                    }
                    Trace("CSerial::Request: Return...\n");
                    nextCr += kScrollIntervalMs;
                } else {
                    WaitInput(std::min({Until(nextCr), Until(deadline), slice}));
                }
            } else {
                WaitInput(std::min(Until(deadline), slice));
            }
        }
        if (result < 1) {
            platform::Sleep(kPauseAfterFailedTryMs);
        }
    }

    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::Request: Modem answer: \"%s\"\n",
                 buffer.c_str());
    if (answer != nullptr) {
        *answer = buffer;
    }
    if (result == REQUEST_OK) {
        Trace("CSerial::Request: Result: OK! \n\n#####################\n");
    } else {
        xdebug_Trace(-1, TRACE_LEVEL_SERIAL,
                     "CSerial::Request: Result: Error %d \n\n#####################\n", result);
    }
    return result > 0;
}

bool CSerial::WaitFor(const std::string& expected, std::string* answer, DWORD timeoutMs) {
    const DWORD deadline = platform::GetTickCount() + timeoutMs;
    std::string collected;
    bool found = false;
    xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::WaitFor: ANSWER <%s>; Timeout is %d\n",
                 expected.c_str(), static_cast<int>(timeoutMs));
    do {
        if (QueryInbuff()) {
            std::string byte;
            if (Read(byte, 1) == 0) {
                Trace("CSerial::WaitFor: Serial read failed!");
                break;
            }
            collected += byte;
        } else if (DeviceGone()) {
            Trace("CSerial::WaitFor: Device gone!\n");
            break;
        } else {
            WaitInput(Until(deadline));
        }
        found = collected.find(expected) != std::string::npos;
    } while (!found && Until(deadline) > 0);
    if (found) {
        // The rest of the answer's line (its CR LF) is read too: left on the
        // line it would arrive after the caller's next purge and be taken
        // for the echo of its next command.
        const std::size_t matchEnd = collected.find(expected) + expected.size();
        while (collected.find('\n', matchEnd) == std::string::npos) {
            const DWORD wait = std::min(kAnswerGapMs, Until(deadline));
            std::string byte;
            if (wait == 0 || ReadTimeout(byte, 1, wait, 0) == 0) {
                break;
            }
            collected += byte;
        }

        xdebug_Trace(-1, TRACE_LEVEL_SERIAL, "CSerial::WaitFor: Found the occurence of %s in %s.\n",
                     expected.c_str(), collected.c_str());
    } else {
        Trace("CSerial::WaitFor: Maximum time expired !");
    }
    if (answer != nullptr) {
        *answer = collected;
    }
    return found;
}

// CXModemTransfer::XModemDownload: the XModem receiver.
#include <algorithm>

#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "transfer/xmodem.h"

namespace {

// Read limits: 100 ms per expected byte in all, 100 ms between two bytes.
constexpr DWORD kMsPerByte = 100;
constexpr DWORD kGapMs = 100;
constexpr DWORD kCancelPauseMs = 100;
constexpr int kCancelBytes = 10;
// Consecutive errors tolerated; the next one ends the transfer.
constexpr int kMaxErrors = 10;

void Trace(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", text);
}

void Send(CSerial* port, char byte) {
    port->Write(std::string(1, byte), 1);
}

}  // namespace

bool CXModemTransfer::XModemDownload(std::FILE* file, int* progress, int expectedSize,
                                     char* cancel) {
    CSerial* serial = port;
    char localCancel = 0;
    if (cancel == nullptr) {
        cancel = &localCancel;
    }
    int blockSize = 0;
    BYTE lastBlock = 0;
    int errors = 0;
    long position = 0;
    std::string buffer;

    // The start NAK selects the checksum variant and starts the sender.
    Send(serial, XMODEM_NAK);
    Trace("XModemDownload: Starting XModem download.\n");

    do {
        const int expected =
            blockSize != 0 ? blockSize + XMODEM_OVERHEAD : XMODEM_BLOCK_1K + XMODEM_OVERHEAD;
        const int count = static_cast<int>(
            serial->ReadTimeout(buffer, static_cast<DWORD>(expected),
                                static_cast<DWORD>(expected) * kMsPerByte, kGapMs));
        if (serial->DeviceGone()) {
            // No block will come, and no cancel byte can go out.
            Trace("XModemDownload: The device is gone!\n");
            return false;
        }
        if (count != expected && count != 1) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP,
                         "XModemDownload: Warning wrong block size: %d (should be %d).\n", count,
                         expected);
        }
        BYTE number = 0;
        const bool accepted = XModemBlock(buffer, count, &number, &blockSize);
        if (accepted && number == static_cast<BYTE>(lastBlock + 1)) {
            Trace("XModemDownload: XModem received block, write to disk.\n");
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "Pos:%d\n", static_cast<int>(position));
            // A short write means a full disk or a failing medium: the
            // sender must not be told the block arrived.
            const std::size_t length = static_cast<std::size_t>(count - XMODEM_OVERHEAD);
            if (std::fwrite(buffer.data() + 3, 1, length, file) != length) {
                Trace("XModemDownload: Writing to file failed, cancel transfer.\n");
                StoreShared(cancel, char{1});
                continue;
            }
            lastBlock = number;
            position += static_cast<long>(length);
            if (progress != nullptr) {
                StoreShared(progress, static_cast<int>(std::min<long>(position, expectedSize)));
            }
            Send(serial, XMODEM_ACK);
            errors = 0;
        } else if (accepted && number == lastBlock) {
            Trace("XModemDownload: Acknowledge double sent block.\n");
            Send(serial, XMODEM_ACK);
            errors = 0;
        } else if (count == 1 && buffer[0] == XMODEM_EOT) {
            Trace("XModemDownload: XModem file transfer completed successfully.\n");
            // What is still buffered must reach the file before the sender
            // is told that all went well.
            if (std::fflush(file) != 0) {
                Trace("XModemDownload: Writing to file failed, cancel transfer.\n");
                StoreShared(cancel, char{1});
                continue;
            }
            Send(serial, XMODEM_ACK);
            return true;
        } else if (count == 1 && buffer[0] == XMODEM_CAN) {
            Trace("XModemDownload: XModem file transfer canceled.\n");
            StoreShared(cancel, char{1});
        } else if (++errors > kMaxErrors) {
            Trace("XModemDownload: Too many errors, cancel transfer.\n");
            Send(serial, XMODEM_CAN);
            StoreShared(cancel, char{1});
        } else {
            Trace("XModemDownload: Transfer of block failed, rerequest block.\n");
            Send(serial, XMODEM_NAK);
        }
    } while (LoadShared(cancel) == 0);

    for (int i = 0; i < kCancelBytes; ++i) {
        Send(serial, XMODEM_CAN);
        serial->ClearInput(kCancelPauseMs);
    }
    Trace("The upload process was canceled.\n");
    return false;
}

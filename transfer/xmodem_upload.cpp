// CXModemTransfer::XModemUpload: the XModem sender.
#include <cstring>

#include "serial/serial.h"
#include "serial/trace.h"
#include "transfer/file_transfer.h"
#include "transfer/shared_access.h"
#include "transfer/xmodem.h"

namespace {

constexpr DWORD kByteWriteTimeoutMs = 500;
constexpr DWORD kReplyTimeoutMs = 4000;
constexpr DWORD kCancelPauseMs = 100;
constexpr int kCancelBytes = 10;
// A packet is sent at most this many times plus one.
constexpr int kLastAttempt = 5;
// NAKs to the first 1K block before falling back to 128-byte blocks.
constexpr int kNaksBeforeFallback = 5;

void Trace(const char* text) {
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "%s", text);
}

// Ten CAN bytes, each followed by a pause that also drops whatever the
// receiver still sends.
void SendCancelBytes(CSerial* port) {
    for (int i = 0; i < kCancelBytes; ++i) {
        port->WriteTimeout(std::string(1, XMODEM_CAN), 1, kByteWriteTimeoutMs);
        port->ClearInput(kCancelPauseMs);
    }
}

}  // namespace

bool CXModemTransfer::XModemUpload(std::FILE* file, int* progress, bool allow1K,
                                   const char* cancel) {
    CSerial* serial = port;
    int localProgress = 0;
    if (progress == nullptr) {
        progress = &localProgress;
    }
    StoreShared(progress, 0);
    int blockSize = allow1K ? XMODEM_BLOCK_1K : XMODEM_BLOCK_128;
    int blockCounter = 0;
    int firstBlockNaks = 0;
    // Header, 1024 data bytes and the byte behind them.
    char packet[3 + XMODEM_BLOCK_1K + 1];

    for (;;) {
        std::memset(packet + 3, XMODEM_PAD, XMODEM_BLOCK_1K + 1);
        const std::size_t count =
            std::fread(packet + 3, 1, static_cast<std::size_t>(blockSize), file);
        if (std::ferror(file)) {
            // A short read from a failing medium is not the end of the file:
            // sending EOT now would hand the receiver a truncated file as
            // complete.
            Trace("XModemUpload: Read error on file, aborting.\n");
            SendCancelBytes(serial);
            return false;
        }
        StoreShared(progress, LoadShared(progress) + static_cast<int>(count));

        std::string data;
        if (count != 0) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemUpload: read %d bytes from file\n",
                         static_cast<int>(count));
            packet[0] = blockSize == XMODEM_BLOCK_1K ? XMODEM_STX : XMODEM_SOH;
            ++blockCounter;
            packet[1] = static_cast<char>(blockCounter & 0xFF);
            packet[2] = static_cast<char>(255 - (blockCounter & 0xFF));
            unsigned sum = 0;
            for (int i = 0; i < blockSize; ++i) {
                sum += static_cast<unsigned char>(packet[3 + i]);
            }
            packet[3 + blockSize] = static_cast<char>(sum & 0xFF);
            data.assign(packet, static_cast<std::size_t>(blockSize + XMODEM_OVERHEAD));
        } else {
            Trace("XModemUpload: reached end of file\n");
        }

        char reply = 0;
        for (int attempt = 0;;) {
            serial->ClearInput(0);
            DWORD written = 0;
            if (count != 0) {
                xdebug_Trace(-1, TRACE_LEVEL_STEP,
                             "XModemUpload: writing blk %d (%d bytes) to com ...\n", blockCounter,
                             blockSize + XMODEM_OVERHEAD);
                written =
                    static_cast<DWORD>(WriteClustered(serial, data, blockSize + XMODEM_OVERHEAD));
                xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemUpload: wrote %i bytes\n",
                             static_cast<int>(written));
            } else {
                Trace("XModemUpload: writing EOT to com ...\n");
                written = serial->WriteTimeout(std::string(1, XMODEM_EOT), 1, kByteWriteTimeoutMs);
            }
            if (written == 0) {
                Trace("XModemUpload: Write failed!!!\n");
                return false;
            }

            std::string in;
            reply = 0;
            if (serial->ReadTimeout(in, 1, kReplyTimeoutMs, 0) == 1) {
                reply = in[0];
                xdebug_Trace(-1, TRACE_LEVEL_STEP,
                             "XModemUpload: char read from com: <0x%02x> (%c)\n",
                             static_cast<unsigned char>(reply), reply);
                if (reply == XMODEM_CAN) {
                    Trace("XModemUpload: received CAN\n");
                    attempt = kLastAttempt;
                } else if (reply == XMODEM_NAK && count != 0 && blockCounter == 1 && allow1K &&
                           blockSize == XMODEM_BLOCK_1K && ++firstBlockNaks > kNaksBeforeFallback) {
                    // Only NAKs to block 1 itself count: NAKs to the EOT of a
                    // one-block file are no request for smaller blocks, and
                    // taking them for one would end the transfer as a success.
                    Trace("XModemUpload: Fallback to standard XModem, block size 128\n");
                    blockSize = XMODEM_BLOCK_128;
                    blockCounter = 0;
                    StoreShared(progress, 0);
                    if (std::fseek(file, 0, SEEK_SET) != 0) {
                        // Block 1 would go out with data from the middle of the file.
                        Trace("XModemUpload: Cannot rewind file, aborting.\n");
                        SendCancelBytes(serial);
                        return false;
                    }
                    reply = XMODEM_ACK;  // the next step reads block 1 anew
                } else if (reply != XMODEM_ACK) {
                    xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemUpload: Block failed, retry %d !\n",
                                 attempt + 1);
                }
            } else if (serial->DeviceGone()) {
                // Nothing more can go out, not even the cancel bytes.
                Trace("XModemUpload: The device is gone!\n");
                return false;
            } else {
                Trace("XModemUpload: ReadTimeout failed!\n");
            }

            if (reply == XMODEM_ACK) {
                break;
            }
            if (++attempt > kLastAttempt || CancelRequested(cancel)) {
                break;
            }
        }

        if (reply == XMODEM_ACK && count == 0) {
            return true;
        }
        if (CancelRequested(cancel)) {
            SendCancelBytes(serial);
            Trace("XModemUpload: The upload process was canceled.\n");
            return false;
        }
        if (reply != XMODEM_ACK) {
            return false;
        }
    }
}

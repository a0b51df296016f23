#include "serial/trace.h"
#include "transfer/xmodem.h"

namespace {

int Byte(const std::string& packet, int at) {
    return static_cast<unsigned char>(packet[static_cast<std::size_t>(at)]);
}

}  // namespace

bool XModemBlock(std::string packet, int length, BYTE* blockNumber, int* blockSize) {
    if (length > static_cast<int>(packet.size())) {
        length = static_cast<int>(packet.size());
    }
    if (length <= 0) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemBlock: No Bytes to read!\n");
        return false;
    }
    const char header = packet[0];
    if (*blockSize == 0) {
        if (header == XMODEM_STX && length == XMODEM_BLOCK_1K + XMODEM_OVERHEAD) {
            *blockSize = XMODEM_BLOCK_1K;
        } else if (header == XMODEM_SOH && length == XMODEM_BLOCK_128 + XMODEM_OVERHEAD) {
            *blockSize = XMODEM_BLOCK_128;
        }
    }
    if (*blockSize == 0) {
        // A single byte is EOT, CAN or noise: the caller's business.
        if (length != 1) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP,
                         "XModemBlock: wrong ID(STX,SOH) or block size mismatch (Size: %d!\n",
                         length);
        }
        return false;
    }
    // The size of this packet by its header byte. A 1K transfer may end
    // with 128-byte blocks; a 128-byte transfer never grows.
    int packetSize = 0;
    if (header == XMODEM_SOH) {
        packetSize = XMODEM_BLOCK_128;
    } else if (header == XMODEM_STX && *blockSize == XMODEM_BLOCK_1K) {
        packetSize = XMODEM_BLOCK_1K;
    }
    if (packetSize == 0) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP,
                     "XModemBlock: Block size mismatch, cancel block transfer.\n");
        return false;
    }
    if (length < 3 || Byte(packet, 1) + Byte(packet, 2) != 255) {
        return false;
    }
    if (length != packetSize + XMODEM_OVERHEAD) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemBlock: Block size not correct.\n");
        return false;
    }
    int sum = 0;
    for (int i = 3; i < packetSize + 3; ++i) {
        sum += Byte(packet, i);
    }
    if ((sum & 0xFF) != Byte(packet, packetSize + 3)) {
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "XModemBlock: Check sum mismatch, invalid block.\n");
        return false;
    }
    *blockNumber = static_cast<BYTE>(Byte(packet, 1));
    return true;
}

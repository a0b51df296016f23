// The XModem protocol as this system speaks it (checksum variant, 128- or
// 1024-byte blocks) and the two free functions the transfer methods are
// built from.
#pragma once

#include <string>

#include "platform/types.h"

class CSerial;

// Control bytes, by their protocol names.
constexpr char XMODEM_SOH = 0x01;
constexpr char XMODEM_STX = 0x02;
constexpr char XMODEM_EOT = 0x04;
constexpr char XMODEM_ACK = 0x06;
constexpr char XMODEM_NAK = 0x15;
constexpr char XMODEM_CAN = 0x18;
// Fills the data area behind the end of a file.
constexpr char XMODEM_PAD = 0x1A;

constexpr int XMODEM_BLOCK_128 = 128;
constexpr int XMODEM_BLOCK_1K = 1024;
// Header byte, block number, its complement ... checksum.
constexpr int XMODEM_OVERHEAD = 4;

// Writes the first length bytes of data in pieces of at most 64 bytes, each
// under its own 500 ms write time-out. Returns length when every piece went
// out whole, 0 as soon as one did not (later pieces are not written).
int WriteClustered(CSerial* port, std::string data, int length);

// Checks one received packet of length bytes. *blockSize is the block size
// of the transfer: 0 while unknown, learned here from the first packet with
// a fitting header byte and exact length (also when the packet then fails).
// In a 1K transfer a whole 128-byte SOH packet is accepted as well, as
// XModem-1K senders end a file with short blocks. On success stores the
// block number; the packet's data length is then length - 4.
bool XModemBlock(std::string packet, int length, BYTE* blockNumber, int* blockSize);

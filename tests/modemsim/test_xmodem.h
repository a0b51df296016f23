// A small XModem sender and receiver for the tests, written apart from the
// simulator's so that the two check each other.
#pragma once

#include <map>
#include <string>

#include "raw_port.h"

namespace modemsim_test {

struct SendReport {
    bool ok = false;
    std::string failure;
    int naks = 0;                     // NAK answers to packets
    std::map<int, int> naksPerBlock;  // block sequence (from 1) -> NAKs
    bool fellBackTo128 = false;
    bool cancelled = false;  // the receiver sent CAN
};

struct SendPlan {
    bool use1k = false;
    bool waitForNak = true;  // wait for the receiver's NAK before block 1
    int repeatBlock = 0;     // send this block twice, as after a lost ACK
    int fallbackAfter = 6;   // NAKs to the first 1K block before 128-byte blocks
};

SendReport XModemSend(RawPort& port, const std::string& data, const SendPlan& plan);

struct ReceiveReport {
    bool ok = false;
    std::string failure;
    std::string data;
    int badPackets = 0;  // packets whose checks failed (answered NAK)
    int blocks = 0;
    std::size_t blockSize = 0;
    bool cancelled = false;  // the sender sent CAN
};

// Starts with one NAK and receives until EOT.
ReceiveReport XModemReceive(RawPort& port);

// Builds a packet: header, number, complement, data padded with 0x1A, sum.
std::string Packet(int sequence, const std::string& data, std::size_t size);

}  // namespace modemsim_test

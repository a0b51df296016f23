// XModem peers on a scripted serial device: a receiver that the sender
// under test talks to, and a sender that the receiver under test talks to.
// Both are written from the protocol, independently of the code under test,
// and record what crossed the line.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/testing/scripted_serial.h"

namespace test_support {

// A checksum packet: header, number, complement, data padded with 0x1A to
// size, checksum.
std::string XModemPacket(int number, const std::string& data, int size);
// The packets of a file in blocks of size, numbered from 1.
std::vector<std::string> XModemPackets(const std::string& file, int size);
// Random bytes, the same for the same seed.
std::string RandomBytes(std::size_t count, unsigned seed);

class XModemReceiverPeer {
  public:
    struct Packet {
        char header;
        int number;
        int complement;
        std::string data;
        bool intact;  // complement and checksum fit
    };

    explicit XModemReceiverPeer(platform::testing::ScriptedSerial& port) : port_(port) {}

    // Takes over the device's writes.
    void Listen();
    // Bytes from the sender.
    void Feed(const std::string& bytes);

    // The reply to packet number index (every packet counts, repeats too);
    // "" stays silent. Default: ACK for an intact packet, else NAK.
    std::function<std::string(const Packet& packet, std::size_t index)> onPacket;
    // The reply to the index-th EOT. Default: ACK.
    std::function<std::string(int index)> onEot;
    DWORD replyDelayMs = 2;

    const std::vector<Packet>& Packets() const { return packets_; }
    int EotCount() const { return eots_; }
    int CanCount() const { return cans_; }
    // The file as a receiver that acknowledged as replied would store it:
    // every acknowledged new block once, padding included.
    const std::string& Received() const { return received_; }
    // Sizes of the writes that reached the line, in order.
    const std::vector<std::size_t>& WriteSizes() const { return writeSizes_; }
    // Bytes that were neither packets nor EOT nor CAN (start characters...).
    const std::string& Stray() const { return stray_; }

  private:
    void Reply(const std::string& bytes);

    platform::testing::ScriptedSerial& port_;
    std::string pending_;
    std::vector<Packet> packets_;
    std::vector<std::size_t> writeSizes_;
    std::string received_;
    std::string stray_;
    int lastAccepted_ = 0;
    int eots_ = 0;
    int cans_ = 0;
};

class XModemSenderPeer {
  public:
    XModemSenderPeer(platform::testing::ScriptedSerial& port, std::vector<std::string> packets)
        : port_(port), packets_(std::move(packets)) {}

    void Listen();
    // Bytes from the receiver: the start NAK, ACK, NAK, CAN.
    void Feed(const std::string& bytes);

    // What goes on the line for send number send (counting every send) of
    // packet block (0-based; packets().size() is the EOT). Default: as is.
    std::function<std::string(int send, std::size_t block, const std::string& bytes)> mangle;
    // Blocks whose first ACK is lost on the line: the block is sent again.
    std::set<std::size_t> lostAcks;
    DWORD delayMs = 1;
    DWORD perByteMs = 0;

    const std::string& Replies() const { return replies_; }
    bool Done() const { return done_; }
    int Sends() const { return sends_; }

  private:
    void Send();

    platform::testing::ScriptedSerial& port_;
    std::vector<std::string> packets_;
    std::string replies_;
    std::size_t block_ = 0;
    bool started_ = false;
    bool done_ = false;
    bool stopped_ = false;
    int sends_ = 0;
};

}  // namespace test_support

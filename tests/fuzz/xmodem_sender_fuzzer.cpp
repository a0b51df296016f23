// libFuzzer target: the XModem sender's handling of replies. It sends a
// file to the receiver peer of the unit tests, whose every reply comes from
// the input: ACK, NAK, CAN, silence, the CRC request "C", noise, two
// replies at once, each early, late or after the sender's time-out, and the
// user's cancel.
//
// Besides crashes and memory errors it stops when the sender
//  - sends anything but intact packets of the file's own blocks, in order,
//    each block at most six times in a row, then EOT, or its cancel bytes;
//  - falls back to 128-byte blocks other than after six NAKs to block 1;
//  - sends EOT before the last block, or anything after a CAN it answered;
//  - reports success without an ACK having come after its EOT, or without
//    having counted the whole file;
//  - ends a cancelled transfer without its cancel sequence.
// The sender ends on its own: a hang is a failure of the run.
//
// Input: a flag byte (bit 0 1K blocks allowed, bit 1 the user cancels at
// the reply numbered by the next byte), the file length (2 bytes) and a
// seed for its bytes, then one byte per packet or EOT received: bits 0-2
// ACK, NAK, CAN, silence, "C", a noise byte (the next byte), noise then ACK,
// ACK then NAK; bits 3-4 the delay: 2, 100, 3900 or 4500 ms. When the input
// ends every packet is acknowledged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_line.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "tests/support/file_content.h"
#include "tests/support/random_bytes.h"
#include "tests/transfer/xmodem_peers.h"
#include "transfer/file_transfer.h"
#include "transfer/xmodem.h"

namespace {

using fuzz::Check;
using test_support::XModemReceiverPeer;

constexpr DWORD kDelaysMs[4] = {2, 100, 3900, 4500};
constexpr int kMaxSends = 6;
constexpr std::size_t kMaxFileLength = 40000;

const std::string kAck(1, XMODEM_ACK), kNak(1, XMODEM_NAK), kCan(1, XMODEM_CAN);

// The receiver's replies, read from the input as the packets arrive.
class Replies {
  public:
    Replies(fuzz::Script& script, XModemReceiverPeer& peer, fuzz::FuzzLine& line, char* cancel,
            int cancelAt)
        : script_(script), peer_(peer), line_(line), cancel_(cancel), cancelAt_(cancelAt) {}

    std::string Next() {
        if (count_++ == cancelAt_) {
            *cancel_ = 1;
        }
        peer_.replyDelayMs = kDelaysMs[0];
        if (script_.Done()) {
            return Note(kAck);
        }
        const std::uint8_t op = script_.Byte();
        peer_.replyDelayMs = kDelaysMs[(op >> 3) & 3];
        switch (op & 7) {
            case 0:
                return Note(kAck);
            case 1:
                return Note(kNak);
            case 2:
                return Note(kCan);
            case 3:
                return Note("");
            case 4:
                return Note("C");
            case 5:
                return Note(std::string(1, static_cast<char>(script_.Byte())));
            case 6:
                return Note(std::string(1, static_cast<char>(script_.Byte())) + kAck);
            default:
                return Note(kAck + kNak);
        }
    }

    // When the last ACK of all replies arrives (0 when none did).
    std::uint64_t LastAckArrival() const { return lastAck_; }

  private:
    std::string Note(const std::string& reply) {
        if (reply.find(XMODEM_ACK) != std::string::npos) {
            const std::uint64_t at = line_.Now() + peer_.replyDelayMs;
            lastAck_ = at > lastAck_ ? at : lastAck_;
        }
        return reply;
    }

    fuzz::Script& script_;
    XModemReceiverPeer& peer_;
    fuzz::FuzzLine& line_;
    char* cancel_;
    int cancelAt_;
    int count_ = 0;
    std::uint64_t lastAck_ = 0;
};

// Walks what was sent, packet by packet, against the file.
class SentFile {
  public:
    SentFile(const std::string& file, bool allow1K)
        : file_(file), size_(allow1K ? XMODEM_BLOCK_1K : XMODEM_BLOCK_128) {}

    void Packet(const XModemReceiverPeer::Packet& packet) {
        Check(packet.intact, "every packet has its complement and checksum right");
        const int size = packet.header == XMODEM_STX ? XMODEM_BLOCK_1K : XMODEM_BLOCK_128;
        if (index_ > 0 && size == size_ && packet.number == (index_ & 0xFF)) {
            ++sends_;
            Check(sends_ <= kMaxSends, "a packet is sent at most six times in a row");
        } else if (index_ == 1 && size_ == XMODEM_BLOCK_1K && size == XMODEM_BLOCK_128 &&
                   packet.number == 1) {
            Check(sends_ == kMaxSends && !fellBack_,
                  "the fall-back to 128-byte blocks comes after six sends of the first");
            fellBack_ = true;
            size_ = XMODEM_BLOCK_128;
            sends_ = 1;
        } else {
            Check(size == size_, "blocks keep their size");
            Check(packet.number == ((index_ + 1) & 0xFF), "blocks are numbered on from 1");
            ++index_;
            sends_ = 1;
        }
        const std::size_t at = static_cast<std::size_t>(index_ - 1) * size_;
        Check(at < file_.size(), "no block lies past the end of the file");
        std::string expected = file_.substr(at, static_cast<std::size_t>(size_));
        expected.resize(static_cast<std::size_t>(size_), XMODEM_PAD);
        Check(packet.data == expected, "a block carries its part of the file, padded with 0x1A");
    }

    // Before an EOT: the file has gone out whole.
    void Eot() {
        Check(static_cast<std::size_t>(index_) * size_ >= file_.size(),
              "EOT comes only after the last block");
    }

  private:
    const std::string& file_;
    int size_;
    int index_ = 0;  // the block being sent, from 1 (0 before the first)
    int sends_ = 0;
    bool fellBack_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    const std::uint8_t flags = script.Byte();
    const bool allow1K = (flags & 1) != 0;
    const int cancelAt = (flags & 2) != 0 ? script.Byte() : -1;
    const std::size_t length = script.U16() % (kMaxFileLength + 1);
    const std::string content = test_support::RandomBytes(length, script.Byte());

    fuzz::FuzzLine line;
    char cancel = 0;
    XModemReceiverPeer peer(line.device());
    peer.Listen();
    Replies replies(script, peer, line, &cancel, cancelAt);
    std::vector<std::size_t> packetsBeforeEot;
    std::uint64_t lastEotAt = 0;
    peer.onPacket = [&](const XModemReceiverPeer::Packet&, std::size_t) { return replies.Next(); };
    peer.onEot = [&](int) {
        packetsBeforeEot.push_back(peer.Packets().size());
        lastEotAt = line.Now();
        return replies.Next();
    };

    CXModemTransfer transfer;
    transfer.Attach(&line.serial(), nullptr, nullptr);
    std::FILE* file = test_support::FileWith(content);
    Check(file != nullptr, "a temporary file can be made");
    int progress = -1;
    const bool sent = transfer.XModemUpload(file, &progress, allow1K, &cancel);
    std::fclose(file);

    Check(peer.Stray().empty(), "the sender sends nothing but packets, EOT and CAN");
    SentFile walk(content, allow1K);
    std::size_t next = 0;
    for (std::size_t eot = 0; eot <= packetsBeforeEot.size(); ++eot) {
        const std::size_t end =
            eot < packetsBeforeEot.size() ? packetsBeforeEot[eot] : peer.Packets().size();
        for (; next < end; ++next) {
            walk.Packet(peer.Packets()[next]);
        }
        if (eot < packetsBeforeEot.size()) {
            walk.Eot();
        }
    }
    Check(packetsBeforeEot.size() <= static_cast<std::size_t>(kMaxSends),
          "EOT is sent at most six times");
    Check(packetsBeforeEot.empty() || packetsBeforeEot.front() == peer.Packets().size(),
          "nothing but EOT follows the first EOT");
    Check(progress >= 0 && static_cast<std::size_t>(progress) <= length,
          "progress counts at most the file");
    if (sent) {
        Check(!packetsBeforeEot.empty() && replies.LastAckArrival() >= lastEotAt,
              "success only with an ACK after the EOT");
        Check(static_cast<std::size_t>(progress) == length, "success counts the whole file");
    }
    Check(peer.CanCount() == (!sent && cancel != 0 ? 10 : 0),
          "CAN goes out only as the cancel sequence of a cancelled transfer");
    return 0;
}

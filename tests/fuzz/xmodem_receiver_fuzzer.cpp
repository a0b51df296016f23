// libFuzzer target: the XModem receiver, fed as the modem's byte stream on
// the scripted device and the virtual clock. Every reply of the sender comes
// from the input: packets of either size with the sender's next number, a
// repeat, a skip or any number, broken checksums and complements, cut or
// stretched packets, packets split by a pause, EOT, CAN, noise, silence,
// late bytes and the user's cancel. The line carries only the sender's
// latest reply: what the receiver has not read of it when it answers is
// lost on the way, so that every answer belongs to one known reply.
//
// Besides crashes and memory errors it stops when the receiver
//  - acknowledges what is no intact packet or EOT, or a block out of turn;
//  - writes to the file anything but the acknowledged new blocks, each once
//    and in order (a failed transfer included);
//  - reports success without having acknowledged an EOT, or failure after;
//  - refuses a whole next block, a repeat or an EOT that came cleanly;
//  - answers a CAN with anything but its cancel sequence, gives up before
//    ten re-requests, or counts progress past the listed size.
//
// Input: the listed size (2 bytes), then one reply per answer of the
// receiver. A reply is one or more items, each an op byte:
//   bits 0-2  0-2 packet, 3 EOT, 4 CAN, 5 noise (counted bytes),
//             6 silence, 7 the user cancels (nothing is sent)
//   bits 3-4  delay before the item: 0, 20, 1500 or 20000 ms
//   bit 5     another item follows in the same reply
//   bits 6-7  packets: whole, split by a 150 ms pause (position byte),
//             checksum wrong, complement wrong
// and for a packet a byte: bit 0 1K, bits 1-2 its number (the sender's
// next, the last sent again, a number byte, one skipped), bit 3 resized (a
// byte: below 128 that many + 1 bytes cut off, else that many - 127 added),
// then its data as a counted string, padded with 0x1A.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_line.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "tests/support/file_content.h"
#include "tests/transfer/xmodem_peers.h"
#include "transfer/file_transfer.h"
#include "transfer/xmodem.h"

namespace {

using fuzz::Check;
using platform::testing::ScriptedSerial;

constexpr unsigned char kSoh = 0x01, kStx = 0x02, kEot = 0x04, kAck = 0x06, kNak = 0x15,
                        kCan = 0x18;
constexpr DWORD kDelaysMs[4] = {0, 20, 1500, 20000};
// Longer than the 100 ms the receiver waits between two bytes.
constexpr DWORD kSplitPauseMs = 150;
// Consecutive re-requests before the receiver gives up.
constexpr int kReRequests = 10;

int U(char c) {
    return static_cast<unsigned char>(c);
}

struct Item {
    std::string bytes;
    DWORD delayMs = 0;
    std::size_t splitAt = 0;  // 0: all at once, else the rest after the pause
    bool userCancel = false;
};

struct Reply {
    std::vector<Item> items;
    // The bytes that reach the line without a pause of more than 100 ms
    // between two of them, from the first one on: the receiver's next read
    // can take no more than these.
    std::string firstRun;
    // One whole, undamaged packet or one control byte, sent at once within
    // the read's time.
    bool clean = false;
};

// An intact packet at the start of bytes, with its number and data.
bool IntactPacketAt(const std::string& bytes, int* number, std::string* data) {
    const std::size_t size = bytes.empty()         ? 0
                             : U(bytes[0]) == kSoh ? XMODEM_BLOCK_128
                             : U(bytes[0]) == kStx ? XMODEM_BLOCK_1K
                                                   : 0;
    if (size == 0 || bytes.size() < size + XMODEM_OVERHEAD || U(bytes[1]) + U(bytes[2]) != 255) {
        return false;
    }
    int sum = 0;
    for (std::size_t i = 3; i < size + 3; ++i) {
        sum += U(bytes[i]);
    }
    if ((sum & 0xFF) != U(bytes[size + 3])) {
        return false;
    }
    *number = U(bytes[1]);
    *data = bytes.substr(3, size);
    return true;
}

// The sender of the input. It advances its own block number when the
// receiver acknowledges the packet it sent with it, as a real one does.
class ScriptedSender {
  public:
    ScriptedSender(fuzz::Script& script, ScriptedSerial& line, char* cancel)
        : script_(script), line_(line), cancel_(cancel) {
        line_.OnWrite([this](ScriptedSerial&, const std::string& bytes) {
            for (char c : bytes) {
                Heard(static_cast<unsigned char>(c));
            }
        });
    }

    // The acknowledged new blocks, in order.
    const std::string& Accepted() const { return accepted_; }
    bool EotAcknowledged() const { return eotAcknowledged_; }
    // CAN bytes the receiver wrote after its last other byte.
    int TrailingCans() const { return trailingCans_; }

  private:
    void Heard(unsigned char answer) {
        Check(answer == kAck || answer == kNak || answer == kCan,
              "the receiver writes only ACK, NAK and CAN");
        trailingCans_ = answer == kCan ? trailingCans_ + 1 : 0;
        if (over_) {
            Check(answer == kCan, "after its cancel sequence began the receiver sends only CAN");
            return;
        }
        if (started_) {
            Judge(answer);
        }
        started_ = true;
        if (answer == kCan || eotAcknowledged_ || userCancelled_) {
            over_ = true;  // the transfer has ended: nothing more is sent
            return;
        }
        line_.DropPending();  // the rest of the last reply is lost
        last_ = NextReply();
        Send(last_);
    }

    // What the receiver did with the last reply.
    void Judge(unsigned char answer) {
        const std::string& run = last_.firstRun;
        // The block size the receiver learns from its first read of a
        // packet of fitting header and exact length.
        int learned = 0;
        if (blockSize_ == 0) {
            const std::string read = run.substr(0, XMODEM_BLOCK_1K + XMODEM_OVERHEAD);
            if (!read.empty() && U(read[0]) == kStx &&
                read.size() == XMODEM_BLOCK_1K + XMODEM_OVERHEAD) {
                learned = XMODEM_BLOCK_1K;
            } else if (!read.empty() && U(read[0]) == kSoh &&
                       read.size() == XMODEM_BLOCK_128 + XMODEM_OVERHEAD) {
                learned = XMODEM_BLOCK_128;
            }
        }
        int number = -1;
        std::string data;
        const bool intact = IntactPacketAt(run, &number, &data);
        const bool isNext = intact && number == ((lastAccepted_ + 1) & 0xFF);
        const bool isRepeat = intact && number == lastAccepted_;

        if (answer == kAck) {
            if (run.size() == 1 && U(run[0]) == kEot) {
                eotAcknowledged_ = true;
            } else {
                Check(intact, "only an intact packet or an EOT is acknowledged");
                Check(isNext || isRepeat, "an acknowledged block is the next one or a repeat");
                if (isNext) {
                    accepted_ += data;
                    lastAccepted_ = number;
                }
                if (number == senderNext_) {
                    senderNext_ = (senderNext_ + 1) & 0xFF;
                }
            }
            reRequests_ = 0;
        } else if (answer == kNak) {
            ++reRequests_;
            Check(reRequests_ <= kReRequests, "an eleventh error in a row ends the transfer");
        } else {
            // The user's cancel is seen as soon as the write that brought it
            // has returned: the receiver then reads nothing more.
            Check((run.size() == 1 && U(run[0]) == kCan) || reRequests_ == kReRequests ||
                      userCancelled_,
                  "the receiver cancels only after a CAN, ten re-requests or the user's cancel");
        }

        if (last_.clean) {
            if (run.size() == 1 && U(run[0]) == kEot) {
                Check(answer == kAck, "a clean EOT is acknowledged");
            } else if (run.size() == 1 && U(run[0]) == kCan) {
                Check(answer == kCan, "a CAN is answered with the cancel sequence");
            } else if ((isNext || isRepeat) && (U(run[0]) == kSoh || blockSize_ != 128)) {
                // A 128-byte packet is taken in either transfer; a 1K one
                // only while the transfer is not one of 128-byte blocks.
                Check(answer == kAck, "a whole next or repeated block is acknowledged");
            }
        }
        if (blockSize_ == 0) {
            blockSize_ = learned;
        }
    }

    Reply NextReply() {
        Reply reply;
        bool more = true;
        while (more && !script_.Done()) {
            const std::uint8_t op = script_.Byte();
            more = (op & 0x20) != 0;
            Item item;
            item.delayMs = kDelaysMs[(op >> 3) & 3];
            bool whole = true;
            switch (op & 7) {
                case 0:
                case 1:
                case 2:
                    whole = Packet(op >> 6, &item);
                    break;
                case 3:
                    item.bytes = std::string(1, static_cast<char>(kEot));
                    break;
                case 4:
                    item.bytes = std::string(1, static_cast<char>(kCan));
                    break;
                case 5:
                    item.bytes = script_.Counted();
                    whole = false;
                    break;
                case 6:
                    break;
                default:
                    item.userCancel = true;
                    break;
            }
            reply.items.push_back(item);
            reply.clean = !more && reply.items.size() == 1 && whole && item.delayMs <= 1500 &&
                          !item.bytes.empty();
        }
        // When each byte arrives, from now: Deliver never lets bytes arrive
        // before those already on their way.
        std::vector<std::uint64_t> at;
        std::string bytes;
        std::uint64_t last = 0;
        auto schedule = [&](const std::string& part, std::uint64_t delay) {
            if (part.empty()) {
                return;
            }
            last = delay > last ? delay : last;
            at.insert(at.end(), part.size(), last);
            bytes += part;
        };
        for (const Item& item : reply.items) {
            if (item.splitAt != 0) {
                schedule(item.bytes.substr(0, item.splitAt), item.delayMs);
                schedule(item.bytes.substr(item.splitAt), item.delayMs + kSplitPauseMs);
            } else {
                schedule(item.bytes, item.delayMs);
            }
        }
        std::size_t n = bytes.empty() ? 0 : 1;
        while (n < bytes.size() && at[n] - at[n - 1] <= 100) {
            ++n;
        }
        reply.firstRun = bytes.substr(0, n);
        return reply;
    }

    // Builds a packet item; false when it is damaged or resized.
    bool Packet(int damage, Item* item) {
        const std::uint8_t how = script_.Byte();
        const int size = (how & 1) != 0 ? XMODEM_BLOCK_1K : XMODEM_BLOCK_128;
        int number = senderNext_;
        switch ((how >> 1) & 3) {
            case 1:
                number = lastSent_;
                break;
            case 2:
                number = script_.Byte();
                break;
            case 3:
                number = senderNext_ + 1;
                break;
            default:
                break;
        }
        lastSent_ = number & 0xFF;
        const int resize = (how & 8) != 0 ? script_.Byte() : -1;
        std::string packet = test_support::XModemPacket(number, script_.Counted(), size);
        bool whole = true;
        if (resize >= 0) {
            whole = false;
            if (resize < 128) {
                packet.resize(packet.size() > static_cast<std::size_t>(resize) + 1
                                  ? packet.size() - static_cast<std::size_t>(resize) - 1
                                  : 1);
            } else {
                packet.append(static_cast<std::size_t>(resize - 127), XMODEM_PAD);
            }
        }
        switch (damage) {
            case 1:
                item->splitAt = 1 + script_.Byte() % packet.size();
                whole = item->splitAt >= packet.size();
                item->splitAt = whole ? 0 : item->splitAt;
                break;
            case 2:
                packet.back() = static_cast<char>(packet.back() + 1);
                whole = false;
                break;
            case 3:
                packet[2] = static_cast<char>(packet[2] ^ 0x5A);
                whole = false;
                break;
            default:
                break;
        }
        item->bytes = packet;
        return whole;
    }

    void Send(const Reply& reply) {
        for (const Item& item : reply.items) {
            if (item.userCancel) {
                *cancel_ = 1;
                userCancelled_ = true;
            }
            if (item.splitAt != 0) {
                line_.Deliver(item.bytes.substr(0, item.splitAt), item.delayMs);
                line_.Deliver(item.bytes.substr(item.splitAt), item.delayMs + kSplitPauseMs);
            } else if (!item.bytes.empty()) {
                line_.Deliver(item.bytes, item.delayMs);
            }
        }
    }

    fuzz::Script& script_;
    ScriptedSerial& line_;
    char* cancel_;
    Reply last_;
    std::string accepted_;
    int lastAccepted_ = 0;
    int senderNext_ = 1;
    int lastSent_ = 0;
    int blockSize_ = 0;
    int reRequests_ = 0;
    int trailingCans_ = 0;
    bool started_ = false;
    bool over_ = false;
    bool eotAcknowledged_ = false;
    bool userCancelled_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    const int listedSize = static_cast<int>(script.U16());
    fuzz::FuzzLine line;
    char cancel = 0;
    ScriptedSender sender(script, line.device(), &cancel);
    CXModemTransfer transfer;
    transfer.Attach(&line.serial(), nullptr, nullptr);
    std::FILE* file = std::tmpfile();
    Check(file != nullptr, "a temporary file can be made");
    int progress = 0;

    const bool received = transfer.XModemDownload(file, &progress, listedSize, &cancel);
    const std::string content = test_support::ContentOf(file);
    std::fclose(file);

    Check(content == sender.Accepted(),
          "the file holds exactly the acknowledged new blocks, each once, in order");
    Check(received == sender.EotAcknowledged(),
          "success is reported exactly when the EOT was acknowledged");
    if (!received) {
        Check(cancel == 1, "a failed transfer sets the cancel byte");
        Check(sender.TrailingCans() >= 10, "a failed transfer ends with the cancel sequence");
    }
    const int expectedProgress = content.size() < static_cast<std::size_t>(listedSize)
                                     ? static_cast<int>(content.size())
                                     : listedSize;
    Check(progress == expectedProgress, "progress is the file length, at most the listed size");
    return 0;
}

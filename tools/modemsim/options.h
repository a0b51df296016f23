// Command-line options of modemsim: what kind of modem to play and which
// faults to inject.
#pragma once

#include <string>
#include <vector>

namespace modemsim {

// A fault on one block of a transfer: block number (1 = first block of the
// transfer) and how often it strikes. count < 0 means every time.
struct BlockFault {
    int block = 0;  // 0 = not set
    int count = 1;
};

// Which transfers faults apply to, seen from the modem.
enum class FaultDirection { kBoth, kSend, kReceive };

// A delay that strikes one block or record: its number and the milliseconds.
struct DelayFault {
    int at = -1;  // -1 = not set; blocks count from 1, records from 0
    int ms = 0;
};

struct FlashNokFault {
    int record = -1;  // -1 = not set; 0-based among the firmware records
    std::string answer;
    int count = 1;  // < 0: "always", the record is never accepted
};

struct Options {
    // Line and process.
    std::string link;
    bool reenumerate = false;  // with link: a new device name after each restart
    std::string log;
    unsigned rate = 0;          // bytes per second in each direction, 0 = unthrottled
    unsigned usbLatencyMs = 0;  // a USB adapter's latency timer towards the host, 0 = none
    unsigned atBaud = 115200;   // speed of the AT interpreter, 0 = follows the host
    unsigned loaderBaud = 115200;

    // AT interpreter.
    bool echo = true;
    std::string model = "ORVA 56K Serial";
    bool gmmError = false;
    bool gmmQuoted = false;
    std::string version = "1.00";
    bool hasBrand = false;
    std::string brand;
    int answerDelayMs = 0;
    bool silent = false;
    bool noAt = false;
    int powerCycleDelayMs = 2000;

    // Boot loader.
    std::string uploadCommand = "AT$UPLOAD";
    int nakIntervalMs = 300;
    bool startInLoader = false;
    bool loader128Only = false;
    bool uploadModem = false;
    int rebootDelayMs = 3000;
    std::string receivedDir;

    // File store.
    std::string storeDir;
    bool store1k = false;
    bool storeTrimPadding = false;  // a stored file loses the padding of its last block
    int jfclrDelayMs = 500;

    // Flash-loader modem.
    bool flash = false;
    std::string country = "3D";
    std::string flashLoaderVersion = "4.4";
    std::vector<FlashNokFault> flashNoks;  // one per --flash-nok
    int flashRestartDelayMs = 3000;

    // Faults.
    BlockFault corruptBlock;
    BlockFault nakBlock;
    int canAtBlock = 0;
    int silentAtBlock = 0;
    std::string faultFile;
    bool faultFirmware = false;
    bool listingTimeout = false;
    int jfclrErrors = 0;
    std::string noNakFile;
    FaultDirection faultDirection = FaultDirection::kBoth;
    std::string refusePrefix;  // command lines starting with it are swallowed
    int refuseSkip = 0;        // ... after this many of them went through
    // The device vanishes (the modem closes its side of the line):
    std::string vanishAnswerPrefix;  // half-way through the answer to such a command
    int vanishAtBlock = 0;           // half-way through this block of a transfer
    int vanishAtRecord = -1;         // when this firmware record (from 0) arrives
    // The modem hangs (nothing is echoed, answered or sent again):
    std::string hangPrefix;  // at the first command line starting with it
    int hangAtRecord = -1;   // when this firmware record (from 0) arrives
    // Noise instead of an answer:
    std::string garbagePrefix;  // the answer to the first command starting with it
    int garbageAtBlock = 0;     // the reply to this block (receiving), the block (sending)
    int garbageAtRecord = -1;   // the answer to this firmware record
    int loaderGarbage = 0;      // the boot loader's first NAKs
    // Answers that come late:
    std::string latePrefix;  // the answer to the first command starting with it
    int lateMs = 0;
    DelayFault lateBlock;   // the reply to this block (receiving), the block (sending)
    DelayFault lateRecord;  // the answer to this firmware record
    int loaderLateMs = 0;   // the boot loader's first NAK

    bool help = false;
};

// Parses the arguments after the program name. On failure returns false
// with a message that names the offending option.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// The --help text.
std::string UsageText();

}  // namespace modemsim

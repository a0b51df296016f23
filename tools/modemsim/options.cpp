#include "tools/modemsim/options.h"

#include <cctype>
#include <functional>
#include <map>

namespace modemsim {
namespace {

bool ParseUnsigned(const std::string& text, unsigned long max, unsigned long* value) {
    if (text.empty() || text.size() > 10) {
        return false;
    }
    unsigned long v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
        v = v * 10 + static_cast<unsigned long>(c - '0');
    }
    if (v > max) {
        return false;
    }
    *value = v;
    return true;
}

// Delays are capped at ten minutes: anything longer is a typing error.
constexpr unsigned long kMaxDelayMs = 600000;

bool ParseDelay(const std::string& text, int* ms) {
    unsigned long v = 0;
    if (!ParseUnsigned(text, kMaxDelayMs, &v)) {
        return false;
    }
    *ms = static_cast<int>(v);
    return true;
}

bool ParseBaud(const std::string& text, unsigned* baud) {
    unsigned long v = 0;
    if (!ParseUnsigned(text, 4000000, &v) || v < 50) {
        return false;
    }
    *baud = static_cast<unsigned>(v);
    return true;
}

// A count or number from 0.
bool ParseCount(const std::string& text, int* count) {
    unsigned long v = 0;
    if (!ParseUnsigned(text, 1000000, &v)) {
        return false;
    }
    *count = static_cast<int>(v);
    return true;
}

bool ParseBlock(const std::string& text, int* block) {
    unsigned long v = 0;
    if (!ParseUnsigned(text, 1000000, &v) || v == 0) {
        return false;
    }
    *block = static_cast<int>(v);
    return true;
}

// N or N:COUNT
bool ParseBlockFault(const std::string& text, BlockFault* fault) {
    std::string::size_type colon = text.find(':');
    if (!ParseBlock(text.substr(0, colon), &fault->block)) {
        return false;
    }
    fault->count = 1;
    if (colon != std::string::npos) {
        unsigned long count = 0;
        if (!ParseUnsigned(text.substr(colon + 1), 1000, &count) || count == 0) {
            return false;
        }
        fault->count = static_cast<int>(count);
    }
    return true;
}

// N:MS, N from 1 for a block (firstNumber 1) or from 0 for a record.
bool ParseDelayFault(const std::string& text, int firstNumber, DelayFault* fault) {
    const std::string::size_type colon = text.find(':');
    unsigned long at = 0;
    if (colon == std::string::npos || !ParseUnsigned(text.substr(0, colon), 10000000, &at) ||
        at < static_cast<unsigned long>(firstNumber) ||
        !ParseDelay(text.substr(colon + 1), &fault->ms)) {
        return false;
    }
    fault->at = static_cast<int>(at);
    return true;
}

// A count from 1, or "always" (-1).
bool ParseTimes(const std::string& text, int* count) {
    if (text == "always") {
        *count = -1;
        return true;
    }
    unsigned long n = 0;
    if (!ParseUnsigned(text, 1000, &n) || n == 0) {
        return false;
    }
    *count = static_cast<int>(n);
    return true;
}

// N:ANSWER:COUNT, COUNT a number or "always"
bool ParseFlashNok(const std::string& text, FlashNokFault* fault) {
    std::string::size_type first = text.find(':');
    std::string::size_type last = text.rfind(':');
    if (first == std::string::npos || last == first) {
        return false;
    }
    unsigned long record = 0;
    if (!ParseUnsigned(text.substr(0, first), 10000000, &record)) {
        return false;
    }
    std::string answer = text.substr(first + 1, last - first - 1);
    if (answer.empty() || answer.size() > 32) {
        return false;
    }
    for (char c : answer) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    if (!ParseTimes(text.substr(last + 1), &fault->count)) {
        return false;
    }
    fault->record = static_cast<int>(record);
    fault->answer = answer;
    return true;
}

bool PlainText(const std::string& text, std::size_t maxSize) {
    if (text.empty() || text.size() > maxSize) {
        return false;
    }
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return false;
        }
    }
    return true;
}

struct OptionRule {
    bool takesValue;
    const char* what;  // how a bad value is described
    std::function<bool(Options&, const std::string&)> apply;
};

const std::map<std::string, OptionRule>& Rules() {
    static const std::map<std::string, OptionRule> rules = {
        {"--help", {false, "", [](Options& o, const std::string&) { return o.help = true; }}},
        {"--link",
         {true, "a path",
          [](Options& o, const std::string& v) {
              o.link = v;
              return !v.empty();
          }}},
        {"--reenumerate",
         {false, "", [](Options& o, const std::string&) { return o.reenumerate = true; }}},
        {"--log",
         {true, "a file name",
          [](Options& o, const std::string& v) {
              o.log = v;
              return !v.empty();
          }}},
        {"--rate",
         {true, "a byte rate from 1 to 10000000",
          [](Options& o, const std::string& v) {
              unsigned long r = 0;
              if (!ParseUnsigned(v, 10000000, &r) || r == 0) {
                  return false;
              }
              o.rate = static_cast<unsigned>(r);
              return true;
          }}},
        {"--usb-latency",
         {true, "milliseconds from 1 to 255",
          [](Options& o, const std::string& v) {
              unsigned long ms = 0;
              if (!ParseUnsigned(v, 255, &ms) || ms == 0) {
                  return false;
              }
              o.usbLatencyMs = static_cast<unsigned>(ms);
              return true;
          }}},
        {"--at-baud",
         {true, "a line speed or \"any\"",
          [](Options& o, const std::string& v) {
              if (v == "any") {
                  o.atBaud = 0;
                  return true;
              }
              return ParseBaud(v, &o.atBaud);
          }}},
        {"--loader-baud",
         {true, "a line speed",
          [](Options& o, const std::string& v) { return ParseBaud(v, &o.loaderBaud); }}},
        {"--echo",
         {true, "on or off",
          [](Options& o, const std::string& v) {
              if (v != "on" && v != "off") {
                  return false;
              }
              o.echo = v == "on";
              return true;
          }}},
        {"--model",
         {true, "a name of printable characters",
          [](Options& o, const std::string& v) {
              o.model = v;
              return PlainText(v, 200);
          }}},
        {"--gmm-error",
         {false, "", [](Options& o, const std::string&) { return o.gmmError = true; }}},
        {"--gmm-quoted",
         {false, "", [](Options& o, const std::string&) { return o.gmmQuoted = true; }}},
        {"--version",
         {true, "four printable characters",
          [](Options& o, const std::string& v) {
              o.version = v;
              return PlainText(v, 4) && v.size() == 4;
          }}},
        {"--brand",
         {true, "a brand of printable characters",
          [](Options& o, const std::string& v) {
              o.hasBrand = true;
              o.brand = v;
              return PlainText(v, 200);
          }}},
        {"--answer-delay",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.answerDelayMs); }}},
        {"--silent", {false, "", [](Options& o, const std::string&) { return o.silent = true; }}},
        {"--no-at", {false, "", [](Options& o, const std::string&) { return o.noAt = true; }}},
        {"--power-cycle-delay",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.powerCycleDelayMs); }}},
        {"--upload-command",
         {true, "an AT command",
          [](Options& o, const std::string& v) {
              o.uploadCommand = v;
              return PlainText(v, 200) && v.size() >= 2 &&
                     std::toupper(static_cast<unsigned char>(v[0])) == 'A' &&
                     std::toupper(static_cast<unsigned char>(v[1])) == 'T';
          }}},
        {"--nak-interval",
         {true, "milliseconds from 1",
          [](Options& o, const std::string& v) {
              return ParseDelay(v, &o.nakIntervalMs) && o.nakIntervalMs > 0;
          }}},
        {"--loader",
         {false, "", [](Options& o, const std::string&) { return o.startInLoader = true; }}},
        {"--loader-128-only",
         {false, "", [](Options& o, const std::string&) { return o.loader128Only = true; }}},
        {"--upload-modem",
         {false, "", [](Options& o, const std::string&) { return o.uploadModem = true; }}},
        {"--reboot-delay",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.rebootDelayMs); }}},
        {"--received-dir",
         {true, "a directory",
          [](Options& o, const std::string& v) {
              o.receivedDir = v;
              return !v.empty();
          }}},
        {"--store",
         {true, "a directory",
          [](Options& o, const std::string& v) {
              o.storeDir = v;
              return !v.empty();
          }}},
        {"--store-1k",
         {false, "", [](Options& o, const std::string&) { return o.store1k = true; }}},
        {"--store-trim-padding",
         {false, "", [](Options& o, const std::string&) { return o.storeTrimPadding = true; }}},
        {"--jfclr-delay",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.jfclrDelayMs); }}},
        {"--flash", {false, "", [](Options& o, const std::string&) { return o.flash = true; }}},
        {"--country",
         {true, "a country code of 1 to 8 letters or digits",
          [](Options& o, const std::string& v) {
              o.country = v;
              if (v.empty() || v.size() > 8) {
                  return false;
              }
              for (char c : v) {
                  if (!std::isalnum(static_cast<unsigned char>(c))) {
                      return false;
                  }
              }
              return true;
          }}},
        {"--flash-loader-version",
         {true, "a version such as 4.3",
          [](Options& o, const std::string& v) {
              o.flashLoaderVersion = v;
              return PlainText(v, 16);
          }}},
        {"--flash-nok",
         {true, "N:ANSWER:COUNT (COUNT a number or \"always\")",
          [](Options& o, const std::string& v) {
              FlashNokFault fault;
              if (!ParseFlashNok(v, &fault)) {
                  return false;
              }
              o.flashNoks.push_back(fault);
              return true;
          }}},
        {"--flash-restart-delay",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.flashRestartDelayMs); }}},
        {"--fault-corrupt-block",
         {true, "N or N:COUNT",
          [](Options& o, const std::string& v) { return ParseBlockFault(v, &o.corruptBlock); }}},
        {"--fault-nak-block",
         {true, "N or N:COUNT",
          [](Options& o, const std::string& v) { return ParseBlockFault(v, &o.nakBlock); }}},
        {"--fault-can-at-block",
         {true, "a block number from 1",
          [](Options& o, const std::string& v) { return ParseBlock(v, &o.canAtBlock); }}},
        {"--fault-silent-at-block",
         {true, "a block number from 1",
          [](Options& o, const std::string& v) { return ParseBlock(v, &o.silentAtBlock); }}},
        {"--fault-file",
         {true, "a stored file name",
          [](Options& o, const std::string& v) {
              o.faultFile = v;
              return PlainText(v, 255);
          }}},
        {"--fault-firmware",
         {false, "", [](Options& o, const std::string&) { return o.faultFirmware = true; }}},
        {"--fault-listing-timeout",
         {false, "", [](Options& o, const std::string&) { return o.listingTimeout = true; }}},
        {"--fault-jfclr-errors",
         {true, "a count",
          [](Options& o, const std::string& v) { return ParseCount(v, &o.jfclrErrors); }}},
        {"--fault-direction",
         {true, "send or receive",
          [](Options& o, const std::string& v) {
              if (v != "send" && v != "receive") {
                  return false;
              }
              o.faultDirection = v == "send" ? FaultDirection::kSend : FaultDirection::kReceive;
              return true;
          }}},
        {"--fault-refuse",
         {true, "a command prefix, optionally followed by :SKIP",
          [](Options& o, const std::string& v) {
              std::string prefix = v;
              o.refuseSkip = 0;
              const std::string::size_type colon = v.rfind(':');
              unsigned long skip = 0;
              if (colon != std::string::npos && ParseUnsigned(v.substr(colon + 1), 1000, &skip)) {
                  prefix = v.substr(0, colon);
                  o.refuseSkip = static_cast<int>(skip);
              }
              o.refusePrefix = prefix;
              return PlainText(prefix, 255);
          }}},
        {"--fault-vanish-in-answer",
         {true, "a command prefix",
          [](Options& o, const std::string& v) {
              o.vanishAnswerPrefix = v;
              return !v.empty() && PlainText(v, 255);
          }}},
        {"--fault-vanish-at-block",
         {true, "a block number from 1",
          [](Options& o, const std::string& v) { return ParseBlock(v, &o.vanishAtBlock); }}},
        {"--fault-vanish-at-record",
         {true, "a firmware record number from 0",
          [](Options& o, const std::string& v) { return ParseCount(v, &o.vanishAtRecord); }}},
        {"--fault-hang",
         {true, "a command prefix",
          [](Options& o, const std::string& v) {
              o.hangPrefix = v;
              return PlainText(v, 255);
          }}},
        {"--fault-hang-at-record",
         {true, "a firmware record number from 0",
          [](Options& o, const std::string& v) { return ParseCount(v, &o.hangAtRecord); }}},
        {"--fault-garbage-answer",
         {true, "a command prefix",
          [](Options& o, const std::string& v) {
              o.garbagePrefix = v;
              return PlainText(v, 255);
          }}},
        {"--fault-garbage-block",
         {true, "a block number from 1",
          [](Options& o, const std::string& v) { return ParseBlock(v, &o.garbageAtBlock); }}},
        {"--fault-garbage-record",
         {true, "a firmware record number from 0",
          [](Options& o, const std::string& v) { return ParseCount(v, &o.garbageAtRecord); }}},
        {"--fault-loader-garbage",
         {true, "a count",
          [](Options& o, const std::string& v) { return ParseCount(v, &o.loaderGarbage); }}},
        {"--fault-late-answer",
         {true, "MS:TEXT, milliseconds and a command prefix",
          [](Options& o, const std::string& v) {
              const std::string::size_type colon = v.find(':');
              if (colon == std::string::npos || !ParseDelay(v.substr(0, colon), &o.lateMs)) {
                  return false;
              }
              o.latePrefix = v.substr(colon + 1);
              return PlainText(o.latePrefix, 255);
          }}},
        {"--fault-late-block",
         {true, "N:MS, a block number from 1 and milliseconds",
          [](Options& o, const std::string& v) { return ParseDelayFault(v, 1, &o.lateBlock); }}},
        {"--fault-late-record",
         {true, "N:MS, a firmware record number from 0 and milliseconds",
          [](Options& o, const std::string& v) { return ParseDelayFault(v, 0, &o.lateRecord); }}},
        {"--fault-loader-late",
         {true, "milliseconds",
          [](Options& o, const std::string& v) { return ParseDelay(v, &o.loaderLateMs); }}},
        {"--fault-no-nak-file",
         {true, "a stored file name",
          [](Options& o, const std::string& v) {
              o.noNakFile = v;
              return PlainText(v, 255);
          }}},
    };
    return rules;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
    Options parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        std::string::size_type eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        auto it = Rules().find(name);
        if (it == Rules().end()) {
            *error = "unknown option " + args[i];
            return false;
        }
        const OptionRule& rule = it->second;
        if (rule.takesValue && !inlineValue) {
            if (i + 1 >= args.size()) {
                *error = name + " needs " + rule.what;
                return false;
            }
            value = args[++i];
        } else if (!rule.takesValue && inlineValue) {
            *error = name + " takes no value";
            return false;
        }
        if (!rule.apply(parsed, value)) {
            *error = "bad value \"" + value + "\" for " + name + ": expected " + rule.what;
            return false;
        }
    }
    if (parsed.reenumerate && parsed.link.empty()) {
        *error = "--reenumerate needs --link: the link is the name that stays";
        return false;
    }
    if (parsed.silent && parsed.noAt) {
        *error = "--silent and --no-at exclude each other";
        return false;
    }
    if (parsed.faultFile.size() > 0 && parsed.faultFirmware) {
        *error = "--fault-file and --fault-firmware exclude each other";
        return false;
    }
    *options = parsed;
    return true;
}

std::string UsageText() {
    return R"(Usage: modemsim [OPTIONS]

A pretend modem on a pseudo-terminal. Prints the device path as its first
line of output and runs until SIGTERM or SIGINT.

Line:
  --link PATH                 also make PATH a symbolic link to the device
  --reenumerate               with --link: leave during every restart and come back
                              under a new device name, the link moved to it
  --log FILE                  append one line per event to FILE
  --rate BYTES_PER_SEC        throttle both directions (default: unthrottled)
  --usb-latency MS            the modem's bytes reach the host through a USB adapter
                              that holds them until 62 wait or MS ms have passed
  --at-baud N|any             speed of the AT interpreter (default 115200)
  --loader-baud N             speed of the boot loader (default 115200)

AT interpreter:
  --echo on|off               echo at start (default on)
  --model NAME                model name (default "ORVA 56K Serial")
  --gmm-error                 answer ERROR to AT+GMM
  --gmm-quoted                put the model name in double quotes
  --version VVVV              firmware version (default 1.00)
  --brand TEXT                answer AT$BRAND? (default: ERROR)
  --answer-delay MS           pause before every answer
  --silent                    a dead modem: reads everything, answers nothing
  --no-at                     no AT interpreter; boot loader after a power cycle
  --power-cycle-delay MS      with --no-at (default 2000)

Boot loader:
  --upload-command CMD        command that starts the loader (default AT$UPLOAD)
  --nak-interval MS           NAK interval of the loader (default 300)
  --loader                    start in the boot loader
  --loader-128-only           refuse 1024-byte blocks
  --upload-modem              a flash loader comes before the firmware
  --reboot-delay MS           silence after a good firmware (default 3000)
  --received-dir DIR          write received files into DIR

File store:
  --store DIR                 the stored files (listing fields in DIR/.modemsim-attrs)
  --store-1k                  send stored files in 1024-byte blocks
  --store-trim-padding        store a received file without the padding of its last block
  --jfclr-delay MS            time to clear the store (default 500)

Flash-loader modem:
  --flash                     a modem programmed with Intel HEX records
  --country CC                country code (default 3D)
  --flash-loader-version V    version in the loader's banner (default 4.4)
  --flash-nok N:ANSWER:COUNT  answer firmware record N with ANSWER COUNT times (repeatable)
  --flash-restart-delay MS    silence after the firmware (default 3000)

Faults (next transfer in either direction):
  --fault-corrupt-block N[:COUNT]   send block N with a bad checksum
  --fault-nak-block N[:COUNT]       refuse a good block N
  --fault-can-at-block N            cancel at block N
  --fault-silent-at-block N         stop responding from block N on
  --fault-file NAME                 only transfers of the stored file NAME
  --fault-firmware                  only firmware and loader transfers
  --fault-listing-timeout           listings end without their OK
  --fault-jfclr-errors N            refuse the first N at$jfclr=all
  --fault-no-nak-file NAME          never start receiving NAME
  --fault-direction send|receive    only transfers the modem sends / receives
  --fault-refuse TEXT[:SKIP]        swallow commands starting with TEXT (after SKIP of them):
                                    no echo of their CR, no answer
  --fault-vanish-in-answer TEXT     close the device half-way through the answer to the
                                    first command starting with TEXT
  --fault-vanish-at-block N         close the device half-way through block N
  --fault-vanish-at-record N        close the device when firmware record N arrives
  --fault-hang TEXT                 hang at the first command starting with TEXT:
                                    nothing is echoed, answered or sent from then on
  --fault-hang-at-record N          hang when firmware record N arrives
  --fault-garbage-answer TEXT       noise instead of the answer to the first command
                                    starting with TEXT (the upload command: its CR's echo)
  --fault-garbage-block N           noise instead of the reply to block N (sending: the block)
  --fault-garbage-record N          noise instead of the answer to firmware record N
  --fault-loader-garbage COUNT      noise instead of the boot loader's first COUNT NAKs
  --fault-late-answer MS:TEXT       the answer to the first command starting with TEXT
                                    comes MS late (the upload command: its CR's echo)
  --fault-late-block N:MS           the reply to block N comes MS late (sending: the block)
  --fault-late-record N:MS          the answer to firmware record N comes MS late
  --fault-loader-late MS            the boot loader's first NAK comes MS late
)";
}

}  // namespace modemsim

#include "tests/backup/store_modem.h"

#include <cctype>

namespace backup_test {
namespace {

constexpr char NAK = 0x15, CAN = 0x18;
constexpr DWORD kAnswerDelayMs = 5;
// The modem's loader asks for the first block every 300 ms for 10 s.
constexpr DWORD kNakIntervalMs = 300;
constexpr int kNaks = 33;
// ... after which it gives up with ERROR and takes commands again.
constexpr DWORD kGiveUpMs = 10000;

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "\"name\"rest" -> name and rest; false without both quotes.
bool SplitQuoted(const std::string& args, std::string* name, std::string* rest) {
    if (args.empty() || args[0] != '"') {
        return false;
    }
    const std::size_t close = args.find('"', 1);
    if (close == std::string::npos) {
        return false;
    }
    *name = args.substr(1, close - 1);
    *rest = args.substr(close + 1);
    return true;
}

}  // namespace

StoreModem::StoreModem(test_support::ScriptedPort& port) : port_(port) {
    modem().AnswerOk("AT&F");
    modem().onCommand = [this](const std::string& command) { return OnCommand(command); };
}

std::string StoreModem::ListingLine(const std::string& name, const StoredFile& file) {
    return name + "," + file.field1 + "," + file.attributes + ",0,0," +
           std::to_string(file.data.size());
}

bool StoreModem::OnCommand(const std::string& command) {
    const std::string upper = Upper(command);
    if (upper == "AT$JDIR=,,H,S") {
        List();
    } else if (StartsWith(upper, "AT$JDNL=")) {
        if (onTransferCommand) {
            onTransferCommand(command);
        }
        std::string name, rest;
        if (!SplitQuoted(command.substr(8), &name, &rest)) {
            port_.device().Deliver("\r\nERROR\r\n", kAnswerDelayMs);
        } else {
            Send(name, rest);
        }
    } else if (StartsWith(upper, "AT$JUPL=")) {
        if (onTransferCommand) {
            onTransferCommand(command);
        }
        stores.push_back(command);
        Receive(command.substr(8));
    } else if (upper == "AT$JFCLR=ALL") {
        Clear();
    } else {
        return false;
    }
    return true;
}

void StoreModem::List() {
    std::string answer;
    if (listingAnswer) {
        answer = listingAnswer();
    } else {
        answer = "\r\n";
        for (const auto& [name, file] : files) {
            answer += ListingLine(name, file) + "\r\n";
        }
        answer += "\r\nOK\r\n";
    }
    port_.device().Deliver(answer, kAnswerDelayMs);
}

void StoreModem::Send(const std::string& name, const std::string& option) {
    auto it = files.find(name);
    const bool needsI = it != files.end() && it->second.attributes.find('I') != std::string::npos;
    if (it == files.end() || refusedDownloads.count(name) != 0 || needsI != (option == ",I") ||
        (!option.empty() && option != ",I")) {
        port_.device().Deliver("\r\nERROR\r\n", kAnswerDelayMs);
        return;
    }
    sender_ = std::make_unique<test_support::XModemSenderPeer>(
        port_.device(), test_support::XModemPackets(it->second.data, sendBlock));
    sender_->mangle = [this, name](int, std::size_t block, const std::string& bytes) {
        return mangleDownload ? mangleDownload(name, block, bytes) : bytes;
    };
    modem().dataReceiver = [this](const std::string& bytes) {
        sender_->Feed(bytes);
        if (sender_->Done()) {
            modem().dataReceiver = nullptr;
            port_.device().Deliver("\r\nOK\r\n", kAnswerDelayMs);
        }
    };
}

void StoreModem::Receive(const std::string& args) {
    std::string name, rest;
    if (!SplitQuoted(args, &name, &rest) || rest.empty() || rest[0] != ',') {
        port_.device().Deliver("\r\nERROR\r\n", kAnswerDelayMs);
        return;
    }
    rest.erase(0, 1);
    const std::size_t comma = rest.find(',');
    const std::string field1 = rest.substr(0, comma);
    std::string attributes;
    if (comma != std::string::npos) {
        for (char c : rest.substr(comma + 1)) {
            if (c != ',') {
                attributes += attributes.empty() ? std::string(1, c) : std::string(" ") + c;
            }
        }
    }
    if (noLoaderNak.count(name) != 0) {
        return;
    }
    port_.device().Deliver(std::string(kNaks, NAK), kNakIntervalMs, kNakIntervalMs);
    port_.device().Deliver("\r\nERROR\r\n", kGiveUpMs);
    const std::uint64_t giveUpAt = port_.Now() + kGiveUpMs;
    receiver_ = std::make_unique<test_support::XModemReceiverPeer>(port_.device());
    if (cancelUpload.count(name) != 0) {
        receiver_->onPacket = [](const test_support::XModemReceiverPeer::Packet&, std::size_t) {
            return std::string(1, CAN);
        };
    }
    auto started = std::make_shared<bool>(false);
    modem().dataReceiver = [this, started, giveUpAt, name, field1,
                            attributes](const std::string& bytes) {
        if (!*started && port_.Now() >= giveUpAt) {
            modem().dataReceiver = nullptr;  // the loader gave up long ago
            modem().Input(bytes);
            return;
        }
        if (!*started) {
            *started = true;
            port_.device().DropPending();  // the loader stops asking
        }
        receiver_->Feed(bytes);
        if (receiver_->EotCount() == 0) {
            return;
        }
        modem().dataReceiver = nullptr;
        received[name] = receiver_->Received();
        if (errorAfterStore.count(name) != 0) {
            port_.device().Deliver("\r\nERROR\r\n", kAnswerDelayMs);
            return;
        }
        std::string data = receiver_->Received();
        while (trimPadding && !data.empty() && data.back() == '\x1A') {
            data.pop_back();
        }
        files[name] = StoredFile{field1, attributes, data};
        if (silentAfterStore.count(name) == 0) {
            port_.device().Deliver("\r\nOK\r\n", kAnswerDelayMs);
        }
    };
}

void StoreModem::Clear() {
    if (clearErrors > 0) {
        --clearErrors;
        port_.device().Deliver("\r\nERROR\r\n", kAnswerDelayMs);
        return;
    }
    files.clear();
    ++clears;
    port_.device().Deliver("\r\nOK\r\n", 50);
}

}  // namespace backup_test

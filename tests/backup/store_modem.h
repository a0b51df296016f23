// A modem with a file store on a scripted port, for the backup plug-in's
// tests: it lists, sends, receives and clears stored files the way the
// modem's commands describe, with XModem peers written apart from the
// production transfer code, and records what happened.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/scripted_port.h"
#include "tests/transfer/xmodem_peers.h"

namespace backup_test {

struct StoredFile {
    std::string field1 = "1";
    std::string attributes;  // as listed, e.g. "H S"
    std::string data;
};

class StoreModem {
  public:
    explicit StoreModem(test_support::ScriptedPort& port);

    // The store, by name; listed sorted by name.
    std::map<std::string, StoredFile> files;
    // Replaces the whole answer to the listing request when set.
    std::function<std::string()> listingAnswer;
    // Block size of the files it sends.
    int sendBlock = 128;
    // A received file is stored without the padding (0x1A) of its last block.
    bool trimPadding = false;

    // Faults.
    std::set<std::string> refusedDownloads;  // AT$JDNL answered ERROR
    std::set<std::string> noLoaderNak;       // AT$JUPL: silence, nothing stored
    std::set<std::string> errorAfterStore;   // the file arrives, then ERROR
    std::set<std::string> silentAfterStore;  // the file arrives, then no answer
    std::set<std::string> cancelUpload;      // CAN in answer to the first block
    int clearErrors = 0;                     // at$jfclr=all answered ERROR this often
    // Called with the name and the bytes of each packet of a download: the
    // bytes to send instead (for example a CAN). Default: as they are.
    std::function<std::string(const std::string& name, std::size_t block, const std::string&)>
        mangleDownload;
    // Called when a transfer command arrives (download or store).
    std::function<void(const std::string& command)> onTransferCommand;

    // What happened.
    std::vector<std::string> stores;              // the store commands, as received
    std::map<std::string, std::string> received;  // name -> bytes received, padding included
    int clears = 0;

    test_support::ScriptedModem& modem() { return port_.modem(); }
    const std::vector<std::string>& Commands() const { return port_.modem().Commands(); }

    // The listing line of a file, as the modem sends it.
    static std::string ListingLine(const std::string& name, const StoredFile& file);

  private:
    bool OnCommand(const std::string& command);
    void List();
    void Send(const std::string& name, const std::string& args);
    void Receive(const std::string& args);
    void Clear();

    test_support::ScriptedPort& port_;
    std::unique_ptr<test_support::XModemSenderPeer> sender_;
    std::unique_ptr<test_support::XModemReceiverPeer> receiver_;
};

}  // namespace backup_test

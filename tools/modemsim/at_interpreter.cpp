#include "tools/modemsim/at_interpreter.h"

#include <cctype>

#include "tools/modemsim/command_args.h"
#include "tools/modemsim/xmodem_receiver.h"
#include "tools/modemsim/xmodem_sender.h"

namespace modemsim {
namespace {

// A command line longer than this is refused whole (a flash record with 255
// data bytes still fits).
constexpr std::size_t kMaxLine = 1024;
// A stored file upload gives up asking for the first packet after this long.
constexpr DWORD kStoreStartTimeoutMs = 10000;
constexpr DWORD kStoreNakIntervalMs = 300;

std::string Upper(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Stray control bytes before a command (a receiver's NAK, line noise) are
// not part of it; neither are trailing blanks.
std::string Clean(const std::string& received) {
    std::size_t begin = 0;
    while (begin < received.size()) {
        unsigned char u = static_cast<unsigned char>(received[begin]);
        if (u > 0x20 && u < 0x7F) {
            break;
        }
        ++begin;
    }
    std::size_t end = received.size();
    while (end > begin && (received[end - 1] == ' ' || received[end - 1] == '\t')) {
        --end;
    }
    return received.substr(begin, end - begin);
}

std::string AttributesForLog(const std::string& letters) {
    if (letters.empty()) {
        return "-";
    }
    std::string out;
    for (char c : letters) {
        if (!out.empty()) {
            out += ',';
        }
        out += c;
    }
    return out;
}

}  // namespace

AtInterpreter::AtInterpreter(ModemContext& context, FlashLoader& flash)
    : context_(context), flash_(flash) {}

Mode AtInterpreter::Run() {
    Line& line = context_.line;
    line.SetModemSpeed(context_.AtSpeed());
    const bool silent = context_.options.silent;
    for (;;) {
        if (line.Stopped()) {
            return Mode::kStop;
        }
        int b = line.ReadByte(1000);
        if (b < 0) {
            continue;
        }
        if (b == '\r' && context_.faults.Refuses(Clean(line_))) {
            // Neither the CR is echoed nor the command answered.
            context_.log.Event("fault refuse " + line_);
            line_.clear();
            overflow_ = false;
            continue;
        }
        bool garbleEcho = false;
        if (b == '\r') {
            const std::string command = Clean(line_);
            if (context_.faults.HangsAt(command)) {
                return context_.Hang("at " + command);
            }
            // The upload command has no answer of its own: what the host
            // waits for is the echo of its CR.
            const bool upload = Upper(command) == Upper(context_.options.uploadCommand);
            const DWORD late = context_.faults.LateAnswerTo(command);
            const bool garble = context_.faults.GarblesAnswerTo(command);
            if (upload) {
                if (late > 0) {
                    context_.log.Event("fault late echo " + std::to_string(late));
                    line.Pause(late);
                }
                garbleEcho = garble;
            } else {
                context_.answerLateMs = late;
                context_.garbleAnswer = garble;
            }
        }
        if (garbleEcho) {
            context_.log.Event("fault garbage echo");
            line.SendNoise(1);
        } else if (context_.echo && !silent) {
            line.Send(static_cast<unsigned char>(b));
        }
        if (b == '\r') {
            // A record of the flash loader ends in CR LF: its LF belongs to
            // this line, not to the next one.
            if (line.PeekBuffered() == '\n') {
                line.ReadByte(0);
                if (context_.echo && !silent) {
                    line.Send('\n');
                }
            }
            std::string received = line_;
            bool overflow = overflow_;
            line_.clear();
            overflow_ = false;
            if (overflow) {
                context_.log.Error("command line longer than " + std::to_string(kMaxLine) +
                                   " bytes");
                if (!silent) {
                    Error();
                }
                continue;
            }
            if (context_.faults.VanishesInAnswerTo(Clean(received))) {
                context_.vanishInAnswerTo = Clean(received);
            }
            Mode next = Execute(received);
            context_.answerLateMs = 0;  // a command without an answer uses up its fault
            context_.garbleAnswer = false;
            if (!context_.vanishInAnswerTo.empty() && !line.Stopped()) {
                // A command without an answer of its own: the device goes
                // right after its echo.
                line.Vanish("after " + context_.vanishInAnswerTo);
            }
            if (line.Stopped()) {
                return Mode::kStop;
            }
            if (next != Mode::kAt) {
                return next;
            }
        } else if (b == '\n') {
            // LF on its own ends nothing
        } else if (b == 0x08 && !line_.empty()) {
            line_.pop_back();
        } else if (line_.size() >= kMaxLine) {
            overflow_ = true;
        } else {
            line_ += static_cast<char>(b);
        }
    }
}

void AtInterpreter::Ok() {
    context_.Answer("\r\nOK\r\n");
}

void AtInterpreter::Error() {
    context_.Answer("\r\nERROR\r\n");
}

void AtInterpreter::Text(const std::vector<std::string>& lines) {
    std::string answer = "\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            answer += "\r\n";
        }
        answer += lines[i];
    }
    answer += "\r\n\r\nOK\r\n";
    context_.Answer(answer);
}

std::string AtInterpreter::ModelText() const {
    const std::string& model = context_.options.model;
    return context_.options.gmmQuoted ? "\"" + model + "\"" : model;
}

Mode AtInterpreter::Execute(const std::string& received) {
    const std::string command = Clean(received);
    if (command.empty()) {
        return Mode::kAt;
    }
    context_.log.Event("at " + received);
    if (context_.options.silent) {
        return Mode::kAt;
    }
    const std::string upper = Upper(command);
    if (!StartsWith(upper, "AT")) {
        Error();
        return Mode::kAt;
    }
    if (upper == Upper(context_.options.uploadCommand)) {
        return Mode::kBootLoader;
    }
    const std::string body = upper.substr(2);
    const std::string args = command.size() > 2 ? command.substr(2) : "";
    const Options& options = context_.options;

    if (body.empty()) {
        Ok();
    } else if (body == "&F" || body == "Z") {
        context_.ResetProfile();
        Ok();
    } else if (body == "E0" || body == "E") {
        context_.echo = false;
        Ok();
    } else if (body == "E1") {
        context_.echo = true;
        Ok();
    } else if (body == "+GMM") {
        if (options.gmmError) {
            Error();
        } else {
            Text({"+GMM: " + ModelText()});
        }
    } else if (body == "+GMM9") {
        Text({"+GMM9: " + ModelText()});
    } else if (body == "I3") {
        Text({options.model + " Firmware " + context_.version});
    } else if (body == "I5") {
        Text({"Active profile:",
              std::string("E") + (context_.echo ? "1" : "0") + " Q0 V1 X4 &C1 &D2 &K3",
              "S00:000 S01:000 S02:043 S03:013 S04:010 S05:008 S07:060",
              "Country: " + context_.country});
    } else if (body == "I6") {
        Text({options.model});
    } else if (body == "$BRAND?") {
        if (options.hasBrand) {
            Text({"$BRAND: " + options.brand});
        } else {
            Error();
        }
    } else if (body == "+GCI?") {
        Text({"+GCI: " + context_.country});
    } else if (StartsWith(body, "+GCI=")) {
        std::string value = command.substr(7);
        std::size_t begin = value.find_first_not_of(' ');
        value = begin == std::string::npos ? "" : Upper(value.substr(begin));
        bool valid = !value.empty() && value.size() <= 8;
        for (char c : value) {
            valid = valid && std::isalnum(static_cast<unsigned char>(c));
        }
        if (valid) {
            context_.country = value;
            context_.log.Event("country " + value);
            Ok();
        } else {
            Error();
        }
    } else if (options.flash && body == "&&FE") {
        Ok();
    } else if (options.flash && StartsWith(body, "&&F")) {
        FlashLoader::LoaderAnswer answer = flash_.LoaderRecord(command.substr(5));
        context_.Answer(answer.text);
        if (answer.started) {
            return Mode::kFlashLoader;
        }
    } else if (body == "$JDIR" || StartsWith(body, "$JDIR=")) {
        ListFiles(body.size() > 5 ? args.substr(6) : "");
    } else if (StartsWith(body, "$JDNL=")) {
        GetFile(args.substr(6));
    } else if (StartsWith(body, "$JUPL=")) {
        PutFile(args.substr(6));
    } else if (StartsWith(body, "$JDEL=")) {
        DeleteFile(args.substr(6));
    } else if (body == "$JFCLR=ALL") {
        ClearFiles();
    } else {
        Error();
    }
    return Mode::kAt;
}

bool AtInterpreter::HaveStore() {
    if (context_.store) {
        return true;
    }
    context_.log.Error("no file store (--store not given)");
    Error();
    return false;
}

void AtInterpreter::ListFiles(const std::string& args) {
    if (!HaveStore()) {
        return;
    }
    std::string shown;
    if (!FileStore::ParseAttributes(args, &shown)) {
        Error();
        return;
    }
    std::string error;
    std::vector<StoredFile> files = context_.store->List(&error);
    if (!error.empty()) {
        context_.log.Error(error);
        Error();
        return;
    }
    context_.log.Event("store-list");
    std::string answer = "\r\n";
    for (const StoredFile& file : files) {
        bool hidden = (file.Has('H') && shown.find('H') == std::string::npos) ||
                      (file.Has('S') && shown.find('S') == std::string::npos);
        if (!hidden) {
            answer += file.name + "," + file.field1 + "," + file.AttributeField() + ",0,0," +
                      std::to_string(file.size) + "\r\n";
        }
    }
    if (context_.faults.ListingTimeout()) {
        context_.log.Event("fault listing without OK");
    } else {
        answer += "\r\nOK\r\n";
    }
    context_.Answer(answer);
}

void AtInterpreter::GetFile(const std::string& args) {
    if (!HaveStore()) {
        return;
    }
    DownloadArgs download;
    StoredFile file;
    if (!ParseDownloadArgs(args, &download)) {
        context_.log.Error("store-get: bad arguments");
        Error();
        return;
    }
    if (!context_.store->Find(download.name, &file)) {
        context_.log.Error("store-get: no file " + download.name);
        Error();
        return;
    }
    if (file.Has('I') && !download.withI) {
        context_.log.Error("store-get: " + download.name + " needs ,I");
        Error();
        return;
    }
    std::string data;
    std::string error;
    if (!context_.store->Read(download.name, &data, &error)) {
        context_.log.Error(error);
        Error();
        return;
    }
    SendSettings settings;
    settings.blockSize = context_.options.store1k ? 1024 : 128;
    TransferFaults faults =
        context_.faults.ForTransfer(TransferKind::kStoredFile, Direction::kSend, download.name);
    SendOutcome outcome = SendFile(context_.line, context_.log, data, settings, faults);
    if (outcome == SendOutcome::kDone) {
        context_.log.Event("store-get " + download.name + " " + std::to_string(data.size()));
        Ok();
        return;
    }
    context_.log.Error("store-get " + download.name + ": " + Describe(outcome));
    if (outcome != SendOutcome::kSilenced && outcome != SendOutcome::kStopped) {
        Error();
    }
}

void AtInterpreter::PutFile(const std::string& args) {
    if (!HaveStore()) {
        return;
    }
    UploadArgs upload;
    if (!ParseUploadArgs(args, &upload) || !FileStore::ValidName(upload.name)) {
        context_.log.Error("store-put: bad arguments");
        Error();
        return;
    }
    if (context_.faults.NoNak(upload.name)) {
        context_.log.Event("fault no NAK for " + upload.name);
        return;
    }
    ReceiveSettings settings;
    settings.nakIntervalMs = kStoreNakIntervalMs;
    settings.startTimeoutMs = kStoreStartTimeoutMs;
    TransferFaults faults =
        context_.faults.ForTransfer(TransferKind::kStoredFile, Direction::kReceive, upload.name);
    std::string data;
    std::size_t lastBlock = 0;
    ReceiveOutcome outcome =
        ReceiveFile(context_.line, context_.log, settings, faults, &data, &lastBlock);
    if (outcome == ReceiveOutcome::kDone && context_.options.storeTrimPadding) {
        // The file ends where its data ends: the padding of the last block
        // goes (a file that itself ends in 0x1A bytes loses them too).
        std::size_t cut = 0;
        while (cut < lastBlock && cut < data.size() && data[data.size() - 1 - cut] == '\x1A') {
            ++cut;
        }
        data.resize(data.size() - cut);
    }
    if (outcome != ReceiveOutcome::kDone) {
        context_.log.Error("store-put " + upload.name + ": " + Describe(outcome));
        if (outcome != ReceiveOutcome::kSilenced && outcome != ReceiveOutcome::kStopped) {
            Error();
        }
        return;
    }
    std::string error;
    if (!context_.store->Put(upload.name, data, upload.field1, upload.attributes, &error)) {
        context_.log.Error("store-put " + upload.name + ": " + error);
        Error();
        return;
    }
    context_.log.Event("store-put " + upload.name + " " + std::to_string(data.size()) + " " +
                       upload.field1 + " " + AttributesForLog(upload.attributes));
    Ok();
}

void AtInterpreter::DeleteFile(const std::string& args) {
    if (!HaveStore()) {
        return;
    }
    std::string name;
    std::string error;
    if (!ParseDeleteArgs(args, &name) || !context_.store->Remove(name, &error)) {
        if (!error.empty()) {
            context_.log.Error(error);
        }
        Error();
        return;
    }
    context_.log.Event("store-del " + name);
    Ok();
}

void AtInterpreter::ClearFiles() {
    if (!HaveStore()) {
        return;
    }
    if (context_.faults.TakeJfclrError()) {
        context_.log.Event("fault jfclr error");
        Error();
        return;
    }
    // The modem is busy reorganising its memory; input waits meanwhile.
    context_.line.Pause(static_cast<DWORD>(context_.options.jfclrDelayMs));
    std::string error;
    context_.store->Clear(&error);
    if (!error.empty()) {
        context_.log.Error(error);
        Error();
        return;
    }
    context_.log.Event("store-clear");
    Ok();
}

}  // namespace modemsim

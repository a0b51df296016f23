// The simulator's parts one by one: the rules behind the answers that the
// process tests see on the wire.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>

#include "sim_helpers.h"
#include "tests/support/temp_dir.h"
#include "tools/modemsim/command_args.h"
#include "tools/modemsim/event_log.h"
#include "tools/modemsim/faults.h"
#include "tools/modemsim/file_store.h"
#include "tools/modemsim/firmware_header.h"
#include "tools/modemsim/intel_hex.h"
#include "tools/modemsim/line.h"
#include "tools/modemsim/options.h"
#include "tools/modemsim/usb_adapter.h"

namespace modemsim_test {
namespace {

using namespace modemsim;
using test_support::TempDir;

TEST(FirmwareHeader, GoodHeaderGivesItsVersion) {
    FirmwareCheck check = CheckFirmware(MakeFirmware(1000, "2.07", "ORV", 'L'));
    EXPECT_TRUE(check.ok) << check.problem;
    EXPECT_EQ(check.version, "2.07");
    EXPECT_EQ(check.type, 'L');
    EXPECT_EQ(check.imageLength, 1000u);
}

TEST(FirmwareHeader, PaddingAfterTheImageIsFine) {
    EXPECT_TRUE(CheckFirmware(Padded(MakeFirmware(1000, "2.07"), 1024)).ok);
}

TEST(FirmwareHeader, EveryFlawIsNamed) {
    EXPECT_EQ(CheckFirmware(std::string(100, 'x')).problem, "short-header 100 bytes");
    EXPECT_EQ(CheckFirmware(MakeFirmware(10, "1.00", "ORW")).problem, "no-magic");
    EXPECT_EQ(CheckFirmware(MakeFirmware(10, "1.00", "ORV", 'X')).problem, "bad-type");
    EXPECT_EQ(CheckFirmware(MakeFirmware(500, "1.00").substr(0, 600)).problem,
              "short-image 600 of 628 bytes");
    EXPECT_TRUE(CheckFirmware(MakeFirmware(500, "1.00").substr(0, 628)).ok);
}

TEST(FirmwareHeader, HugeLengthDoesNotOverflow) {
    std::string firmware = MakeFirmware(0, "1.00");
    firmware[54] = firmware[55] = firmware[56] = firmware[57] = '\xFF';
    FirmwareCheck check = CheckFirmware(firmware);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.problem.rfind("short-image", 0), 0u);
}

TEST(IntelHex, GoodRecordsAndTheirTypes) {
    HexRecord data = ParseHexRecord(HexLine(0x1234, 0, "hello"));
    EXPECT_TRUE(data.ok) << data.problem;
    EXPECT_EQ(data.length, 5);
    EXPECT_EQ(data.type, 0);
    HexRecord end = ParseHexRecord(":00000001FF");
    EXPECT_TRUE(end.ok);
    EXPECT_EQ(end.type, kHexEndOfFile);
    EXPECT_TRUE(ParseHexRecord(":00000001ff").ok);
}

TEST(IntelHex, FlawsAreRefused) {
    EXPECT_EQ(ParseHexRecord(BadHexLine(0, 0, "abc")).problem, "bad checksum");
    EXPECT_EQ(ParseHexRecord("00000001FF").problem, "no colon");
    EXPECT_EQ(ParseHexRecord(":00000001F").problem, "bad length");
    EXPECT_EQ(ParseHexRecord(":0000000GFF").problem, "not hexadecimal");
    EXPECT_EQ(ParseHexRecord(":0300000001FC").problem, "length does not match");
    EXPECT_FALSE(ParseHexRecord(":").ok);
}

TEST(ModemSimOptions, DefaultsDescribeAnOrdinaryModem) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions({}, &options, &error)) << error;
    EXPECT_TRUE(options.echo);
    EXPECT_EQ(options.uploadCommand, "AT$UPLOAD");
    EXPECT_EQ(options.loaderBaud, 115200u);
    EXPECT_EQ(options.atBaud, 115200u);
    EXPECT_EQ(options.nakIntervalMs, 300);
    EXPECT_EQ(options.rebootDelayMs, 3000);
    EXPECT_EQ(options.powerCycleDelayMs, 2000);
    EXPECT_EQ(options.country, "3D");
    EXPECT_EQ(options.flashLoaderVersion, "4.4");
    EXPECT_EQ(options.rate, 0u);
}

TEST(ModemSimOptions, ValuesInBothSpellings) {
    Options options;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--loader-baud=57600", "--fault-corrupt-block", "4:2", "--flash-nok",
                              "3:NOK2:always", "--echo", "off", "--at-baud", "any"},
                             &options, &error))
        << error;
    EXPECT_EQ(options.loaderBaud, 57600u);
    EXPECT_EQ(options.corruptBlock.block, 4);
    EXPECT_EQ(options.corruptBlock.count, 2);
    ASSERT_EQ(options.flashNoks.size(), 1u);
    EXPECT_EQ(options.flashNoks[0].record, 3);
    EXPECT_EQ(options.flashNoks[0].answer, "NOK2");
    EXPECT_LT(options.flashNoks[0].count, 0);
    EXPECT_FALSE(options.echo);
    EXPECT_EQ(options.atBaud, 0u);
}

TEST(ModemSimOptions, BadValuesNameTheOption) {
    const std::vector<std::vector<std::string>> cases = {
        {"--nak-interval", "0"},           {"--version", "1.0"},       {"--fault-nak-block", "0"},
        {"--flash-nok", "x:NOK:1"},        {"--flash-nok", "1:N K:1"}, {"--reboot-delay", "-5"},
        {"--upload-command", "XYZ"},       {"--country", "TOO-LONG!"}, {"--gmm-error=yes"},
        {"--reboot-delay", "99999999999"},
    };
    for (const auto& args : cases) {
        Options options;
        std::string error;
        EXPECT_FALSE(ParseOptions(args, &options, &error)) << args[0];
        EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
    }
}

TEST(CommandArgs, DownloadWithAndWithoutI) {
    DownloadArgs args;
    ASSERT_TRUE(ParseDownloadArgs("\"a b.dat\"", &args));
    EXPECT_EQ(args.name, "a b.dat");
    EXPECT_FALSE(args.withI);
    ASSERT_TRUE(ParseDownloadArgs("\"x\",I", &args));
    EXPECT_TRUE(args.withI);
    EXPECT_FALSE(ParseDownloadArgs("\"x\",H", &args));
    EXPECT_FALSE(ParseDownloadArgs("x", &args));
    EXPECT_FALSE(ParseDownloadArgs("\"x", &args));
}

TEST(CommandArgs, UploadFieldsAndAttributes) {
    UploadArgs args;
    ASSERT_TRUE(ParseUploadArgs("\"a.dat\",1,H,S", &args));
    EXPECT_EQ(args.name, "a.dat");
    EXPECT_EQ(args.field1, "1");
    EXPECT_EQ(args.attributes, "HS");
    ASSERT_TRUE(ParseUploadArgs("\"a.dat\",7,", &args));
    EXPECT_EQ(args.field1, "7");
    EXPECT_EQ(args.attributes, "");
    ASSERT_TRUE(ParseUploadArgs("\"a.dat\",,,", &args));
    EXPECT_EQ(args.field1, "1");
    ASSERT_TRUE(ParseUploadArgs("\"a.dat\"", &args));
    EXPECT_EQ(args.field1, "1");
    ASSERT_TRUE(ParseUploadArgs("\"a.dat\",2,i,h", &args));
    EXPECT_EQ(args.attributes, "IH");
    EXPECT_FALSE(ParseUploadArgs("\"a.dat\"x", &args));
    EXPECT_FALSE(ParseUploadArgs("\"a.dat\",1 2,", &args));
    EXPECT_FALSE(ParseUploadArgs("\"a.dat\",1,H1", &args));
}

TEST(FileStoreRules, NamesAndAttributes) {
    EXPECT_TRUE(FileStore::ValidName("a.dat"));
    EXPECT_TRUE(FileStore::ValidName("with space"));
    for (const char* bad : {"", ".hidden", "a/b", "a\\b", "a,b", "a\"b", "tab\there"}) {
        EXPECT_FALSE(FileStore::ValidName(bad)) << bad;
    }
    EXPECT_FALSE(FileStore::ValidName(std::string(65, 'x')));
    std::string letters;
    ASSERT_TRUE(FileStore::ParseAttributes("H S", &letters));
    EXPECT_EQ(letters, "HS");
    ASSERT_TRUE(FileStore::ParseAttributes(",,h,s,H", &letters));
    EXPECT_EQ(letters, "HS");
    EXPECT_FALSE(FileStore::ParseAttributes("H-S", &letters));
}

TEST(FileStoreOnDisk, PutListRemoveClear) {
    TempDir dir;
    FileStore store(dir.Path());
    std::string error;
    ASSERT_TRUE(store.Prepare(&error)) << error;
    ASSERT_TRUE(store.Put("z.dat", "zz", "3", "HS", &error)) << error;
    ASSERT_TRUE(store.Put("a.dat", "abc", "1", "", &error)) << error;
    dir.Write("plain.txt", "1234");  // put there by hand: default fields

    std::vector<StoredFile> files = store.List(&error);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "a.dat");
    EXPECT_EQ(files[0].size, 3u);
    EXPECT_EQ(files[1].name, "plain.txt");
    EXPECT_EQ(files[1].field1, "1");
    EXPECT_EQ(files[1].attributes, "");
    EXPECT_EQ(files[2].name, "z.dat");
    EXPECT_EQ(files[2].field1, "3");
    EXPECT_EQ(files[2].AttributeField(), "H S");
    EXPECT_EQ(dir.Read(".modemsim-attrs"), "z.dat,3,H S\na.dat,1,\n");

    ASSERT_TRUE(store.Put("z.dat", "new", "4", "", &error)) << error;
    StoredFile z;
    ASSERT_TRUE(store.Find("z.dat", &z));
    EXPECT_EQ(z.field1, "4");
    EXPECT_EQ(z.attributes, "");
    EXPECT_EQ(dir.Read("z.dat"), "new");

    EXPECT_TRUE(store.Remove("a.dat", &error));
    EXPECT_FALSE(store.Remove("a.dat", &error));
    EXPECT_FALSE(dir.Exists("a.dat"));
    EXPECT_EQ(store.Clear(&error), 2u);
    EXPECT_TRUE(store.List(&error).empty());
    EXPECT_FALSE(dir.Exists(".modemsim-attrs"));
}

TEST(Faults, EachFaultStrikesOneTransfer) {
    Options options;
    options.corruptBlock = {2, 1};
    options.nakBlock = {3, 2};
    options.canAtBlock = 5;
    Faults faults(options);
    TransferFaults send = faults.ForTransfer(TransferKind::kStoredFile, Direction::kSend, "a");
    EXPECT_EQ(send.corrupt.block, 2);
    EXPECT_EQ(send.nak.block, 0);
    EXPECT_EQ(send.canAt, 5);
    TransferFaults receive = faults.ForTransfer(TransferKind::kFirmware, Direction::kReceive, "");
    EXPECT_EQ(receive.nak.block, 3);
    EXPECT_EQ(receive.nak.count, 2);
    EXPECT_EQ(receive.canAt, 0);
    TransferFaults later = faults.ForTransfer(TransferKind::kStoredFile, Direction::kSend, "a");
    EXPECT_EQ(later.corrupt.block, 0);
}

TEST(Faults, RestrictedToOneFileOrToFirmware) {
    Options options;
    options.corruptBlock = {1, 1};
    options.faultFile = "b";
    Faults byFile(options);
    EXPECT_EQ(byFile.ForTransfer(TransferKind::kStoredFile, Direction::kSend, "a").corrupt.block,
              0);
    EXPECT_EQ(byFile.ForTransfer(TransferKind::kFirmware, Direction::kSend, "b").corrupt.block, 0);
    EXPECT_EQ(byFile.ForTransfer(TransferKind::kStoredFile, Direction::kSend, "b").corrupt.block,
              1);

    options.faultFile.clear();
    options.faultFirmware = true;
    options.jfclrErrors = 1;
    Faults byKind(options);
    EXPECT_EQ(byKind.ForTransfer(TransferKind::kStoredFile, Direction::kSend, "b").corrupt.block,
              0);
    EXPECT_EQ(byKind.ForTransfer(TransferKind::kFirmware, Direction::kSend, "").corrupt.block, 1);
    EXPECT_TRUE(byKind.TakeJfclrError());
    EXPECT_FALSE(byKind.TakeJfclrError());
}

// A line endpoint that hands out scripted input and records output.
class FakeEndpoint : public LineEndpoint {
  public:
    long Read(void* buffer, std::size_t count, DWORD) override {
        if (input.empty()) {
            return 0;
        }
        std::string chunk = input.front().substr(0, count);
        input.pop_front();
        std::copy(chunk.begin(), chunk.end(), static_cast<char*>(buffer));
        return static_cast<long>(chunk.size());
    }
    std::size_t Write(const void* data, std::size_t count, DWORD) override {
        output.append(static_cast<const char*>(data), count);
        return count;
    }
    bool HostSpeed(unsigned* baud) override {
        *baud = hostSpeed;
        return true;
    }
    bool Stopped() override { return vanished; }
    void Pause(DWORD) override {}
    void Vanish() override { vanished = true; }

    std::deque<std::string> input;
    bool vanished = false;
    std::string output;
    unsigned hostSpeed = 115200;
};

TEST(LineModel, MatchingSpeedsPassBytesUntouched) {
    FakeEndpoint endpoint;
    EventLog log;
    Line line(endpoint, log, 0);
    endpoint.input.push_back("AT\r");
    line.Send("\x15\x06OK");
    EXPECT_EQ(endpoint.output, "\x15\x06OK");
    EXPECT_EQ(line.ReadByte(10), 'A');
    EXPECT_EQ(line.PeekBuffered(), 'T');
    EXPECT_EQ(line.ReadByte(10), 'T');
    EXPECT_EQ(line.ReadByte(10), '\r');
    EXPECT_EQ(line.ReadByte(0), -1);
}

TEST(LineModel, MismatchedSpeedsTurnOutputIntoNoiseAndDropInput) {
    FakeEndpoint endpoint;
    endpoint.hostSpeed = 57600;
    TempDir dir;
    EventLog log;
    std::string error;
    ASSERT_TRUE(log.Open(dir.File("log"), &error)) << error;
    Line line(endpoint, log, 0);
    const std::string sent(200, '\x15');
    line.Send(sent);
    ASSERT_EQ(endpoint.output.size(), sent.size());
    for (char c : endpoint.output) {
        unsigned char u = static_cast<unsigned char>(c);
        EXPECT_GE(u, 0x80);
    }
    endpoint.input.push_back("AT\r");
    EXPECT_EQ(line.ReadByte(0), -1);
    endpoint.hostSpeed = 115200;  // the host follows: the next bytes are clean
    endpoint.input.push_back("OK");
    EXPECT_EQ(line.ReadByte(0), 'O');
    EXPECT_EQ(dir.Read("log"), "garbled 203\n");
}

TEST(LineModel, ModemFollowingTheHostNeverGarbles) {
    FakeEndpoint endpoint;
    endpoint.hostSpeed = 9600;
    EventLog log;
    Line line(endpoint, log, 0);
    line.SetModemSpeed(0);
    line.Send("OK");
    EXPECT_EQ(endpoint.output, "OK");
}

TEST(LineModel, PacerCarriesBytesAtTheRateAndIdleTimeIsNotSaved) {
    LinePacer pacer(11520);
    EXPECT_TRUE(pacer.Enabled());
    EXPECT_EQ(pacer.Piece(), 230u);
    // One byte at a time adds up to exactly one second for 11520 bytes:
    // the fractions of a microsecond are carried, not lost.
    std::uint64_t done = 0;
    for (int i = 0; i < 11520; ++i) {
        done = pacer.Carry(1, 1000);
    }
    EXPECT_EQ(done, 1000u + 1000000u);
    // Given while still busy: queued behind what it carries.
    EXPECT_EQ(pacer.Carry(1152, 1000), 1000u + 1100000u);
    // After a quiet spell the line starts from now, with no credit.
    EXPECT_EQ(pacer.Carry(1152, 5000000), 5100000u);
    // The first of them crossed one byte time after the start: a USB
    // adapter's timer starts then, not when the last one is through.
    EXPECT_EQ(pacer.FirstOfLastUs(1152), 5000087u);
    EXPECT_EQ(pacer.FirstOfLastUs(1), 5100000u);
    // Bytes that were waiting follow without a gap, though handed on late...
    EXPECT_EQ(pacer.Carry(230, 5103000, true), 5119965u);
    // ...but not after the modem left them unread for longer than a piece.
    EXPECT_EQ(pacer.Carry(230, 6000000, true), 6019965u);
    EXPECT_FALSE(LinePacer(0).Enabled());
}

TEST(LineModel, UsbAdapterHoldsBytesUntilAPacketIsFullOrItsTimerRunsOut) {
    struct Case {
        const char* what;
        std::size_t bytes;
        std::uint64_t askAtUs;
        std::size_t expectDue;
    };
    const Case cases[] = {
        {"short answer, timer running", 6, 15999, 0},
        {"short answer, timer run out", 6, 16000, 6},
        {"a full packet goes at once", 62, 0, 62},
        {"full packets go, the rest waits", 130, 1, 124},
        {"the rest goes with its timer", 130, 16000, 130},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UsbAdapter adapter(16);
        adapter.Take(std::string(c.bytes, 'x'), 0);
        EXPECT_EQ(adapter.Due(c.askAtUs).size(), c.expectDue);
        EXPECT_EQ(adapter.Held(), c.bytes - c.expectDue);
    }
    UsbAdapter adapter(1);
    EXPECT_EQ(adapter.NextDueUs(), UsbAdapter::kNever);
    adapter.Take("OK", 500);
    adapter.Take("\r\n", 900);
    EXPECT_EQ(adapter.NextDueUs(), 1500u);  // from the first byte waiting
    EXPECT_EQ(adapter.Due(1499), "");
    EXPECT_EQ(adapter.Due(1500), "OK\r\n");
    EXPECT_FALSE(UsbAdapter(0).Enabled());
}

TEST(EventLogText, ControlBytesAreEscapedToKeepOneEventPerLine) {
    EXPECT_EQ(EventLog::Printable("at\r\n\x15\\x"), "at\\x0d\\x0a\\x15\\x5cx");
}

}  // namespace
}  // namespace modemsim_test

// Taking listing entries apart, and the commands built from them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/backup/entry_fields.h"
#include "plugins/backup/file_entry.h"

namespace {

std::string Field(const char* entry, int n) {
    const char* fields = NormalizeEntry(entry);
    EXPECT_NE(fields, nullptr) << entry;
    return fields != nullptr ? GetEntryField(fields, n) : std::string("<refused>");
}

TEST(EntryFields, FieldsOfAnEntryWithBlanksAfterTheCommas) {
    const char* entry = "a.dat, 1, H I, 0, 0, 1200";
    EXPECT_EQ(Field(entry, 0), "a.dat");
    EXPECT_EQ(Field(entry, 1), "1");
    EXPECT_EQ(Field(entry, 2), "H I");
    EXPECT_EQ(Field(entry, 5), "1200");
    EXPECT_EQ(Field(entry, 6), "");
}

TEST(EntryFields, AnEmptyAttributeFieldDoesNotHideTheSize) {
    // As the modem lists a file without attributes, CR included.
    const char* entry = "notes.txt,1,,0,0,5000\r";
    EXPECT_EQ(Field(entry, 2), "");
    EXPECT_EQ(Field(entry, 3), "0");
    EXPECT_EQ(Field(entry, 5), "5000 ") << "the CR reads as one blank";
    EXPECT_EQ(Field("a,,,,,77", 5), "77");
}

TEST(EntryFields, RunsOfWhiteSpaceBecomeOneBlank) {
    EXPECT_EQ(Field("a.dat,1,H \t  I,0,0,5", 2), "H I");
    EXPECT_EQ(Field("a.dat,1,  \t H,0,0,5", 2), "H") << "leading blanks are skipped";
    const char* fields = NormalizeEntry("  x,1");
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(std::string(fields, 4), std::string(" x\0"
                                                  "1",
                                                  4));
}

TEST(EntryFields, AShortEntryAfterALongOneShowsNothingOfTheLongOne) {
    ASSERT_NE(NormalizeEntry("long-name.bin,22,H S,0,0,123456"), nullptr);
    const char* fields = NormalizeEntry("b,1");
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(std::string(GetEntryField(fields, 0)), "b");
    EXPECT_EQ(std::string(GetEntryField(fields, 2)), "");
    EXPECT_EQ(std::string(GetEntryField(fields, 5)), "");
}

TEST(EntryFields, FieldsPastTheEndOfAFullBufferAreEmpty) {
    // 254 characters without a comma leave room for the two closing NULs
    // only: the buffer holds fewer fields than are asked for.
    const std::string full(254, 'n');
    const char* fields = NormalizeEntry(full.c_str());
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(std::string(GetEntryField(fields, 0)), full);
    EXPECT_EQ(std::string(GetEntryField(fields, 5)), "");
}

TEST(EntryFields, AnEntryThatDoesNotFitItsBufferIsRefusedWhole) {
    const std::string fits(kEntryBufferSize - 2, 'n');
    const char* fields = NormalizeEntry(fits.c_str());
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(std::string(GetEntryField(fields, 0)), fits);
    const std::string tooLong(kEntryBufferSize - 1, 'n');
    EXPECT_EQ(NormalizeEntry(tooLong.c_str()), nullptr);
    // The buffer still holds the last accepted entry.
    EXPECT_EQ(std::string(GetEntryField(fields, 0)), fits);
}

TEST(AttributeArgs, LettersBecomeCommaSeparatedArguments) {
    EXPECT_STREQ(AttributeArgs("H S"), "H,S");
    EXPECT_STREQ(AttributeArgs("HS"), "H,S");
    EXPECT_STREQ(AttributeArgs("I"), "I");
    EXPECT_STREQ(AttributeArgs(""), "");
    EXPECT_STREQ(AttributeArgs(" \t "), "");
    std::string letters, args;
    for (int i = 0; i < 127; ++i) {
        letters += static_cast<char>('A' + i % 26);
        args += (i == 0 ? "" : ",") + std::string(1, static_cast<char>('A' + i % 26));
    }
    EXPECT_EQ(std::string(AttributeArgs(letters.c_str())), args) << "127 letters just fit";
    EXPECT_EQ(AttributeArgs(std::string(128, 'A').c_str()), nullptr);
}

TEST(FileEntry, ReadsNameFieldsAndSize) {
    FileEntry file;
    std::string why;
    ASSERT_TRUE(ReadEntry("a.dat, 1, H I, 0, 0, 1200\r", &file, &why)) << why;
    EXPECT_EQ(file.name, "a.dat");
    EXPECT_EQ(file.field1, "1");
    EXPECT_EQ(file.attributes, "H I");
    EXPECT_EQ(file.size, 1200);
    EXPECT_TRUE(file.sizeGiven);

    ASSERT_TRUE(ReadEntry("b,1,,0,0,", &file, &why)) << why;
    EXPECT_EQ(file.size, 0);
    EXPECT_FALSE(file.sizeGiven);
    ASSERT_TRUE(ReadEntry("c,1,,,0x10", &file, &why)) << why;
    EXPECT_FALSE(file.sizeGiven) << "no size field at all";
}

TEST(FileEntry, CommandsCarryTheISuffixAndTheAttributeArguments) {
    FileEntry file;
    std::string why, command;
    ASSERT_TRUE(ReadEntry("a.dat,1,H I,0,0,1200", &file, &why));
    ASSERT_TRUE(DownloadCommand(file, &command));
    EXPECT_EQ(command, "AT$JDNL=\"a.dat\",I");
    ASSERT_TRUE(StoreCommand(file, &command));
    EXPECT_EQ(command, "at$jupl=\"a.dat\",1,H,I");

    ASSERT_TRUE(ReadEntry("a.dat,1,H S,0,0,10", &file, &why));
    ASSERT_TRUE(DownloadCommand(file, &command));
    EXPECT_EQ(command, "AT$JDNL=\"a.dat\"");
    ASSERT_TRUE(StoreCommand(file, &command));
    EXPECT_EQ(command, "at$jupl=\"a.dat\",1,H,S");

    ASSERT_TRUE(ReadEntry("low.dat,1,h i,0,0,10", &file, &why));
    ASSERT_TRUE(DownloadCommand(file, &command));
    EXPECT_EQ(command, "AT$JDNL=\"low.dat\"") << "a lower-case i adds nothing";

    ASSERT_TRUE(ReadEntry("a.dat,1,,0,0,10", &file, &why));
    ASSERT_TRUE(StoreCommand(file, &command));
    EXPECT_EQ(command, "at$jupl=\"a.dat\",1,");
}

TEST(FileEntry, OnlyWhatCannotBeStoredBackIsRefused) {
    FileEntry file;
    std::string why;
    for (const std::string& entry : std::vector<std::string>{
             ",1,,0,0,5", "\r", "q\"uote,1,,0,0,5", "a\tb,1,,0,0,5", "bell\a,1,,0,0,5",
             "a.dat,1,,0,0,2147483648", "a.dat,1,H\"S,0,0,5", "a.dat,1\x7f,,0,0,5",
             std::string(300, 'n') + ",1,,0,0,5", std::string(250, 'n') + ",1,,0,0,5",
             "a.dat,1," + std::string(128, 'A') + ",0,0,5"}) {
        EXPECT_FALSE(ReadEntry(entry.c_str(), &file, &why)) << entry;
        EXPECT_FALSE(why.empty()) << entry;
    }
}

TEST(FileEntry, NamesTravelExactlyAsListedInsideTheQuotes) {
    // Copies are named by position: the modem's name only has to survive
    // the quoted commands.
    for (const std::string& name :
         std::vector<std::string>{"a b.txt", "a  b", "  lead", "trail  ", "../up", "a/b", "a\\b",
                                  "x..y", "NOKIA.cfg", std::string(230, 'n')}) {
        FileEntry file;
        std::string why, command;
        ASSERT_TRUE(ReadEntry((name + ",1,,0,0,2147483647").c_str(), &file, &why))
            << name << ": " << why;
        EXPECT_EQ(file.name, name);
        EXPECT_EQ(file.size, 2147483647);
        ASSERT_TRUE(DownloadCommand(file, &command));
        EXPECT_EQ(command, "AT$JDNL=\"" + name + "\"");
        ASSERT_TRUE(StoreCommand(file, &command));
        EXPECT_EQ(command, "at$jupl=\"" + name + "\",1,");
    }
}

}  // namespace

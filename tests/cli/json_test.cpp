// The JSON of wizard-cli --json: what the writer makes of every byte a
// modem could send, and what the reader makes of what others write.
#include <gtest/gtest.h>

#include "wizard/cli/json/json_value.h"
#include "wizard/cli/json/json_writer.h"

namespace {

using cli::json::Parse;
using cli::json::Quote;
using cli::json::Value;

TEST(JsonWriter, EscapesWhatJsonForbidsAndKeepsValidUtf8) {
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"plain", R"("plain")"},
        {"say \"OK\"", R"("say \"OK\"")"},
        {"C:\\modem", R"("C:\\modem")"},
        {"a\r\nb\tc\bd\fe", R"("a\r\nb\tc\bd\fe")"},
        {std::string("\0\x01\x1a\x1b\x1f", 5), R"("\u0000\u0001\u001a\u001b\u001f")"},
        {"\x7f", R"("\u007f")"},
        {"/", R"("/")"},
        {"Gr\xc3\xbc\xc3\x9f", "\"Gr\xc3\xbc\xc3\x9f\""},       // two-byte UTF-8
        {"\xe2\x82\xac 5", "\"\xe2\x82\xac 5\""},               // three bytes
        {"\xf0\x9f\x93\xa0", "\"\xf0\x9f\x93\xa0\""},           // four bytes
        {"\xff", R"("\ufffd")"},                                // never UTF-8
        {"\x80x", R"("\ufffdx")"},                              // a lone continuation
        {"\xc0\xaf", R"("\ufffd\ufffd")"},                      // overlong "/"
        {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},            // a surrogate
        {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},  // above U+10FFFF
        {"\xe2\x82", R"("\ufffd\ufffd")"},                      // cut short at the end
        {"\xe2\x82"
         "A",
         R"("\ufffd\ufffdA")"},  // cut short by ASCII
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Quote(c.bytes), c.json) << c.json;
    }
}

TEST(JsonWriter, EverySingleByteReadsBackAsItselfOrTheReplacementCharacter) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string text(1, static_cast<char>(byte));
        const std::string json = Quote(text);
        for (char c : json) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "raw control byte for " << byte;
        }
        Value value;
        std::string why;
        ASSERT_TRUE(Parse(json, &value, &why)) << byte << ": " << why;
        EXPECT_EQ(value.AsText(), byte < 0x80 ? text : "\xef\xbf\xbd") << byte;
    }
}

TEST(JsonWriter, AnObjectKeepsItsOrderAndItsTypes) {
    cli::json::Object object;
    object.String("event", "step")
        .Number("index", -3)
        .Decimal("seconds", 12.26, 1)
        .Bool("ok", false)
        .Null("port")
        .StringOrNull("empty", "")
        .Strings("steps", {"a", "b\"c"})
        .Raw("nested", cli::json::Object().Number("n", 1).Text());
    EXPECT_EQ(object.Text(), R"({"event":"step","index":-3,"seconds":12.3,"ok":false,"port":null,)"
                             R"("empty":null,"steps":["a","b\"c"],"nested":{"n":1}})");
}

TEST(JsonReader, ReadsWhatOtherWritersWrite) {
    Value value;
    std::string why;
    ASSERT_TRUE(Parse(R"( {"a" : [1, -2.5e2, true, null, "x\u00e9\ud83d\udce0\/"], "b": {}} )",
                      &value, &why))
        << why;
    ASSERT_TRUE(value.IsObject());
    const Value* a = value.Find("a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->Items().size(), 5u);
    EXPECT_EQ(a->Items()[0].AsNumber(), 1);
    EXPECT_EQ(a->Items()[1].AsNumber(), -250);
    EXPECT_TRUE(a->Items()[2].AsBool());
    EXPECT_EQ(a->Items()[3].type(), Value::Type::kNull);
    EXPECT_EQ(a->Items()[4].AsText(), "x\xc3\xa9\xf0\x9f\x93\xa0/");
    EXPECT_EQ(value.String("missing", "none"), "none");
    // A lone surrogate has no UTF-8 form: the replacement character stands in.
    ASSERT_TRUE(Parse(R"("\ud800x\udc00")", &value, &why));
    EXPECT_EQ(value.AsText(), "\xef\xbf\xbdx\xef\xbf\xbd");
}

TEST(JsonReader, RefusesWhatIsNoJson) {
    for (const std::string& text :
         {std::string(""), std::string("{"), std::string(R"({"a":1,})"), std::string("[1 2]"),
          std::string(R"({"a":1} x)"), std::string("\"tab\there\""), std::string("01"),
          std::string("1."), std::string("tru"), std::string(R"("\x")"), std::string(R"("\u12")"),
          std::string(200, '['), std::string("Checking /dev/ttyS0")}) {
        Value value;
        std::string why;
        EXPECT_FALSE(Parse(text, &value, &why)) << text;
        EXPECT_FALSE(why.empty());
    }
}

TEST(JsonReader, AnEventPassedOnKeepsItsMeaning) {
    const std::string line =
        R"({"event":"progress","port":null,"version":1,"text":"L\u00e4dt \"fw\"","done":10,)"
        R"("total":-1,"percent":null,"steps":["x"]})";
    Value event;
    std::string why;
    ASSERT_TRUE(Parse(line, &event, &why)) << why;
    event.Set("port", Value::MakeString("/dev/ttyUSB0"));
    event.Set("stage", Value::MakeString("update"));
    EXPECT_EQ(cli::json::Serialize(event),
              "{\"event\":\"progress\",\"port\":\"/dev/ttyUSB0\",\"version\":1,\"text\":"
              "\"L\xc3\xa4"
              R"(dt \"fw\"","done":10,"total":-1,"percent":null,"steps":["x"],)"
              R"("stage":"update"})");
}

}  // namespace

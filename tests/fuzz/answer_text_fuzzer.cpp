// libFuzzer target: the helpers that clean and split modem answers,
// CleanAnswer, the Trim family, SplitList, GetListField, ListingField and
// SeparatedField, on any text.
//
// Besides crashes and memory errors (SplitList writes into a static buffer
// of its own) it stops when
//  - a cleaned or trimmed text is not a part of the text it came from, or
//    still has the characters it was cleaned of at either end;
//  - a field holds the separator or white space at its ends, or is not the
//    part of the list between two separators;
//  - the fields of SeparatedField, put together again, are not the text;
//  - SplitList and GetListField disagree, or SplitList's list does not end
//    inside its buffer.
//
// Input: a field number, a counted echo text, then the answer or list.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "serial/answer_text.h"
#include "tests/fuzz/support/fuzz_check.h"
#include "tests/fuzz/support/fuzz_script.h"
#include "transfer/listing_field.h"

namespace {

using fuzz::Check;

constexpr const char* kAnswerBlanks = " \t\r\n";
constexpr const char* kWhiteSpace = " \t\n\v\f\r";

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool Within(const std::string& whole, const std::string& part) {
    return whole.find(part) != std::string::npos;
}

// No character of set at either end of text.
bool EndsFree(const std::string& text, std::string_view set) {
    return text.empty() || (set.find(text.front()) == std::string_view::npos &&
                            set.find(text.back()) == std::string_view::npos);
}

void CheckClean(const std::string& echo, const std::string& answer) {
    std::string out;
    CleanAnswer(echo, answer, &out);
    Check(Within(answer, out), "a cleaned answer is part of the answer");
    Check(EndsFree(out, kAnswerBlanks), "a cleaned answer has no blanks at its ends");

    for (const char* set : {kAnswerBlanks, " \"", "x"}) {
        std::string text = answer;
        Trim(text, set);
        Check(Within(answer, text), "a trimmed text is part of the text");
        Check(EndsFree(text, set), "a trimmed text has none of the set at its ends");
        std::string again = text;
        Check(Trim(again, set) == text, "trimming twice changes nothing");
    }
}

// Field index of a comma list the way GetListField describes it: only the
// first white-space character at the start of a field survives, as a blank;
// an empty field ends the walk; white space around the field is removed.
std::string ExpectedListField(const std::string& list, int index) {
    if (list.find('\0') != std::string::npos) {
        return ExpectedListField(list.substr(0, list.find('\0')), index);
    }
    if (list.size() > kSplitListBufferSize - 2) {
        return {};
    }
    int n = 0;
    std::string field;
    bool start = true;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == ',') {
            if (field.empty()) {
                return {};
            }
            if (n == index) {
                const std::size_t first = field.find_first_not_of(kWhiteSpace);
                if (first == std::string::npos) {
                    return {};
                }
                return field.substr(first, field.find_last_not_of(kWhiteSpace) - first + 1);
            }
            ++n;
            field.clear();
            start = true;
        } else if (IsSpace(list[i])) {
            if (start) {
                field += ' ';
                start = false;
            }
        } else {
            field += list[i];
        }
    }
    return {};
}

void CheckLists(const std::string& list, int index) {
    const char* buffer = SplitList(list.c_str());
    std::size_t at = 0;
    int fields = 0;
    while (buffer[at] != '\0') {
        const std::size_t length = std::strlen(buffer + at);
        Check(std::memchr(buffer + at, ',', length) == nullptr, "a split field holds no comma");
        at += length + 1;
        Check(at < kSplitListBufferSize, "the split list ends inside its buffer");
        ++fields;
    }
    std::string out = "(before)";
    GetListField(list, index, &out);
    Check(out == ExpectedListField(list, index),
          "GetListField gives the field between two commas, white space cut");
    if (index >= fields) {
        Check(out.empty(), "a field past the last is empty");
    }

    const std::string field = ListingField(list, index);
    Check(field.find(',') == std::string::npos, "a listing field holds no comma");
    Check(EndsFree(field, kWhiteSpace), "a listing field has no white space at its ends");
    const std::string_view raw = SeparatedField(list, ',', index);
    Check(std::string(raw).find(field) != std::string::npos,
          "a listing field is part of its separated field");

    std::string joined;
    for (int i = 0;; ++i) {
        const std::string_view part = SeparatedField(list, ',', i);
        joined += part;
        if (joined.size() >= list.size()) {
            break;
        }
        joined += ',';
        Check(i < static_cast<int>(list.size()) + 1, "a list has no more fields than separators");
    }
    Check(joined == list, "the separated fields put together are the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Script script(data, size);
    const int index = script.Byte() % 12;
    const std::string echo = script.Counted();
    const std::string text = script.Rest();
    CheckClean(echo, text);
    CheckLists(text, index);
    return 0;
}

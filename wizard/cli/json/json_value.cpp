#include "wizard/cli/json/json_value.h"

#include <charconv>

#include "wizard/cli/json/json_escapes.h"

namespace cli::json {

const Value* Value::Find(std::string_view key) const {
    for (const auto& [name, member] : members_) {
        if (name == key) {
            return &member;
        }
    }
    return nullptr;
}

std::string Value::String(std::string_view key, const std::string& fallback) const {
    const Value* member = Find(key);
    return member != nullptr && member->type_ == Type::kString ? member->text_ : fallback;
}

double Value::Number(std::string_view key, double fallback) const {
    const Value* member = Find(key);
    return member != nullptr && member->type_ == Type::kNumber ? member->number_ : fallback;
}

void Value::Set(const std::string& key, Value value) {
    for (auto& [name, member] : members_) {
        if (name == key) {
            member = std::move(value);
            return;
        }
    }
    members_.emplace_back(key, std::move(value));
}

Value Value::MakeString(std::string text) {
    Value value;
    value.type_ = Type::kString;
    value.text_ = std::move(text);
    return value;
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool Document(Value* value, std::string* why) {
        SkipBlanks();
        if (!Parse(value, 0)) {
            *why = error_ + " at offset " + std::to_string(at_);
            return false;
        }
        SkipBlanks();
        if (at_ != text_.size()) {
            *why = "text after the value at offset " + std::to_string(at_);
            return false;
        }
        return true;
    }

  private:
    static constexpr int kMaxDepth = 64;

    bool Fail(const char* what) {
        if (error_.empty()) {
            error_ = what;
        }
        return false;
    }
    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) {
            ++at_;
        }
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return Fail("unknown word");
        }
        at_ += word.size();
        return true;
    }

    bool Parse(Value* value, int depth) {
        if (depth > kMaxDepth) {
            return Fail("nested too deeply");
        }
        switch (Peek()) {
            case '{':
                return ParseObject(value, depth);
            case '[':
                return ParseArray(value, depth);
            case '"':
                value->type_ = Value::Type::kString;
                return ParseString(&value->text_);
            case 't':
                value->type_ = Value::Type::kBool;
                value->boolean_ = true;
                return Word("true");
            case 'f':
                value->type_ = Value::Type::kBool;
                value->boolean_ = false;
                return Word("false");
            case 'n':
                value->type_ = Value::Type::kNull;
                return Word("null");
            default:
                return ParseNumber(value);
        }
    }

    // The items of an object or array, its opening bracket under the cursor.
    template <typename Item>
    bool List(char close, const Item& item) {
        ++at_;
        SkipBlanks();
        if (Peek() == close) {
            ++at_;
            return true;
        }
        for (;;) {
            if (!item()) {
                return false;
            }
            SkipBlanks();
            if (Peek() == ',') {
                ++at_;
                SkipBlanks();
            } else if (Peek() == close) {
                ++at_;
                return true;
            } else {
                return Fail(close == '}' ? "expected ',' or '}'" : "expected ',' or ']'");
            }
        }
    }

    bool ParseObject(Value* value, int depth) {
        value->type_ = Value::Type::kObject;
        return List('}', [&] {
            std::string key;
            if (Peek() != '"' || !ParseString(&key)) {
                return Fail("expected a member name");
            }
            SkipBlanks();
            if (Peek() != ':') {
                return Fail("expected ':'");
            }
            ++at_;
            SkipBlanks();
            Value member;
            if (!Parse(&member, depth + 1)) {
                return false;
            }
            value->members_.emplace_back(std::move(key), std::move(member));
            return true;
        });
    }

    bool ParseArray(Value* value, int depth) {
        value->type_ = Value::Type::kArray;
        return List(']', [&] {
            Value item;
            if (!Parse(&item, depth + 1)) {
                return false;
            }
            value->items_.push_back(std::move(item));
            return true;
        });
    }

    bool Hex4(unsigned* code) {
        if (text_.size() - at_ < 4) {
            return Fail("short \\u escape");
        }
        *code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            unsigned digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<unsigned>(c - 'A' + 10);
            } else {
                return Fail("bad \\u escape");
            }
            *code = *code * 16 + digit;
        }
        return true;
    }

    // The character a backslash and letter stand for, or nullptr.
    static const char* Named(char letter) {
        for (const NamedEscape& escape : kNamedEscapes) {
            if (escape.letter == letter) {
                return &escape.character;
            }
        }
        return nullptr;
    }

    static void AppendUtf8(std::string* out, unsigned code) {
        if (code < 0x80) {
            out->push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            out->push_back(static_cast<char>(0xC0 | (code >> 6)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out->push_back(static_cast<char>(0xE0 | (code >> 12)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            out->push_back(static_cast<char>(0xF0 | (code >> 18)));
            out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }

    bool ParseString(std::string* out) {
        ++at_;  // the opening quote
        for (;;) {
            if (AtEnd()) {
                return Fail("unterminated string");
            }
            const char c = text_[at_++];
            if (c == '"') {
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("control character in a string");
            }
            if (c != '\\') {
                out->push_back(c);
                continue;
            }
            if (AtEnd()) {
                return Fail("unterminated string");
            }
            const char escape = text_[at_++];
            if (escape == '/') {
                out->push_back('/');  // allowed, though nobody needs it
                continue;
            }
            if (const char* named = Named(escape)) {
                out->push_back(*named);
                continue;
            }
            if (escape != 'u') {
                return Fail("unknown escape");
            }
            unsigned code;
            if (!Hex4(&code)) {
                return false;
            }
            if (code >= 0xD800 && code <= 0xDBFF && text_.substr(at_, 2) == "\\u") {
                const std::size_t mark = at_;
                at_ += 2;
                unsigned low;
                if (!Hex4(&low)) {
                    return false;
                }
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else {
                    at_ = mark;  // not a pair: the next escape stands alone
                }
            }
            // A surrogate left alone has no UTF-8 form.
            AppendUtf8(out, code >= 0xD800 && code <= 0xDFFF ? 0xFFFD : code);
        }
    }

    bool ParseNumber(Value* value) {
        const std::size_t start = at_;
        auto digits = [&] {
            const std::size_t from = at_;
            while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
                ++at_;
            }
            return at_ > from;
        };
        if (Peek() == '-') {
            ++at_;
        }
        if (Peek() == '0') {
            ++at_;
        } else if (!digits()) {
            return Fail("expected a value");
        }
        if (Peek() == '.') {
            ++at_;
            if (!digits()) {
                return Fail("expected digits after '.'");
            }
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') {
                ++at_;
            }
            if (!digits()) {
                return Fail("expected an exponent");
            }
        }
        value->type_ = Value::Type::kNumber;
        value->text_ = std::string(text_.substr(start, at_ - start));
        // from_chars ignores the locale, unlike strtod.
        const char* first = value->text_.data();
        std::from_chars(first, first + value->text_.size(), value->number_);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

bool Parse(std::string_view text, Value* value, std::string* why) {
    *value = Value();
    Parser parser(text);
    return parser.Document(value, why);
}

}  // namespace cli::json

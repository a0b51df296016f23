#include "wizard/cli/json/json_writer.h"

#include <cmath>
#include <cstdio>

#include "wizard/cli/json/json_escapes.h"
#include "wizard/cli/json/json_value.h"

namespace cli::json {
namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when the byte
// there starts none.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

void AppendString(std::string* out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out->push_back('"');
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            *out += "\\ufffd";
            ++at;
            continue;
        }
        if (length > 1) {
            out->append(text.substr(at, length));
            at += length;
            continue;
        }
        ++at;
        const NamedEscape* named = nullptr;
        for (const NamedEscape& escape : kNamedEscapes) {
            if (escape.character == static_cast<char>(c)) {
                named = &escape;
                break;
            }
        }
        if (named != nullptr) {
            out->push_back('\\');
            out->push_back(named->letter);
        } else if (c < 0x20 || c == 0x7F) {
            *out += "\\u00";
            out->push_back(kHex[c >> 4]);
            out->push_back(kHex[c & 0x0F]);
        } else {
            out->push_back(static_cast<char>(c));
        }
    }
    out->push_back('"');
}

std::string Quote(std::string_view text) {
    std::string out;
    AppendString(&out, text);
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

void Object::Key(const char* key) {
    if (text_.size() > 1) {
        text_ += ',';
    }
    text_ += '"';
    text_ += key;
    text_ += "\":";
}

Object& Object::String(const char* key, std::string_view text) {
    Key(key);
    AppendString(&text_, text);
    return *this;
}

Object& Object::Number(const char* key, long long number) {
    Key(key);
    text_ += std::to_string(number);
    return *this;
}

Object& Object::Decimal(const char* key, double number, int places) {
    Key(key);
    if (!std::isfinite(number)) {
        text_ += "null";  // JSON has no infinities
        return *this;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", places, number);
    text_ += buffer;
    return *this;
}

Object& Object::Bool(const char* key, bool value) {
    Key(key);
    text_ += value ? "true" : "false";
    return *this;
}

Object& Object::Null(const char* key) {
    Key(key);
    text_ += "null";
    return *this;
}

Object& Object::StringOrNull(const char* key, std::string_view text) {
    return text.empty() ? Null(key) : String(key, text);
}

Object& Object::Strings(const char* key, const std::vector<std::string>& texts) {
    Key(key);
    text_ += '[';
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            text_ += ',';
        }
        AppendString(&text_, texts[i]);
    }
    text_ += ']';
    return *this;
}

Object& Object::Raw(const char* key, std::string_view json) {
    Key(key);
    text_.append(json);
    return *this;
}

std::string Array(const std::vector<Object>& objects) {
    std::string text = "[";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        text += (i > 0 ? "," : "") + objects[i].Text();
    }
    return text + "]";
}

std::string Serialize(const Value& value) {
    switch (value.type()) {
        case Value::Type::kNull:
            return "null";
        case Value::Type::kBool:
            return value.AsBool() ? "true" : "false";
        case Value::Type::kNumber:
            return value.AsText();
        case Value::Type::kString:
            return Quote(value.AsText());
        case Value::Type::kArray: {
            std::string text = "[";
            for (const Value& item : value.Items()) {
                text += (text.size() > 1 ? "," : "") + Serialize(item);
            }
            return text + "]";
        }
        case Value::Type::kObject: {
            std::string text = "{";
            for (const auto& [key, member] : value.Members()) {
                if (text.size() > 1) {
                    text += ',';
                }
                AppendString(&text, key);
                text += ':' + Serialize(member);
            }
            return text + "}";
        }
    }
    return "null";
}

}  // namespace cli::json

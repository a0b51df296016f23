// Writing JSON: strings escaped byte by byte and objects built field by
// field, for the one-line events of wizard-cli --json.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cli::json {

class Value;

// Appends text as a JSON string, quotes included. Quote, backslash, every
// control character and DEL are escaped; valid UTF-8 passes unchanged; a
// byte that is not part of valid UTF-8 (a modem may send any byte) becomes
// U+FFFD, so the result is always valid UTF-8 and valid JSON.
void AppendString(std::string* out, std::string_view text);

// text as a JSON string.
std::string Quote(std::string_view text);

// True when text is valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view text);

// A JSON object, built in the order the fields are added. Keys are plain
// ASCII names of our own and are written as they stand.
class Object {
  public:
    Object& String(const char* key, std::string_view text);
    Object& Number(const char* key, long long number);
    // A decimal fraction with the given number of places ("12.50").
    Object& Decimal(const char* key, double number, int places);
    Object& Bool(const char* key, bool value);
    Object& Null(const char* key);
    // A string, or null when text is empty.
    Object& StringOrNull(const char* key, std::string_view text);
    Object& Strings(const char* key, const std::vector<std::string>& texts);
    // A value that is JSON text already (an object or array built here).
    Object& Raw(const char* key, std::string_view json);

    // The object's text, "{...}", without line end.
    std::string Text() const { return text_ + "}"; }

  private:
    void Key(const char* key);

    std::string text_ = "{";
};

// Values as JSON text: an array of objects, and a value read back (the
// reader keeps what it read, so events pass through unchanged in meaning).
std::string Array(const std::vector<Object>& objects);
std::string Serialize(const Value& value);

}  // namespace cli::json

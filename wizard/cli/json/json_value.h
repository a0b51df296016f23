// Reading JSON: one value parsed from text, kept as a small tree. The
// --all flow reads its children's events with it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli::json {

class Value {
  public:
    enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };

    Type type() const { return type_; }
    bool IsObject() const { return type_ == Type::kObject; }

    bool AsBool() const { return boolean_; }
    double AsNumber() const { return number_; }
    // A string's text (UTF-8); a number's text as it was written.
    const std::string& AsText() const { return text_; }
    const std::vector<Value>& Items() const { return items_; }
    const std::vector<std::pair<std::string, Value>>& Members() const { return members_; }

    // The member of an object, or nullptr.
    const Value* Find(std::string_view key) const;
    // A member's string, or fallback when it is missing or no string.
    std::string String(std::string_view key, const std::string& fallback = "") const;
    // A member's number, or fallback when it is missing or no number.
    double Number(std::string_view key, double fallback = 0) const;
    // Sets (or adds) an object's member.
    void Set(const std::string& key, Value value);

    static Value MakeString(std::string text);

  private:
    friend class Parser;

    Type type_ = Type::kNull;
    bool boolean_ = false;
    double number_ = 0;
    std::string text_;
    std::vector<Value> items_;
    std::vector<std::pair<std::string, Value>> members_;
};

// Parses text that holds exactly one JSON value (white space around it
// allowed). False, with *why, when it is not valid JSON or nests deeper
// than 64 levels.
bool Parse(std::string_view text, Value* value, std::string* why);

}  // namespace cli::json

// Reading Wizard.inf: an INI file read with the private-profile rules.
//
// - Lines end with LF, CR LF or CR. Blanks around a line are ignored, and
//   so are empty lines and lines that begin with ';'.
// - "[name]" starts a section. Section and key names are compared without
//   regard to case; when a name occurs twice, the first occurrence is used.
// - "key=value": the key is the text before the first '=', the value the
//   text after it, both without surrounding blanks.
// - A value longer than 255 characters is refused, never cut.
// - The file is only read, never written. Any bytes are accepted: lines
//   that follow none of these forms are ignored and reported as problems.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct IniEntry {
    std::string key;
    std::string value;  // may be longer than kMaxIniValueLength; see IniValue
    int line = 0;
};

struct IniSection {
    std::string name;
    int line = 0;
    std::vector<IniEntry> entries;
};

// A line that was ignored, and why.
struct IniProblem {
    int line = 0;
    std::string text;
};

// The longest value a read gives: values fill 256-byte buffers.
constexpr std::size_t kMaxIniValueLength = 255;

// The result of looking up one key.
struct IniValue {
    enum State { kAbsent, kPresent, kTooLong };
    State state = kAbsent;
    std::string text;  // the value when present; empty otherwise
    int line = 0;      // where the key stands (0 when absent)

    bool present() const { return state == kPresent; }
    // The value, or fallback when the key is absent. A refused (too long)
    // value gives the empty text: callers that must tell check state.
    std::string Or(const std::string& fallback) const { return state == kAbsent ? fallback : text; }
};

class IniFile {
  public:
    enum class Status { kRead, kMissing, kUnreadable, kTooLarge };

    // Larger files are refused as a whole: no Wizard.inf is near this size,
    // and a device or a huge file named by mistake must not be read forever.
    static constexpr std::size_t kMaxFileSize = 1024 * 1024;

    // An empty file (no sections), as a missing file reads.
    IniFile() = default;

    // Reads a file. A missing or unreadable file reads as an empty file;
    // status() tells which.
    static IniFile Read(const std::string& path);
    // Reads the contents of a file.
    static IniFile Parse(const std::string& bytes);

    Status status() const { return status_; }
    // What status() means, in words ("file not found", ...).
    std::string StatusText() const;

    // Every section in file order, duplicates included.
    const std::vector<IniSection>& Sections() const { return sections_; }
    // Lines that were ignored.
    const std::vector<IniProblem>& Problems() const { return problems_; }

    // The first section of that name, or null.
    const IniSection* FindSection(const std::string& name) const;
    // The first key of that name in the first section of that name.
    IniValue Get(const std::string& section, const std::string& key) const;

  private:
    void ParseLine(const std::string& line, int number);
    void Problem(int line, const std::string& text);

    Status status_ = Status::kRead;
    std::vector<IniSection> sections_;
    std::vector<IniProblem> problems_;
    // Index of the section that takes the next keys; -1 before the first
    // section and after a broken section header.
    long current_ = -1;
};

// The integer of a value as the private-profile integer read takes it:
// optional sign, then decimal digits up to the first other character; no
// digits give 0, a negative number gives 0, and a number above the int
// range gives the largest int. Returns true when text is exactly a
// non-negative decimal number within range (nothing was guessed).
bool ParseProfileInt(const std::string& text, int* value);

// The modem's file store, kept in a directory of the host system: the
// stored files are the directory's regular files (names starting with a dot
// excepted), their listing fields live in a side file, .modemsim-attrs, one
// line "name,field1,attributes" per file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modemsim {

struct StoredFile {
    std::string name;
    std::string field1 = "1";
    std::string attributes;  // attribute letters, each once, e.g. "HS"
    std::uint64_t size = 0;

    bool Has(char attribute) const { return attributes.find(attribute) != std::string::npos; }
    // The attribute letters as the listing shows them: "H S".
    std::string AttributeField() const;
};

class FileStore {
  public:
    static constexpr const char* kAttributesFile = ".modemsim-attrs";
    static constexpr std::size_t kMaxNameLength = 64;

    explicit FileStore(std::string dir) : dir_(std::move(dir)) {}

    // Creates the directory when missing.
    bool Prepare(std::string* error);
    const std::string& Dir() const { return dir_; }

    // Stored files, sorted by name.
    std::vector<StoredFile> List(std::string* error) const;
    bool Find(const std::string& name, StoredFile* file) const;
    bool Read(const std::string& name, std::string* data, std::string* error) const;
    // Stores data under name (replacing a file of that name), with its
    // listing fields. The file appears whole or not at all.
    bool Put(const std::string& name, const std::string& data, const std::string& field1,
             const std::string& attributes, std::string* error);
    // False when there is no such file.
    bool Remove(const std::string& name, std::string* error);
    // Deletes every stored file and its fields; returns how many went.
    std::size_t Clear(std::string* error);

    // A name the store accepts: printable, no path separators, commas or
    // quotes (they would break the listing or the commands), no leading dot.
    static bool ValidName(const std::string& name);
    // The attribute letters of a text such as "H S", "HS" or "H,S":
    // upper-cased, each once. False when it holds anything but letters and
    // separators.
    static bool ParseAttributes(const std::string& text, std::string* letters);

  private:
    struct Fields {
        std::string field1;
        std::string attributes;
    };
    std::vector<std::pair<std::string, Fields>> LoadFields() const;
    bool SaveFields(const std::vector<std::pair<std::string, Fields>>& fields,
                    std::string* error) const;
    std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
};

}  // namespace modemsim

// User texts in the user's language: a module's texts are looked up by
// numeric id in its own table of English texts, and the English text is
// translated through the module's gettext catalogue (text domain).
//
// Catalogues are compiled gettext files at
//   <locale dir>/<language>/LC_MESSAGES/<domain>.mo
// and are read here directly, so the language does not depend on which
// system locales happen to be installed.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct TextEntry {
    int id;
    const char* english;
};

// The languages the user asks for, best first, from LANGUAGE (a colon
// list), then the user's locale (see platform/user_locale.h), in gettext's
// order of precedence.
// "de_DE.UTF-8@euro" yields "de_DE" and then "de".
std::vector<std::string> PreferredLanguages();

// Where the catalogues are: "locale" beside the module (program or plug-in)
// that holds this code, or beside the program when the module has none,
// unless WIZARD_LOCALE_DIR names another directory.
std::string DefaultLocaleDirectory();

// A module's text table with its catalogue.
class TextCatalog {
  public:
    TextCatalog(std::string domain, const TextEntry* entries, std::size_t count);

    // The text of an id in the user's language, or the English text when
    // the catalogue has none; an unknown id gives the empty text. The
    // reference stays valid for the life of the catalog.
    const std::string& Load(int id);
    // The English text of an id (nullptr for an unknown id).
    const char* English(int id) const;
    // Translates any English text of this domain.
    const std::string& Translate(const char* english);

    const std::string& domain() const { return domain_; }
    // Reloads the catalogue for the given languages (tests, language change).
    void UseLanguages(const std::vector<std::string>& languages,
                      const std::string& localeDirectory);

  private:
    void EnsureLoaded();

    std::string domain_;
    const TextEntry* entries_;
    std::size_t count_;
    bool loaded_ = false;
    struct Catalogue;
    std::shared_ptr<Catalogue> catalogue_;
    std::vector<std::shared_ptr<Catalogue>> retired_;
    std::mutex mutex_;
};

// Reads a compiled catalogue (.mo): original text -> translation. Returns
// false when the file is missing or malformed (nothing is then read).
bool ReadMessageCatalogue(const std::string& path,
                          std::vector<std::pair<std::string, std::string>>* messages);

}  // namespace platform

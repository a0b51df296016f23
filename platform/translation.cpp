#include "platform/translation.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "platform/module_path.h"
#include "platform/paths.h"
#include "platform/user_locale.h"

namespace platform {

struct TextCatalog::Catalogue {
    std::unordered_map<std::string, std::string> translations;
    // Texts handed out, by English text; references into it stay valid.
    std::unordered_map<std::string, std::string> byText;
};

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kMagicSwapped = 0xde120495;

std::uint32_t Swap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24);
}

// Language tags from one variable's value: "de_DE.UTF-8@euro" gives
// "de_DE" and "de"; "C" and "POSIX" give nothing.
void AddLanguage(const std::string& value, std::vector<std::string>* out) {
    std::string tag = value.substr(0, value.find_first_of(".@"));
    if (tag.empty() || tag == "C" || tag == "POSIX") {
        return;
    }
    auto add = [out](const std::string& t) {
        for (const std::string& have : *out) {
            if (have == t) {
                return;
            }
        }
        out->push_back(t);
    };
    add(tag);
    std::size_t underscore = tag.find('_');
    if (underscore != std::string::npos) {
        add(tag.substr(0, underscore));
    }
}

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return (value != nullptr && *value != '\0') ? value : nullptr;
}

}  // namespace

std::vector<std::string> PreferredLanguages() {
    std::vector<std::string> languages;
    const std::string localeTag = UserLocaleName();
    if (const char* list = Env("LANGUAGE")) {
        std::string rest = list;
        while (!rest.empty()) {
            std::size_t colon = rest.find(':');
            AddLanguage(rest.substr(0, colon), &languages);
            rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
        }
    }
    AddLanguage(localeTag, &languages);
    return languages;
}

std::string DefaultLocaleDirectory() {
    if (const char* dir = Env("WIZARD_LOCALE_DIR")) {
        return dir;
    }
    static const int anchor = 0;
    std::string module = ModuleDirectory(&anchor);
    const std::string beside =
        (module.empty() ? std::string(".") : module) + kPathSeparator + "locale";
    // A plug-in copied beside a Wizard.inf (Windows links are copies) has
    // no catalogues of its own there: the program's are the same build's.
    std::error_code error;
    if (!std::filesystem::is_directory(beside, error)) {
        const std::string program = ProgramDirectory() + kPathSeparator + "locale";
        if (std::filesystem::is_directory(program, error)) {
            return program;
        }
    }
    return beside;
}

bool ReadMessageCatalogue(const std::string& path,
                          std::vector<std::pair<std::string, std::string>>* messages) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 28) {
        return false;
    }
    auto word = [&data](std::size_t at, bool swap, std::uint32_t* value) {
        if (at + 4 > data.size()) {
            return false;
        }
        std::uint32_t v;
        std::memcpy(&v, data.data() + at, 4);
        *value = swap ? Swap(v) : v;
        return true;
    };
    std::uint32_t magic = 0;
    word(0, false, &magic);
    if (magic != kMagic && magic != kMagicSwapped) {
        return false;
    }
    const bool swap = magic == kMagicSwapped;
    std::uint32_t count = 0, originals = 0, translations = 0;
    if (!word(8, swap, &count) || !word(12, swap, &originals) || !word(16, swap, &translations)) {
        return false;
    }
    auto text = [&](std::uint32_t table, std::uint32_t index, std::string* out) {
        std::uint32_t length = 0, offset = 0;
        std::size_t entry = static_cast<std::size_t>(table) + static_cast<std::size_t>(index) * 8;
        if (!word(entry, swap, &length) || !word(entry + 4, swap, &offset)) {
            return false;
        }
        if (static_cast<std::size_t>(offset) + length > data.size()) {
            return false;
        }
        out->assign(data.data() + offset, length);
        return true;
    };
    std::vector<std::pair<std::string, std::string>> read;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string original, translation;
        if (!text(originals, i, &original) || !text(translations, i, &translation)) {
            return false;
        }
        read.emplace_back(std::move(original), std::move(translation));
    }
    *messages = std::move(read);
    return true;
}

TextCatalog::TextCatalog(std::string domain, const TextEntry* entries, std::size_t count)
    : domain_(std::move(domain)), entries_(entries), count_(count) {}

void TextCatalog::UseLanguages(const std::vector<std::string>& languages,
                               const std::string& localeDirectory) {
    auto catalogue = std::make_shared<Catalogue>();
    for (const std::string& language : languages) {
        std::vector<std::pair<std::string, std::string>> messages;
        if (ReadMessageCatalogue(
                localeDirectory + "/" + language + "/LC_MESSAGES/" + domain_ + ".mo", &messages)) {
            for (auto& [original, translation] : messages) {
                // The header entry, plural forms and empty (untranslated) entries are not texts of
                // ours.
                if (!original.empty() && !translation.empty() &&
                    original.find('\0') == std::string::npos) {
                    catalogue->translations.emplace(std::move(original), std::move(translation));
                }
            }
            break;
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (catalogue_) {
        retired_.push_back(catalogue_);  // texts handed out from it stay valid
    }
    catalogue_ = std::move(catalogue);
    loaded_ = true;
}

void TextCatalog::EnsureLoaded() {
    bool loaded;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        loaded = loaded_;
    }
    if (!loaded) {
        UseLanguages(PreferredLanguages(), DefaultLocaleDirectory());
    }
}

const char* TextCatalog::English(int id) const {
    for (std::size_t i = 0; i < count_; ++i) {
        if (entries_[i].id == id) {
            return entries_[i].english;
        }
    }
    return nullptr;
}

const std::string& TextCatalog::Translate(const char* english) {
    EnsureLoaded();
    std::lock_guard<std::mutex> lock(mutex_);
    auto cached = catalogue_->byText.find(english);
    if (cached != catalogue_->byText.end()) {
        return cached->second;
    }
    auto found = catalogue_->translations.find(english);
    const std::string& text =
        found != catalogue_->translations.end() ? found->second : std::string(english);
    return catalogue_->byText.emplace(english, text).first->second;
}

const std::string& TextCatalog::Load(int id) {
    const char* english = English(id);
    static const std::string empty;
    return english == nullptr ? empty : Translate(english);
}

}  // namespace platform

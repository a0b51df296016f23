#include "plugins/flash/flash_texts.h"

#include <cstdio>

// Marks texts for the catalogue template (xgettext --keyword=N_).
#define N_(text) text

namespace flinta {
namespace {

const platform::TextEntry kTexts[] = {
    {IDS_LOADING_FIRMWARE, N_("Loading firmware to modem (%d %% complete ")},
    {IDS_INIT_ERROR,
     N_("An error has occurred during the initialization of the modem.\rPlease check the "
        "connections to your modem\rand ensure that the modem is switched on.\rNext, restart "
        "the wizard.")},
    {IDS_PLEASE_WAIT, N_("Please wait ...")},
    {IDS_FILE_OF_FILES, N_("file %d of %d)")},
};

// True when format holds exactly `wanted` "%d" conversions and otherwise
// only "%%": a translation that does not is not handed to snprintf.
bool HasIntConversions(const std::string& format, int wanted) {
    int found = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            ++i;
        } else if (i + 1 < format.size() && format[i + 1] == 'd') {
            ++found;
            ++i;
        } else {
            return false;
        }
    }
    return found == wanted;
}

std::string FileOfFiles(const std::string& format, int file, int files) {
    char text[256];
    std::snprintf(text, sizeof text, format.c_str(), file, files);
    return text;
}

}  // namespace

platform::TextCatalog& Texts() {
    static platform::TextCatalog catalog("flinta_plugin", kTexts, sizeof kTexts / sizeof kTexts[0]);
    return catalog;
}

std::string LoadingText(int file, int files) {
    std::string head = LoadText(IDS_LOADING_FIRMWARE);
    std::string tail = LoadText(IDS_FILE_OF_FILES);
    if (!HasIntConversions(head, 1) || !HasIntConversions(tail, 2)) {
        head = Texts().English(IDS_LOADING_FIRMWARE);
        tail = Texts().English(IDS_FILE_OF_FILES);
    }
    return head + FileOfFiles(tail, file, files);
}

}  // namespace flinta

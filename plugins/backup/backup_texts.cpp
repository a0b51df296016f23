#include "plugins/backup/backup_texts.h"

// Marks texts for the catalogue template (xgettext --keyword=N_).
#define N_(text) text

namespace backup {
namespace {

const platform::TextEntry kTexts[] = {
    {IDS_STEP_REORGANIZE, N_("Modem memory is being reorganized ...")},
    {IDS_STEP_RESTORE, N_("Files are being restored ...")},
    {IDS_STEP_BACKUP, N_("Files are being backed up ...")},
    {IDS_BACKING_UP_FILE, N_("Backing up file %d of %d ")},
    {IDS_PERCENT_FINISHED, N_("(%d%% finished)")},
    {IDS_DOWNLOAD_ERROR,
     N_("An error has occurred during the file download.\rPlease check the connections to your "
        "modem\rand ensure that the modem is switched on.\rNext, restart the wizard.")},
    {IDS_PLEASE_WAIT, N_("Please wait ...")},
    {IDS_UPLOAD_ERROR,
     N_("An error has occurred during the file upload.\rOne or more files could not be "
        "restored.")},
    {IDS_REORGANIZE_ERROR,
     N_("An error has occurred during the reorganization of the file system.\rPlease check the "
        "connections to your modem\rand ensure that the modem is switched on.\rNext, restart the "
        "wizard.")},
    {IDS_RESTORING_FILE, N_("Restoring file %d of %d ")},
    {IDS_INITIALIZATION_ERROR,
     N_("An error has occurred during the initialization of the modem.\rPlease check the "
        "connections to your modem\rand ensure that the modem is switched on.\rNext, restart the "
        "wizard.")},
};

}  // namespace

platform::TextCatalog& Texts() {
    static platform::TextCatalog catalog("sarnet_plugin", kTexts, sizeof kTexts / sizeof kTexts[0]);
    return catalog;
}

std::string LoadText(int id, std::size_t capacity) {
    const std::string& text = Texts().Load(id);
    if (text.size() < capacity) {
        return text;
    }
    const char* english = Texts().English(id);
    return english != nullptr ? english : std::string();
}

std::string FormatCount(const std::string& format, int first, int second) {
    std::string out;
    int used = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd' && used < 2) {
            out += std::to_string(used == 0 ? first : second);
            ++used;
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            out += "%%";
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

}  // namespace backup

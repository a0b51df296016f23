#include "transfer/transfer_texts.h"

std::string TransferDefaultText(int id) {
    switch (id) {
        case IDS_TRANSFER_UPLOAD:
            return "Uploading %s to the modem ...";
        case IDS_TRANSFER_DOWNLOAD:
            return "Downloading %s from the modem ...";
        default:
            return std::string();
    }
}

std::string FormatWithName(const std::string& format, const std::string& name) {
    std::string text = format;
    std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text;
}

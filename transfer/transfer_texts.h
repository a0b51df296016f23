// The texts of the progress dialog, by their resource ids.
#pragma once

#include <string>

constexpr int IDD_TRANSFER = 2000;
constexpr int IDC_TRANSFER_PROGRESS = 2001;
constexpr int IDC_TRANSFER_TEXT = 2002;
constexpr int IDS_TRANSFER_UPLOAD = 2003;    // one %s: the file name
constexpr int IDS_TRANSFER_DOWNLOAD = 2004;  // one %s: the file name

// The English text of an id; empty for an unknown id.
std::string TransferDefaultText(int id);

// format with its first "%s" replaced by name (the format is a translated
// text: nothing else in it is interpreted).
std::string FormatWithName(const std::string& format, const std::string& name);

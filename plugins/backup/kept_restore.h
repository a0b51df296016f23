// Storing the copies of a kept folder back into the modem, checked against
// a fresh listing: the folder goes only when every file is back.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CSerial;
struct FileEntry;

namespace backup {

struct RestoredFile {
    std::string name;     // as listed (PrintableName for a terminal)
    bool back = false;    // in the modem under its name, with the copy's size
    bool stored = false;  // stored by this restore (not already there)
    std::string problem;  // why it is not back
    std::string note;     // a remark when it is back (length not checked)
};

struct RestoreReport {
    std::vector<RestoredFile> files;
    bool allBack = false;
    bool folderDeleted = false;
    std::string why;  // what stopped the restore before the files (listing, folder)
};

// Called before each file is stored: (file, index from 1, count).
using StoreObserver = std::function<void(const FileEntry&, int, int)>;

// Stores every copy of folder whose file the modem does not hold yet, with
// its listing fields, on port (open, the modem identified). A file already
// held under its name is left as it is. Then a fresh listing decides: a
// file is back when it is listed under its name with the copy's size (or
// without a size, which cannot be checked). When every file is back the
// folder is deleted. False when the restore could not be made or checked
// at all (report->why).
bool RestoreKeptFolder(CSerial* port, const std::string& folder, int* progress,
                       const StoreObserver& observer, RestoreReport* report);

}  // namespace backup

// wizard-cli restore: the copies a failed update kept, stored back into the
// modem's file store with their listing fields, checked against a fresh
// listing; the folder goes only when every file is back.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "plugins/backup/backup_files.h"
#include "plugins/backup/file_entry.h"
#include "plugins/backup/kept_restore.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/port_access.h"

namespace {

constexpr const char* kUsage = "--port DEV [--model NAME] [FOLDER] | --list [--json]";

// What a kept folder holds: the files of its listing, how many of them have
// a copy, and the copies' bytes.
struct FolderContent {
    std::size_t files = 0;
    std::size_t copies = 0;
    std::uintmax_t bytes = 0;
};

FolderContent Content(const std::string& folder) {
    std::vector<std::string> lines;
    backup::ReadKeptListing(folder, &lines);
    FolderContent content;
    content.files = lines.size();
    for (int index = 1; index <= static_cast<int>(lines.size()); ++index) {
        std::error_code error;
        const std::uintmax_t size =
            std::filesystem::file_size(backup::BackupFilePath(folder, index), error);
        if (!error) {
            content.bytes += size;
            ++content.copies;
        }
    }
    return content;
}

std::string Summary(const FolderContent& content) {
    std::string text = std::to_string(content.files) + (content.files == 1 ? " file" : " files");
    if (content.copies != content.files) {
        text += " (" + std::to_string(content.copies) + " with a copy)";
    }
    return text + ", " + std::to_string(content.bytes) + " bytes";
}

int List(bool json) {
    const std::vector<backup::KeptFolder> folders = backup::ListKeptFolders();
    if (json) {
        for (const backup::KeptFolder& folder : folders) {
            const FolderContent content = Content(folder.path);
            cli::Emit(cli::Event("kept-folder", "")
                          .String("path", folder.path)
                          .String("model", folder.model)
                          .Number("files", static_cast<long long>(content.files))
                          .Number("copies", static_cast<long long>(content.copies))
                          .Number("bytes", static_cast<long long>(content.bytes)));
        }
        cli::Emit(cli::Event("result", "")
                      .Number("exit-code", 0)
                      .String("place", backup::KeptFoldersPlace())
                      .Number("folders", static_cast<long long>(folders.size())));
        return 0;
    }
    if (folders.empty()) {
        std::cout << "No kept copies in " << backup::KeptFoldersPlace() << "\n";
        return 0;
    }
    for (const backup::KeptFolder& folder : folders) {
        std::cout << folder.path << "\n    " << folder.model << ": "
                  << Summary(Content(folder.path)) << "\n";
    }
    return 0;
}

int Report(const backup::RestoreReport& report, const std::string& folder) {
    int missing = 0;
    for (const backup::RestoredFile& file : report.files) {
        const std::string name = PrintableName(file.name);
        if (file.back) {
            std::cout << "  " << name << ": "
                      << (file.stored ? "stored back" : "already in the modem")
                      << (file.note.empty() ? "" : "; " + file.note) << "\n";
        } else {
            ++missing;
            std::cout << "  " << name << ": NOT back: " << file.problem << "\n";
        }
    }
    if (report.allBack) {
        if (report.folderDeleted) {
            std::cout << "Every file is back in the modem; " << folder << " was deleted.\n";
            return 0;
        }
        std::cerr << "wizard-cli restore: every file is back in the modem, but " << folder
                  << " could not be deleted\n";
        return 1;
    }
    std::cerr << "wizard-cli restore: " << missing << " of " << report.files.size()
              << " files are not back in the modem; their copies stay in " << folder << "\n";
    return 1;
}

int RunRestore(const std::vector<std::string>& words) {
    cli::Args args(words, {"--port", "--model"}, {"--list", "--json"});
    const bool list = args.Flag("--list");
    const bool json = args.Flag("--json");
    if (!args.ok() || args.Positional().size() > 1 || list == args.Value("--port").has_value() ||
        (list && (args.Value("--model") || !args.Positional().empty())) || (json && !list)) {
        std::cerr << "wizard-cli restore: "
                  << (args.ok() ? "expected --port DEV [--model NAME] [FOLDER], or --list [--json]"
                                : args.error())
                  << "\nUsage: wizard-cli restore " << kUsage << "\n";
        return 2;
    }
    if (list) {
        return List(json);
    }
    CSerial port;
    if (!cli::OpenPortOrReport(port, *args.Value("--port"))) {
        return 1;
    }
    std::string model;
    if (!IdentifyModem(&port, nullptr, &model, nullptr, nullptr)) {
        std::cerr << "wizard-cli restore: no modem answered on " << port.PortName() << "\n";
        return 1;
    }
    std::string folder;
    if (!args.Positional().empty()) {
        folder = args.Positional()[0];
    } else {
        const std::string wanted = args.Value("--model").value_or(model);
        const std::vector<backup::KeptFolder> folders = backup::ListKeptFolders();
        const backup::KeptFolder* newest = backup::NewestKeptFolder(folders, wanted);
        if (newest == nullptr) {
            std::cerr << "wizard-cli restore: no kept copies of the model \"" << wanted << "\" in "
                      << backup::KeptFoldersPlace()
                      << " (wizard-cli restore --list shows them all)\n";
            return 1;
        }
        folder = newest->path;
    }
    std::cout << "Restoring the files kept in " << folder << " to the " << model << " on "
              << port.PortName() << ":\n"
              << std::flush;
    int progress = 0;
    backup::RestoreReport report;
    const bool checked = backup::RestoreKeptFolder(
        &port, folder, &progress,
        [](const FileEntry& file, int index, int count) {
            std::cout << "  [" << index << "/" << count << "] storing " << PrintableName(file.name)
                      << " ...\n"
                      << std::flush;
        },
        &report);
    if (!checked) {
        std::cerr << "wizard-cli restore: " << report.why << "; the copies stay in " << folder
                  << "\n";
        return 1;
    }
    return Report(report, folder);
}

constexpr const char* kHelp =
    R"(Stores the copies that a failed update kept back into the modem's file
store, each with the fields of its listing line. Copies of files the modem
already holds under their name are left alone. A fresh listing then checks
names and sizes; the folder is deleted only when every file is back, and
otherwise stays, with the missing files named and exit status 1.

- `--port DEV`: The modem's port.
- `--model NAME`: Take the newest kept folder of this model; without it,
  of the model the modem reports.
- `FOLDER`: A kept folder to store back instead of the newest one.
- `--list`: Show the kept folders with the model, the number of copies and
  their bytes.
- `--json`: With `--list`, one `kept-folder` event per folder, then a
  `result` (docs/json-events.md).

    wizard-cli restore --list
    wizard-cli restore --port /dev/ttyUSB0
)";

}  // namespace

REGISTER_CLI_COMMAND("restore", kUsage,
                     "store the copies a failed update kept back into the modem's file store",
                     &RunRestore, kHelp);

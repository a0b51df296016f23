// wizard-cli models: every model section of Wizard.inf with the settings
// the wizard resolves from it, and a warning for each problem found.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>

#include "platform/paths.h"
#include "plugin_api/upload_settings.h"
#include "wizard/cli/args.h"
#include "wizard/cli/command.h"
#include "wizard/cli/config_option.h"
#include "wizard/cli/json_events.h"
#include "wizard/cli/plugin_probe.h"
#include "wizard/engine/brand_check.h"
#include "wizard/engine/common_settings.h"
#include "wizard/engine/config_keys.h"
#include "wizard/engine/firmware_header.h"
#include "wizard/engine/ini_file.h"
#include "wizard/engine/model_list.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/port_list.h"
#include "wizard/engine/upload_settings_builder.h"

namespace {

// Where the values start, after the indented label.
constexpr std::size_t kValueColumn = 20;

// The explanation, as text or (--json) as one event per part: "config",
// "common", then one "model" per section, each with its settings (label ->
// text) and warnings.
class Report {
  public:
    explicit Report(bool json) : json_(json) {}

    // A new part: kind names its event, heading is its text title.
    void Part(const char* kind, const std::string& heading, const std::string& name, int line) {
        Flush();
        if (!json_) {
            std::cout << "\n" << heading << "\n";
            return;
        }
        kind_ = kind;
        name_ = name;
        line_ = line;
    }
    void Line(const std::string& label, const std::string& text) {
        if (json_) {
            settings_.emplace_back(label, text);
            return;
        }
        std::string head = "  " + label + ":";
        head.resize(std::max(head.size() + 1, kValueColumn), ' ');
        std::cout << head << text << "\n";
    }
    void Warn(const std::string& text) {
        ++warnings_;
        if (json_) {
            partWarnings_.push_back(text);
            return;
        }
        std::cout << "  warning: " << text << "\n";
    }
    int warnings() const { return warnings_; }

    // The last part's event, when there is one waiting.
    void Flush() {
        if (!json_ || kind_ == nullptr) {
            return;
        }
        cli::json::Object settings;
        for (const auto& [label, text] : settings_) {
            settings.String(label.c_str(), text);
        }
        cli::json::Object event = cli::Event(kind_, "");
        if (!name_.empty()) {
            event.String("name", name_);
        }
        if (line_ > 0) {
            event.Number("line", line_);
        }
        cli::Emit(event.Raw("settings", settings.Text()).Strings("warnings", partWarnings_));
        kind_ = nullptr;
        settings_.clear();
        partWarnings_.clear();
    }

  private:
    bool json_;
    int warnings_ = 0;
    const char* kind_ = nullptr;
    std::string name_;
    int line_ = 0;
    std::vector<std::pair<std::string, std::string>> settings_;
    std::vector<std::string> partWarnings_;
};

// A configuration text for the terminal: control bytes as \xNN.
std::string Show(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0x0F];
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string Quoted(const std::string& text) {
    return "\"" + Show(text) + "\"";
}

std::string ValueText(const IniValue& value) {
    switch (value.state) {
        case IniValue::kAbsent:
            return "<not set>";
        case IniValue::kTooLong:
            return "<longer than " + std::to_string(kMaxIniValueLength) + " characters>";
        case IniValue::kPresent:
            break;
    }
    return value.text.empty() ? "<empty>" : Show(value.text);
}

void WarnTooLong(Report& report, const char* key, const IniValue& value, const char* effect) {
    if (value.state == IniValue::kTooLong) {
        report.Warn(std::string(key) + " (line " + std::to_string(value.line) +
                    ") is longer than " + std::to_string(kMaxIniValueLength) +
                    " characters and is refused: " + effect);
    }
}

// Keys nobody reads, and keys given twice (only the first counts).
void KeyWarnings(Report& report, const IniSection& section,
                 std::initializer_list<const char*> known) {
    const auto& entries = section.entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IniEntry& entry = entries[i];
        bool isKnown = std::any_of(known.begin(), known.end(),
                                   [&](const char* key) { return EqualsNoCase(entry.key, key); });
        if (!isKnown) {
            report.Warn("unknown key " + Quoted(entry.key) + " (line " +
                        std::to_string(entry.line) + ") is ignored");
            continue;
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (EqualsNoCase(entries[j].key, entry.key)) {
                report.Warn(Show(entry.key) + " is given again at line " +
                            std::to_string(entry.line) + "; the first, at line " +
                            std::to_string(entries[j].line) + ", is used");
                break;
            }
        }
    }
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool LooksLikeIntelHex(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in.get() == ':';
}

void ExplainCommon(Report& report, const IniFile& ini) {
    const IniSection* common = ini.FindSection(kCommonSection);
    report.Part("common", "[" + std::string(kCommonSection) + "]", kCommonSection,
                common != nullptr ? common->line : 0);
    if (common == nullptr) {
        report.Line("section", "<not present>: every setting below takes its default");
    } else {
        KeyWarnings(report, *common, {kKeyComList, kKeyVersionInfo, kKeyNoATInterpreter});
    }

    IniValue comList = ini.Get(kCommonSection, kKeyComList);
    bool fixed = UsesFixedPortList(ini);
    report.Line(kKeyComList,
                ValueText(comList) + " - the search walks " +
                    (fixed ? "the fixed list COM1 to COM9" : "the serial ports of this system"));
    if (!fixed && comList.state != IniValue::kAbsent && !comList.text.empty()) {
        report.Warn("ComList is not \"" + std::string(kFixedPortListSetting) +
                    "\" and is never read as a list of ports: the ports of this system are "
                    "searched");
    }

    IniValue versionInfo = ini.Get(kCommonSection, kKeyVersionInfo);
    WarnTooLong(report, kKeyVersionInfo, versionInfo, "the welcome page announces no version");
    if (!versionInfo.present() || versionInfo.text.empty()) {
        report.Line(kKeyVersionInfo, ValueText(versionInfo) + " - no version is announced");
    } else {
        char version[5];
        int type = ReadFirmwareVersion(ini, version);
        if (type != FIRMWARE_NO_HEADER) {
            report.Line(kKeyVersionInfo, Show(versionInfo.text) + " - version " + Show(version) +
                                             ", type " + (type == FIRMWARE_TYPE_L ? "L" : "F"));
        } else {
            FirmwareHeader header;
            std::string why;
            ReadFirmwareHeader(versionInfo.text, &header, &why);
            report.Line(kKeyVersionInfo, Show(versionInfo.text) + " - no version");
            report.Warn("VersionInfo names a file without a valid firmware header (" + why +
                        "): the welcome page announces no version");
        }
    }

    IniValue noAt = ini.Get(kCommonSection, kKeyNoATInterpreter);
    bool hasAt = HasAtInterpreter(ini);
    report.Line(kKeyNoATInterpreter,
                ValueText(noAt) + " - the modem " +
                    (hasAt ? "has an AT interpreter"
                           : "has no AT interpreter: no search, no upload command"));
    if (noAt.state == IniValue::kPresent && noAt.text != "1" && noAt.text != "0" &&
        !noAt.text.empty()) {
        report.Warn("NoATInterpreter " + Quoted(noAt.text) +
                    " is not \"1\": the modem is taken to have an AT interpreter");
    }
}

enum class Transfer { kOwn, kPlugin, kUnknown };

void ExplainFirmware(Report& report, const std::string& path, std::int32_t flags, Transfer transfer,
                     bool pluginNamed) {
    if (!FileExists(path)) {
        report.Line("firmware", path + " - not found");
        report.Warn("firmware file not found: " + path);
        return;
    }
    FirmwareHeader header;
    std::string why;
    int type = ReadFirmwareHeader(path, &header, &why);
    report.Line("firmware", path + " (" + std::to_string(header.fileSize) + " bytes)");
    if (type != FIRMWARE_NO_HEADER) {
        report.Line("header", "version " + Show(header.version) + ", type " + header.typeLetter +
                                  ", image " + std::to_string(header.imageLength) + " bytes");
    } else if (LooksLikeIntelHex(path)) {
        report.Line("header", "none: an Intel HEX image");
        if (!pluginNamed) {
            report.Warn(
                "the firmware is an Intel HEX image, which only a plug-in's own "
                "transfer sends; this model has no plug-in");
        }
    } else {
        report.Line("header", "none (" + why + ")");
        report.Warn("the firmware file has no valid header: " + why);
    }
    // A plug-in that transfers the firmware itself decides what it sends.
    if (transfer == Transfer::kPlugin || (flags & UPLOAD_MODEM) == 0) {
        return;
    }
    if (type == FIRMWARE_NO_HEADER) {
        report.Warn(
            "UPLOAD_MODEM is set, but without a valid header the flash loader cannot be "
            "found in the firmware file");
        return;
    }
    std::uint64_t offset = FlashLoaderOffset(header.imageLength);
    if (offset >= header.fileSize) {
        report.Warn("UPLOAD_MODEM is set, but the firmware file (" +
                    std::to_string(header.fileSize) +
                    " bytes) ends before the flash loader at "
                    "offset " +
                    std::to_string(offset) + ": an empty loader would be sent");
    } else {
        report.Line("flash loader", std::to_string(header.fileSize - offset) +
                                        " bytes in the firmware file from offset " +
                                        std::to_string(offset));
    }
}

void ExplainUploadType(Report& report, const IniValue& value) {
    std::int32_t flags = UploadTypeFlags(value.text);
    std::string names;
    if (flags & UPLOAD_SUPPORTED_1K) {
        names += " UPLOAD_SUPPORTED_1K";
    }
    if (flags & UPLOAD_MODEM) {
        names += " UPLOAD_MODEM";
    }
    report.Line(kKeyUploadType, ValueText(value) + " - flags " + std::to_string(flags) +
                                    (names.empty() ? "" : " (" + names.substr(1) + ")"));
    WarnTooLong(report, kKeyUploadType, value, "the model cannot be updated");
    // Words are what a user means; the wizard itself looks for substrings.
    const std::string& text = value.text;
    std::size_t at = 0;
    while (at < text.size()) {
        auto isWordChar = [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '_';
        };
        if (!isWordChar(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && isWordChar(text[end])) {
            ++end;
        }
        std::string word = text.substr(at, end - at);
        at = end;
        if (word == "UPLOAD_SUPPORTED_1K" || word == "UPLOAD_MODEM") {
            continue;
        }
        if (EqualsNoCase(word, "UPLOAD_SUPPORTED_1K") || EqualsNoCase(word, "UPLOAD_MODEM")) {
            report.Warn(Quoted(word) +
                        " in UploadType sets no flag: flag words are "
                        "case-sensitive");
        } else if (UploadTypeFlags(word) != 0) {
            report.Warn(Quoted(word) + " in UploadType is no flag word, but sets flag " +
                        std::to_string(UploadTypeFlags(word)) + " because it contains one");
        } else {
            report.Warn("unknown word " + Quoted(word) + " in UploadType is ignored");
        }
    }
}

void ExplainBaudrate(Report& report, const IniValue& value) {
    if (value.state == IniValue::kAbsent) {
        report.Line(kKeyBaudrate, "<not set> - " + std::to_string(kDefaultBaudrate));
        return;
    }
    if (value.state == IniValue::kTooLong) {
        report.Line(kKeyBaudrate, ValueText(value));
        WarnTooLong(report, kKeyBaudrate, value, "the model cannot be updated");
        return;
    }
    int configured = 0;
    bool exact = ParseProfileInt(value.text, &configured);
    int snapped = SnapBaudrate(configured);
    std::string effect = configured == 0
                             ? std::to_string(kDefaultBaudrate) + " (0 means the default)"
                             : std::to_string(snapped);
    report.Line(kKeyBaudrate, effect == value.text ? effect : ValueText(value) + " - " + effect);
    if (!exact) {
        report.Warn("Baudrate " + Quoted(value.text) + " is not a plain number; it reads as " +
                    std::to_string(configured));
    }
    if (configured > 0 && configured < kUploadSpeeds[0]) {
        report.Warn("Baudrate " + std::to_string(configured) +
                    " is below the lowest upload speed, 9600, and is used as it stands");
    } else if (snapped != configured) {
        report.Warn("Baudrate " + std::to_string(configured) +
                    " is not an upload speed; it is snapped to " + std::to_string(snapped));
    }
}

void ExplainBrands(Report& report, const IniValue& value) {
    if (value.state == IniValue::kTooLong) {
        report.Line(kKeyModemBrand, ValueText(value));
        WarnTooLong(report, kKeyModemBrand, value, "no brand is accepted");
        return;
    }
    if (value.text.empty()) {
        report.Line(kKeyModemBrand, ValueText(value) + " - every brand is accepted");
        return;
    }
    std::vector<std::string> fields = BrandFields(value.text);
    std::string accepted;
    for (const std::string& field : fields) {
        accepted += (accepted.empty() ? "" : ", ") + Quoted(field);
    }
    report.Line(kKeyModemBrand,
                Show(value.text) + " - accepts " + (accepted.empty() ? "no brand" : accepted));
    for (const std::string& field : fields) {
        std::string::size_type first = field.find_first_not_of(" \t\n\v\f\r");
        if (first != 0) {
            report.Warn("brand " + Quoted(field) + " keeps its leading blank: a modem reporting " +
                        Quoted(field.substr(first)) + " is refused");
        }
    }
    // Count the fields that are there; an empty one hides those behind it.
    std::size_t present = 0;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type comma = value.text.find(',', start);
        std::string field = value.text.substr(
            start, comma == std::string::npos ? std::string::npos : comma - start);
        if (field.find_first_not_of(" \t\n\v\f\r") != std::string::npos) {
            ++present;
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (present > fields.size()) {
        report.Warn("an empty field in ModemBrand ends the list: " +
                    std::to_string(present - fields.size()) +
                    " brand(s) after it are never "
                    "accepted");
    }
}

void ExplainModel(Report& report, const IniFile& ini, const ConfigLocation& location,
                  const IniSection& section, bool inModelList, bool hasAt) {
    const std::string& name = section.name;
    report.Part("model", "Model " + Quoted(name) + " (line " + std::to_string(section.line) + ")",
                name, section.line);
    const IniSection* first = ini.FindSection(name);
    if (first != &section) {
        report.Warn("never used: the section at line " + std::to_string(first->line) +
                    " has the same name and is read instead");
        return;
    }
    if (!inModelList) {
        report.Warn("left out of the model list, which holds only " +
                    std::to_string(MODEL_LIST_SIZE) + " bytes: the search never matches it");
    }
    if (EqualsNoCase(name, kCommonSection)) {
        report.Warn("a second section named Common counts as a model");
    }
    KeyWarnings(report, section,
                {kKeyDLLName, kKeyUploadCommand, kKeyUploadType, kKeyBaudrate, kKeyUploadInterface,
                 kKeyUploadFile, kKeyFlashLoader, kKeyModemBrand, kKeyModemType});

    // The plug-in decides who transfers the firmware, so it comes first.
    IniValue dllName = ini.Get(name, kKeyDLLName);
    std::string pluginPath, why;
    cli::PluginProbe probe;
    bool pluginNamed =
        dllName.state != IniValue::kAbsent && !(dllName.present() && dllName.text.empty());
    bool pluginUsable = false;
    std::vector<std::string> pluginNotes;
    if (!PluginPath(ini, location.programDir, name, &pluginPath, &why)) {
        pluginNotes.push_back(why + ": the wizard cannot load the plug-in");
    } else if (!pluginPath.empty()) {
        probe = cli::ProbePlugin(pluginPath);
        if (!probe.exists) {
            pluginNotes.push_back("plug-in not found: " + pluginPath +
                                  " - the wizard stops the update when it cannot load it");
        } else if (!probe.loaded) {
            pluginNotes.push_back("plug-in cannot be loaded: " + probe.loadError);
        } else if (!probe.hasVersion) {
            pluginNotes.push_back("the plug-in exports no GetVersionNumber: the wizard refuses it");
        } else if (probe.version > cli::kMaxPluginVersion) {
            pluginNotes.push_back("the plug-in has interface version " +
                                  std::to_string(probe.version) + "; the wizard accepts " +
                                  std::to_string(cli::kMaxPluginVersion) +
                                  " at most and refuses it");
        } else {
            pluginUsable = true;
        }
    }
    Transfer transfer = !pluginNamed              ? Transfer::kOwn
                        : !pluginUsable           ? Transfer::kUnknown
                        : probe.hasFirmwareUpload ? Transfer::kPlugin
                                                  : Transfer::kOwn;

    UploadSettingsBuffer settings;
    std::string buildWhy;
    bool built = BuildUploadSettings(ini, location.programDir, name, &settings, &buildWhy);
    if (!built) {
        report.Warn("this model cannot be updated: " + buildWhy);
    }
    std::vector<std::string> files = built ? settings.Files() : std::vector<std::string>{};
    std::int32_t flags = built ? settings.parameters.flags : 0;

    report.Line(kKeyUploadFile, ValueText(ini.Get(name, kKeyUploadFile)));
    if (built) {
        ExplainFirmware(report, files[0], flags, transfer, pluginNamed);
    }

    IniValue flashLoader = ini.Get(name, kKeyFlashLoader);
    if (files.size() > 1) {
        bool exists = FileExists(files[1]);
        report.Line(kKeyFlashLoader, files[1] + (exists ? "" : " - not found"));
        if (!exists) {
            report.Warn("flash loader file not found: " + files[1]);
        }
        if (transfer == Transfer::kOwn) {
            report.Warn(
                "FlashLoader is only handed to a plug-in's FirmwareUpload; the "
                "wizard's own upload does not send it");
        }
    } else {
        report.Line(kKeyFlashLoader, ValueText(flashLoader));
    }

    if (!pluginNamed) {
        report.Line(kKeyDLLName, ValueText(dllName) + " - no plug-in");
    } else {
        report.Line(kKeyDLLName, pluginPath.empty() ? ValueText(dllName) : pluginPath);
    }
    for (const std::string& note : pluginNotes) {
        report.Warn(note);
    }
    if (pluginUsable) {
        std::string entries;
        for (const std::string& entry : probe.entryPoints) {
            entries += (entries.empty() ? "" : ", ") + entry;
        }
        report.Line("plug-in", "loads; interface version " + std::to_string(probe.version) +
                                   "; exports " + entries);
    }
    report.Line("transfer", transfer == Transfer::kPlugin ? "by the plug-in's FirmwareUpload"
                            : transfer == Transfer::kOwn  ? "by the wizard (XModem)"
                                                          : "unknown: the plug-in is unusable");

    IniValue command = ini.Get(name, kKeyUploadCommand);
    std::string commandNote;
    if (!hasAt) {
        commandNote = " - not sent: the modem has no AT interpreter";
    } else if (command.text.empty() && command.state != IniValue::kTooLong &&
               transfer == Transfer::kOwn) {
        commandNote = " - the user is asked to switch the modem off and on";
    }
    report.Line(kKeyUploadCommand, ValueText(command) + commandNote);

    IniValue uploadInterface = ini.Get(name, kKeyUploadInterface);
    bool standard = IsStandardInterface(uploadInterface.Or(kDefaultUploadInterface));
    report.Line(kKeyUploadInterface,
                ValueText(uploadInterface) + (standard ? " - standard" : " - not standard"));
    if (!standard && transfer == Transfer::kOwn) {
        report.Warn(
            "the interface is not standard and no plug-in does the transfer: the "
            "wizard's own upload will fail");
    }

    ExplainBaudrate(report, ini.Get(name, kKeyBaudrate));
    ExplainUploadType(report, ini.Get(name, kKeyUploadType));
    ExplainBrands(report, ini.Get(name, kKeyModemBrand));

    IniValue modemType = ini.Get(name, kKeyModemType);
    if (modemType.state != IniValue::kAbsent) {
        report.Line(kKeyModemType, ValueText(modemType));
        WarnTooLong(report, kKeyModemType, modemType, "the flash plug-in cannot read it");
        if (!pluginNamed) {
            report.Warn(
                "ModemType is only read by the flash plug-in; this model has no "
                "plug-in");
        }
    }
}

constexpr const char* kUsage = "[--config FILE] [--names | --json]";

int RunModels(const std::vector<std::string>& words) {
    cli::Args args(words, {"--config"}, {"--names", "--json"});
    if (!args.ok() || !args.Positional().empty()) {
        std::cerr << "wizard-cli models: " << (args.ok() ? "unexpected arguments" : args.error())
                  << "\nUsage: wizard-cli models " << kUsage << "\n";
        return 2;
    }
    const bool json = args.Flag("--json");
    ConfigLocation location;
    if (!cli::LocateConfigOrReport(args, "models", &location)) {
        return 1;
    }
    IniFile ini = IniFile::Read(location.iniPath);
    if (ini.status() != IniFile::Status::kRead) {
        const std::string why = "cannot read " + location.iniPath + ": " + ini.StatusText();
        if (json) {
            cli::EmitResult("", 1, why);
        } else {
            std::cerr << "wizard-cli models: " << why << "\n";
        }
        return 1;
    }
    if (args.Flag("--names")) {
        // For scripts and shell completion: the names the wizard chooses from.
        for (const std::string& name : ReadModelList(ini).Entries()) {
            std::cout << name << "\n";
        }
        return 0;
    }
    Report report(json);
    if (json) {
        report.Part("config", "", "", 0);
        report.Line("configuration", location.iniPath);
        report.Line("program directory", location.programDir);
    } else {
        std::cout << "Configuration:     " << location.iniPath << "\n"
                  << "Program directory: " << location.programDir
                  << " (the files named below are found here)\n";
    }
    // The wizard works in its program directory; so does this explanation.
    if (!platform::SetCurrentDirectory(location.programDir)) {
        report.Warn("the program directory cannot be made current");
    }
    for (const IniProblem& problem : ini.Problems()) {
        report.Warn("line " + std::to_string(problem.line) + ": " + problem.text);
    }

    ExplainCommon(report, ini);
    bool hasAt = HasAtInterpreter(ini);

    std::vector<std::string> dropped;
    ReadModelList(ini, &dropped);
    int models = 0;
    bool commonSeen = false;
    for (const IniSection& section : ini.Sections()) {
        if (!commonSeen && EqualsNoCase(section.name, kCommonSection)) {
            commonSeen = true;
            continue;
        }
        ++models;
        bool inList = std::find(dropped.begin(), dropped.end(), section.name) == dropped.end();
        ExplainModel(report, ini, location, section, inList, hasAt);
    }
    if (models == 0) {
        if (json) {
            report.Part("config", "", "", 0);  // a warning about the file as a whole
        } else {
            std::cout << "\n";
        }
        report.Warn("no model sections: no modem can be matched");
    }
    if (json) {
        report.Flush();
        cli::Emit(cli::Event("result", "")
                      .Number("exit-code", 0)
                      .Number("models", models)
                      .Number("warnings", report.warnings()));
        return 0;
    }
    std::cout << "\n"
              << models << (models == 1 ? " model, " : " models, ") << report.warnings()
              << (report.warnings() == 1 ? " warning" : " warnings") << "\n";
    return 0;
}

constexpr const char* kHelp =
    R"(Reads `Wizard.inf` as the wizard does and explains each model section: the
plug-in, the firmware file and its version, the flash loader, the upload
command, type, speed and interface, the brands, and a warning for each
problem found (a missing file, a plug-in that does not load, a value that
is cut or ignored).

- `--config FILE`: The `Wizard.inf` to read instead of the one beside the
  program; the names in it are relative to its directory.
- `--names`: Print only the names of the models the wizard can choose, one
  per line.
- `--json`: The explanation as JSON events: `config`, `common` and one
  `model` per section, each with its settings and warnings, then a `result`
  (docs/json-events.md).

    wizard-cli models --config vendor/Wizard.inf
    wizard-cli models --names
)";

}  // namespace

REGISTER_CLI_COMMAND("models", kUsage,
                     "explain each model of Wizard.inf with its resolved settings and warnings",
                     &RunModels, kHelp);

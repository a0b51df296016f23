#include "wizard/engine/modem_search.h"

#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "plugin_api/message_target.h"
#include "plugin_api/messages.h"
#include "serial/answer_text.h"
#include "serial/identify.h"
#include "serial/serial.h"
#include "serial/trace.h"
#include "wizard/engine/brand_check.h"
#include "wizard/engine/no_case.h"
#include "wizard/engine/text_format.h"
#include "wizard/engine/wizard_state.h"
#include "wizard/resources/strings.h"

namespace {

constexpr DWORD kStatusPauseMs = 400;
constexpr DWORD kBrandTimeoutMs = 60000;
constexpr std::size_t kStatusBufferSize = 256;
// A boot loader repeats its NAK while it waits for a sender (every 300 ms to
// a second); this is how long a silent port is listened to for one.
constexpr DWORD kLoaderListenMs = 1500;
constexpr char kNak = 0x15;

// Texts go to the page by pointer; the pause after each keeps the buffer
// unchanged until the page has taken the text.
char g_statusBuffer[kStatusBufferSize];

void Show(HWND page, UINT line, const std::string& text) {
    CopyTextCut(g_statusBuffer, sizeof g_statusBuffer, text);
    PostMessage(page, line, 0, TextParam(g_statusBuffer));
    platform::Sleep(kStatusPauseMs);
}

void ShowStatus(HWND page, int id) {
    Show(page, WM_WIZ_SEARCHSTATUS, wizard::LoadText(id));
}

// The brand the modem reports to "AT$BRAND?", or empty.
std::string AskBrand(CSerial& port) {
    std::string answer, brand;
    if (port.Request("AT$BRAND?", &answer, 0, nullptr, kBrandTimeoutMs, 0)) {
        CleanAnswer("AT$BRAND?", answer, &brand);
        std::size_t marker = brand.find("$BRAND: ");
        if (marker != std::string::npos) {
            brand = brand.substr(marker + 8);
        }
    }
    return brand;
}

// Checks the identified model against the model sections; true when the
// modem is suitable, with *section the matching section's name.
bool MatchModel(CSerial& port, const IniFile& ini, const ModelList& models,
                const std::string& model, std::string* section) {
    for (const std::string& name : models.Entries()) {
        if (!EqualsNoCase(name, model)) {
            continue;
        }
        // The first section of that name decides, whatever its brand check says.
        std::string brand = HasModemBrand(ini, name) ? AskBrand(port) : std::string();
        Trim(brand, ' ');
        xdebug_Trace(-1, TRACE_LEVEL_STEP, "Search: model <%s>, brand <%s>\n", name.c_str(),
                     brand.c_str());
        // A modem that went while it was asked is no candidate: its port name
        // may soon belong to another device.
        if (port.DeviceGone()) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "Search: the device went during the brand check\n");
            return false;
        }
        if (!BrandAccepted(ini, name, brand)) {
            return false;
        }
        *section = name;
        return true;
    }
    return false;
}

// True when what comes in within one listen is nothing but NAKs.
bool OnlyNaks(CSerial& port) {
    port.ClearInput(0);
    std::string received;
    port.ReadAll(received, kLoaderListenMs, kLoaderListenMs);
    return !received.empty() && received.find_first_not_of(kNak) == std::string::npos;
}

// True when the port, which answered no AT command, carries the NAKs of a
// boot loader waiting for its firmware. A loader at another speed than the
// port's arrives garbled: only a port that sends something is listened to
// at the lower speeds too, so a silent port costs one listen.
bool WaitsInLoader(CSerial& port) {
    port.ClearInput(0);
    if (!platform::WaitCommInput(port.Handle(), kLoaderListenMs)) {
        return false;
    }
    if (OnlyNaks(port)) {
        return true;
    }
    DCB dcb{};
    if (!platform::GetCommState(port.Handle(), &dcb)) {
        return false;
    }
    for (int index = 5; index >= 0; --index) {
        dcb.BaudRate = SPEED_STEPS[index];
        if (!platform::SetCommState(port.Handle(), &dcb)) {
            return false;
        }
        if (OnlyNaks(port)) {
            xdebug_Trace(-1, TRACE_LEVEL_STEP, "Search: loader NAKs at %i bit/s\n",
                         static_cast<int>(SPEED_STEPS[index]));
            return true;
        }
    }
    return false;
}

}  // namespace

void RunSearch(WizardState& state, HWND page) {
    const IniFile ini = IniFile::Read(state.config.iniPath);
    CSerial port;
    bool found = false;
    state.modemInfo.clear();
    for (const std::string& portName : state.portList.Entries()) {
        Show(page, WM_WIZ_SEARCHPORT, wizard::LoadText(wizard::IDS_CHECKING) + portName);
        ShowStatus(page, wizard::IDS_OPENING_PORT);
        port.SetPortName(portName);
        const bool opened = port.Open();
        ShowStatus(page, opened ? wizard::IDS_LOOKING_FOR_MODEM : wizard::IDS_OPENING_FAILED);
        if (opened) {
            std::string model, ati3;  // ATI3 tells the front ends the firmware it runs
            const char cancel = 0;
            if (!IdentifyModem(&port, &cancel, &model, &ati3, nullptr)) {
                ShowStatus(page, wizard::IDS_NO_COMPATIBLE_MODEM);
                if (WaitsInLoader(port)) {
                    xdebug_Trace(-1, TRACE_LEVEL_STEP, "Search: <%s> sends loader NAKs\n",
                                 portName.c_str());
                    Show(page, WM_WIZ_INLOADER, portName);
                }
            } else {
                // IdentifyModem has cleaned the name already; cleaning it
                // again for an echo would cut a name that holds "OK".
                Trim(model, " \t\r\n");
                Show(page, WM_WIZ_SEARCHSTATUS,
                     FormatText(wizard::LoadText(wizard::IDS_MODEM_FOUND), model,
                                kStatusBufferSize));
                std::string section;
                if (MatchModel(port, ini, state.modelList, model, &section)) {
                    // Copies first: the names live in the lists being rebuilt.
                    state.portList = PortList();
                    state.portList.Append(portName);
                    state.modelList = ModelList();
                    state.modelList.Append(section);
                    CleanAnswer("", ati3, &state.modemInfo);
                    PostMessage(page, WM_WIZ_FOUND, 0, 0);
                    found = true;
                }
            }
            port.Close();
        }
        ShowStatus(page, wizard::IDS_CLOSING_PORT);
        if (found) {
            break;  // only the first suitable modem is taken
        }
    }
    if (!found) {
        ShowStatus(page, wizard::IDS_NO_COMPATIBLE_MODEM);
        PostMessage(page, WM_WIZ_NOTFOUND, 0, 0);
    }
}

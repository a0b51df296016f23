// The message numbers that travel between the pages, the worker and the
// plug-ins. The numbers are fixed: separately built plug-ins send them.
#pragma once

#include "platform/types.h"

constexpr UINT WM_WIZ_SEARCH = 1026;        // page -> worker: run the modem search
constexpr UINT WM_WIZ_UPDATE = 1027;        // page -> worker: run the update
constexpr UINT WM_WIZ_SETPROGRESS = 1074;   // to the update page: wParam = bar position
constexpr UINT WM_WIZ_SEARCHPORT = 1075;    // worker -> search page: lParam = port line text
constexpr UINT WM_WIZ_SEARCHSTATUS = 1076;  // worker -> search page: lParam = status text
constexpr UINT WM_WIZ_WORKER = 1077;        // worker -> page: lParam 1 = message taken, 0 = ended
constexpr UINT WM_WIZ_FOUND = 1078;         // worker -> search page: suitable modem found
constexpr UINT WM_WIZ_NOTFOUND = 1080;      // worker -> search page: none found
constexpr UINT WM_WIZ_STEP = 1081;          // wParam = step, lParam 1 = highlight, 0 = un-highlight
constexpr UINT WM_WIZ_FATAL = 1082;         // lParam = error text; the page ends the process
// Beyond the fixed set, for the front ends of this system; a page that does
// not know them leaves them alone.
constexpr UINT WM_WIZ_NOTICE = 1083;     // lParam = a remark on the running step, for the user
constexpr UINT WM_WIZ_KEPTFILES = 1084;  // lParam = the folder that keeps the modem's files
constexpr UINT WM_WIZ_INLOADER = 1085;   // lParam = a port whose modem waits in its boot loader
constexpr UINT WM_WIZ_RECOVER = 1086;    // page -> worker: load the firmware into a waiting loader

// The messages whose lParam points to a text in the sender's buffer: a
// receiver that handles them later keeps a copy, since the sender reuses the
// buffer.
inline bool MessageCarriesText(UINT message) {
    return message == WM_WIZ_SEARCHPORT || message == WM_WIZ_SEARCHSTATUS ||
           message == WM_WIZ_FATAL || message == WM_WIZ_NOTICE || message == WM_WIZ_KEPTFILES ||
           message == WM_WIZ_INLOADER;
}

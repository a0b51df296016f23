// The functions a plug-in exports, under the decorated names the wizard
// looks them up by, and the export table that carries those names on
// systems whose libraries cannot hold them as symbols.
//
// A plug-in declares its table once, in one source file:
//
//   WIZARD_PLUGIN_EXPORT_TABLE(ExportGetVersionNumber(&GetVersionNumber),
//                              ExportPreSteps(&PreSteps))
//
// The table function is the only symbol a plug-in makes visible.
#pragma once

#include "platform/shared_library.h"
#include "platform/types.h"

class CSerial;
struct _Status;

// Decorated names of the entry points, exactly as the wizard looks them up.
constexpr const char* kDecoratedGetVersionNumber = "?GetVersionNumber@@YAHXZ";
constexpr const char* kDecoratedGetPreStepStrings = "?GetPreStepStrings@@YAPADXZ";
constexpr const char* kDecoratedGetPostStepStrings = "?GetPostStepStrings@@YAPADXZ";
constexpr const char* kDecoratedPreSteps =
    "?PreSteps@@YAHPAUHWND__@@PAVCSerial@@PAU_Status@@HPAH@Z";
constexpr const char* kDecoratedPostSteps =
    "?PostSteps@@YAHPAUHWND__@@PAVCSerial@@PAU_Status@@HPAH@Z";
constexpr const char* kDecoratedFirmwareUpload =
    "?FirmwareUpload@@YAHPAUHWND__@@PAVCSerial@@PADPAU_Status@@@Z";
constexpr const char* kDecoratedXdebugSetPipe = "?xdebug_SetPipe@@YAXPAX@Z";

// The entry points' types.
using GetVersionNumberProc = int (*)();
using GetStepStringsProc = char* (*)();
using StepsProc = int (*)(HWND page, CSerial* port, _Status* status, int stepMessage,
                          int* stepCounter);
using FirmwareUploadProc = int (*)(HWND page, CSerial* port, char* settings, _Status* status);
using SetPipeProc = void (*)(void* pipe);

extern "C" {

// A function address of unknown type, as the table carries it.
typedef void (*WizardPluginProc)(void);

// One row of the export table; the table ends with a row of nulls.
struct WizardPluginExport {
    const char* name;
    WizardPluginProc address;
};

// The table function's type.
typedef const WizardPluginExport* (*WizardPluginExportsProc)(void);
}

// The symbol name of the export table function.
constexpr const char* kPluginExportTableSymbol = "wizard_plugin_exports";

// Rows of the export table, one per entry point; each checks the type of
// the function it names.
inline WizardPluginExport ExportGetVersionNumber(GetVersionNumberProc f) {
    return {kDecoratedGetVersionNumber, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportGetPreStepStrings(GetStepStringsProc f) {
    return {kDecoratedGetPreStepStrings, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportGetPostStepStrings(GetStepStringsProc f) {
    return {kDecoratedGetPostStepStrings, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportPreSteps(StepsProc f) {
    return {kDecoratedPreSteps, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportPostSteps(StepsProc f) {
    return {kDecoratedPostSteps, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportFirmwareUpload(FirmwareUploadProc f) {
    return {kDecoratedFirmwareUpload, reinterpret_cast<WizardPluginProc>(f)};
}
inline WizardPluginExport ExportXdebugSetPipe(SetPipeProc f) {
    return {kDecoratedXdebugSetPipe, reinterpret_cast<WizardPluginProc>(f)};
}

// Defines the plug-in's export table function from rows made with the
// Export... helpers above. Where libraries can export the decorated names
// themselves (a DLL, whose .def file names them) the table is not exported.
#define WIZARD_PLUGIN_EXPORT_TABLE(...)                                                          \
    extern "C" PLATFORM_EXPORT_TABLE_VISIBILITY const WizardPluginExport* wizard_plugin_exports( \
        void) {                                                                                  \
        static const WizardPluginExport table[] = {__VA_ARGS__, {nullptr, nullptr}};             \
        return table;                                                                            \
    }

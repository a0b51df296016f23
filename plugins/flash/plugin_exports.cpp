// The entry points of Flinta_Plugin, exported under their decorated names.
#include "plugin_api/exports.h"
#include "plugins/flash/firmware_upload.h"
#include "serial/trace.h"

namespace {

constexpr int kInterfaceVersion = 1;

}  // namespace

// The entry points have external linkage: a DLL's .def file exports them
// by name.
int GetVersionNumber() {
    return kInterfaceVersion;
}

int FirmwareUpload(HWND page, CSerial* port, char* settings, _Status* status) {
    return flinta::FirmwareUpload(page, port, settings, status);
}

// The wizard's trace destination becomes this plug-in's.
void xdebug_SetPipe(void* pipe) {
    xdebug_UsePipe(pipe);
    xdebug_Trace(-1, TRACE_LEVEL_STEP, "#### Dll attached to xdebug Pipe #### \n\n");
}

WIZARD_PLUGIN_EXPORT_TABLE(ExportGetVersionNumber(&GetVersionNumber),
                           ExportFirmwareUpload(&FirmwareUpload),
                           ExportXdebugSetPipe(&xdebug_SetPipe))

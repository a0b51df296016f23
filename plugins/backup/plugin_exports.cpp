// The plug-in's export table: the one symbol the library shows.
#include "plugin_api/exports.h"
#include "plugins/backup/sarnet_plugin.h"
#include "serial/trace.h"

namespace {

// The wizard hands no trace pipe to this plug-in: it follows WIZARD_TRACE
// itself from the moment it is loaded.
const bool g_traceStarted = xdebug_StartFromEnvironment();

}  // namespace

WIZARD_PLUGIN_EXPORT_TABLE(ExportGetVersionNumber(&GetVersionNumber),
                           ExportGetPreStepStrings(&GetPreStepStrings),
                           ExportGetPostStepStrings(&GetPostStepStrings), ExportPreSteps(&PreSteps),
                           ExportPostSteps(&PostSteps))

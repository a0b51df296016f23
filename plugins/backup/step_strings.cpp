// The interface version and the plug-in's step captions.
#include <initializer_list>

#include "plugin_api/multi_string.h"
#include "plugins/backup/backup_texts.h"
#include "plugins/backup/sarnet_plugin.h"

namespace {

// The wizard reads the lists after the calls return.
char g_preSteps[STEP_STRINGS_SIZE];
char g_postSteps[STEP_STRINGS_SIZE];

char* FillSteps(char (&list)[STEP_STRINGS_SIZE], std::initializer_list<int> ids) {
    MultiStringClear(list);
    for (int id : ids) {
        if (!MultiStringAppend(list, sizeof list, backup::LoadText(id).c_str())) {
            // A translation that does not fit: the English captions do.
            MultiStringClear(list);
            for (int english : ids) {
                MultiStringAppend(list, sizeof list, backup::Texts().English(english));
            }
            break;
        }
    }
    return list;
}

}  // namespace

int GetVersionNumber() {
    return 1;
}

char* GetPreStepStrings() {
    return FillSteps(g_preSteps, {backup::IDS_STEP_BACKUP});
}

char* GetPostStepStrings() {
    return FillSteps(g_postSteps, {backup::IDS_STEP_REORGANIZE, backup::IDS_STEP_RESTORE});
}

#include "wizard/resources/strings.h"

// Marks texts for the catalogue template (xgettext --keyword=N_).
#define N_(text) text

namespace wizard {
namespace {

const platform::TextEntry kTexts[] = {
    {IDS_TITLE, N_("ORVA Varrona Firmware Wizard")},
    {IDS_WELCOME_BODY,
     N_("Our products are continuously being improved and developed further.\r\rThe latest "
        "firmware is always "
        "available for your device to ensure that you can continue to profit from these "
        "developments.\r\rFirmware "
        "is a special type of software required for the operation of your device.")},
    {IDS_WELCOME_GREETING, N_("Welcome to the")},
    {IDS_CONFIG_TOP, N_("The Firmware Wizard is now looking for your modem. ")},
    {IDS_CONFIG_OBSERVE,
     N_("Before you continue, please observe the following:\r\r1. Make sure your modem is "
        "connected to the "
        "computer and switched on.\r\r2. Close all programs that use the modem.")},
    {IDS_CLICK_NEXT, N_("Please click \"Next\" to continue.")},
    {IDS_CONFIG_HEADER_TITLE, N_("Modem configuration")},
    {IDS_CONFIG_HEADER_SUBTITLE, N_("Use this dialog to determine whether your modem should be "
                                    "recognized automatically \ror manually.")},
    {IDS_NO_AUTOMATIC_RECOGNITION, N_("Do not perform automatic recognition")},
    {IDS_MANUAL_HEADER_TITLE, N_("Manual modem selection")},
    {IDS_MANUAL_HEADER_SUBTITLE, " "},
    {IDS_SEARCH_HEADER_TITLE, N_("Automatic modem selection")},
    {IDS_UPDATE_HEADER_TITLE, N_("Firmware update")},
    {IDS_MANUAL_SELECT, N_("Please select the port and the modem:")},
    {IDS_MANUAL_PORT, N_("Port:")},
    {IDS_MANUAL_MODEL, N_("Modem type:")},
    {IDS_MANUAL_CLICK_NEXT, N_("Please click \"Next\" after making your selection. ")},
    {IDS_SEARCH_LOOKING, N_("The Firmware Wizard is now looking for your modem.")},
    {IDS_SEARCH_PORT, N_("Port:")},
    {IDS_SEARCH_STATUS, N_("Status:")},
    {IDS_UPDATE_INTRO, N_("The Firmware Wizard can now start the firmware update.\r\rThis "
                          "operation may take several minutes. Do "
                          "not interrupt this operation under any circumstances!\r\rYour modem may "
                          "not function properly as a "
                          "result. \r\r\r\r\rPlease click Next to conclude the operation.")},
    {IDS_CHECKING, N_("Checking ")},
    {IDS_OPENING_PORT, N_("Opening port ...")},
    {IDS_CLOSING_PORT, N_("Closing port ...")},
    {IDS_MODEM_FOUND, N_("%s modem found!")},
    {IDS_OPENING_FAILED, N_("Opening failed! ")},
    {IDS_LOOKING_FOR_MODEM, N_("Looking for modem...")},
    {IDS_NO_COMPATIBLE_MODEM, N_("No compatible modem found!")},
    {IDS_PORT_CANNOT_BE_OPENED, N_("The port cannot be opened!\rAre any programs that can access "
                                   "your modem still running?\rPlease close "
                                   "these programs and restart this wizard.")},
    {IDS_LOADING_FIRMWARE, N_("Loading firmware to modem (%d %% complete)")},
    {IDS_SUCCESS, N_("The operation was concluded successfully!")},
    {IDS_STEP_FIRMWARE, N_("The firmware is being updated...")},
    {IDS_FIRMWARE_FILE_MISSING, N_("Could not find file with firmware!")},
    {IDS_STARTING_UPLOAD, N_("Starting firmware upload ...")},
    {IDS_INI_ERROR, N_("Error while processing the INI file. ")},
    {IDS_UPLOAD_ERROR, N_("Error during firmware upload!\rEnsure that the modem is switched on and "
                          "that the connection between the "
                          "computer and the modem is OK.\rPlease try again and contact ORVA "
                          "Support if the repeat attempt fails.")},
    {IDS_REINITIALIZING, N_("Reinitializing modem, please wait ...")},
    {IDS_SEARCH_NOT_FOUND, N_("A modem suitable for a firmware update could not be found. Please "
                              "try again after ensuring that your "
                              "modem is switched on and correctly connected to your computer.")},
    {IDS_SEARCH_FOUND, N_("A modem suitable for a firmware update could be found. Please click "
                          "\"Next\" to continue.")},
    {IDS_PROGRAM_PATH, N_("Could not set program path!")},
    {IDS_VERSION_CONFLICT, N_("Version conflict: plug-in DLL not compatible!")},
    {IDS_STEP_INITIALIZING, N_("Initializing transfer ...")},
    {IDS_WELCOME_VERSION,
     N_("\r\rThe Firmware Wizard is now updating your firmware to version %s.")},
    {IDS_SWITCH_OFF_AND_ON, N_("Please switch the device off and on again!")},
    {IDS_UPLOAD_COMMAND_FAILED, N_("Cannot send Upload Command: %s")},
    {IDS_FILES_KEPT, N_("The modem's files are kept in %s")},
    {IDS_LOADER_WAITING,
     N_("A modem is waiting in its boot loader on %s. To load its firmware, run this command:")},
    {IDS_TRANSFER_UPLOAD, N_("Storing %s in the modem ...")},
    {IDS_TRANSFER_DOWNLOAD, N_("Fetching %s from the modem ...")},
    // "&" marks the access key of a button.
    {IDS_BUTTON_BACK, N_("< &Back")},
    {IDS_BUTTON_NEXT, N_("&Next >")},
    {IDS_BUTTON_FINISH, N_("&Finish")},
    {IDS_BUTTON_CANCEL, N_("Cancel")},
    {IDS_BUTTON_CLOSE, N_("Close")},
    {IDS_BUTTON_OK, N_("OK")},
    {IDS_BUTTON_YES, N_("&Yes")},
    {IDS_BUTTON_NO, N_("&No")},
};

}  // namespace

platform::TextCatalog& Texts() {
    static platform::TextCatalog catalog("wizard", kTexts, sizeof kTexts / sizeof kTexts[0]);
    return catalog;
}

}  // namespace wizard

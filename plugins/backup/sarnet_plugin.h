// The entry points of the backup plug-in: it saves the files the modem
// keeps in its file store before the firmware is replaced and writes them
// back afterwards. The wizard calls them in this order, on its worker
// thread, with its open port.
#pragma once

#include "platform/types.h"

class CSerial;
struct _Status;

// The interface version: 1.
int GetVersionNumber();
// "Files are being backed up ...", as a step-caption list.
char* GetPreStepStrings();
// "Modem memory is being reorganized ...", "Files are being restored ...".
char* GetPostStepStrings();

// Lists the modem's files and copies each one to the computer. 1 when all
// are saved; 0 after a fatal error text went to the page.
int PreSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter);
// Reorganises the modem's memory and stores every saved file back; the
// copies are deleted only when all are back. 1 on success, 0 after a fatal
// error text went to the page (the copies are then kept).
int PostSteps(HWND page, CSerial* port, _Status* status, int stepMessage, int* stepCounter);

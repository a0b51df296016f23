// One update: step list, plug-in, pre-steps, firmware, post-steps.
#pragma once

#include "platform/types.h"

struct WizardState;

// Runs the update of the model and port at the heads of the lists, for
// page (the update page). Returns false when the worker has to end: a
// fatal error was reported, or a plug-in step failed (it reported itself).
bool RunUpdate(WizardState& state, HWND page);

// The firmware alone, into a modem waiting in its boot loader on the port at
// the head of the list (RecoverFirmware); the plug-in's steps need a running
// modem and are left out. Returns as RunUpdate.
bool RunRecovery(WizardState& state, HWND page);

// The index of the current step of the running update (plug-ins advance it).
int& StepCounter();

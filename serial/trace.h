// The debug trace channel "xdebug". Silent unless a front end switches it
// on; every deliverable carries its own copy, and a plug-in joins the
// wizard's destination through the pipe handle.
#pragma once

#include <cstddef>
#include <string>

constexpr int TRACE_LEVEL_STEP = 1;
constexpr int TRACE_LEVEL_SERIAL = 10;

// Environment variable naming a trace file, read by the front ends and by a
// plug-in that is not handed the wizard's pipe.
constexpr const char* kTraceEnvironmentVariable = "WIZARD_TRACE";

// The destination of the trace text, owned by the module that opened it. A
// plain C structure, since it crosses into separately built plug-ins.
struct TracePipe {
    void (*write)(TracePipe* pipe, const char* text, std::size_t length);
    void* context;
};

#if defined(__GNUC__)
#define XDEBUG_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define XDEBUG_PRINTF(fmt, args)
#endif

// printf-style trace; channel and level classify the call. Does nothing
// while no destination is set. Keeps errno and the platform's last error.
void xdebug_Trace(int channel, int level, const char* format, ...) XDEBUG_PRINTF(3, 4);

// The handle of this module's destination (null while silent).
void* xdebug_GetPipe();

// The start-up call of the wizard; the argument is reserved (0).
void xdebug_Start(int reserved);

// Opens (appends to) a trace file and makes it this module's destination.
// On failure returns false with a reason.
bool xdebug_OpenFile(const std::string& path, std::string* error);

// Uses another module's destination (a plug-in given the wizard's pipe).
// Null switches the channel off.
void xdebug_UsePipe(void* pipe);

// Switches the channel on when WIZARD_TRACE names a file. True when on.
bool xdebug_StartFromEnvironment();

// Closes a trace file opened by this module and switches the channel off.
void xdebug_Close();

// Portable stand-ins for the Windows data types the serial and wizard code is
// written against, so the logic reads the same on every platform.
//
// On Windows they are the system's own types, declared as <windows.h>
// declares them, so that code of platform/win32 that includes <windows.h>
// (always before any header of ours) and code that does not agree on every
// type and every function signature. There, <windows.h> coming first
// supplies all of it and this file adds nothing.
#pragma once

#include <cstdint>

#if !(defined(_WIN32) && defined(_WINDOWS_))

#if defined(_WIN32)
typedef unsigned long DWORD;
typedef unsigned short WORD;
typedef unsigned char BYTE;
typedef unsigned int UINT;
#if defined(_WIN64)
typedef unsigned long long WPARAM;
typedef long long LPARAM;
typedef long long LRESULT;
#else
typedef unsigned int WPARAM;
typedef long LPARAM;
typedef long LRESULT;
#endif
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
#else
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
// Message numbers and their two arguments; lParam often carries a pointer.
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
// A module instance: the module whose texts and resources are meant.
using HINSTANCE = void*;
// A loaded shared library (see platform/shared_library.h).
using HMODULE = void*;
#endif

typedef void* HANDLE;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD MAXDWORD = 0xFFFFFFFFu;

// A window handle is a message target (see plugin_api/message_target.h).
struct HWND__;
typedef HWND__* HWND;

// Line settings, field for field as the Windows communications driver keeps
// them (28 bytes); the serial traces print these fields.
typedef struct _DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
} DCB;
static_assert(sizeof(DCB) == 28, "DCB must keep the driver's 28-byte layout");

// Read and write time-outs with the driver's rules: a read ends when the
// count is complete, when ReadIntervalTimeout passes between two bytes (after
// the first; 0 = no gap limit), or when multiplier * count + constant passes
// (both 0 = no total limit). Interval MAXDWORD with both totals 0 returns at
// once with what is waiting.
typedef struct _COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
} COMMTIMEOUTS;

// The driver's queue state (the line-status bits are kept as one word).
struct COMSTAT {
    DWORD flags;
    DWORD cbInQue;
    DWORD cbOutQue;
};

constexpr DWORD PURGE_TXABORT = 0x0001;
constexpr DWORD PURGE_RXABORT = 0x0002;
constexpr DWORD PURGE_TXCLEAR = 0x0004;
constexpr DWORD PURGE_RXCLEAR = 0x0008;

constexpr DWORD SETDTR = 5;
constexpr DWORD CLRDTR = 6;

constexpr BYTE NOPARITY = 0;
constexpr BYTE ODDPARITY = 1;
constexpr BYTE EVENPARITY = 2;
constexpr BYTE ONESTOPBIT = 0;
constexpr BYTE TWOSTOPBITS = 2;

constexpr DWORD DTR_CONTROL_DISABLE = 0;
constexpr DWORD DTR_CONTROL_ENABLE = 1;
constexpr DWORD RTS_CONTROL_DISABLE = 0;
constexpr DWORD RTS_CONTROL_ENABLE = 1;

#endif

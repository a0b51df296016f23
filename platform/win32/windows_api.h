// <windows.h> for the sources of platform/win32. Each of them includes this
// header first, before any other header of ours: platform/types.h then
// takes every type from the system instead of declaring its own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// A platform function of the same name (platform/paths.h).
#undef SetCurrentDirectory

#include <string>

namespace platform::win32 {

// The system's text for an error code, without the line break it ends with.
std::string SystemErrorText(DWORD code);

// Forward slashes turned into backslashes: the Windows form of a path that
// portable code made with '/'.
std::string NativePath(std::string path);

// The directory of a module's file (null: the program's), cut at the last
// backslash, which goes too; empty when the system does not tell.
std::string ModuleFileDirectory(HMODULE module);

}  // namespace platform::win32

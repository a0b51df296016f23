// The serial ports Windows records in its registry, found the way the
// wizard has always found them: the operating-system version chooses
// between the device map of the NT family and the device enumeration tree
// of the 95/98/Me family. The walk is written against a view of the
// registry, so it runs against the system's registry on Windows and
// against a scripted one in tests anywhere.
#pragma once

#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

// The registry calls the walk makes, in the shape of their Win32
// counterparts (RegOpenKeyExA with KEY_READ, RegEnumValueA, RegEnumKeyA,
// RegQueryValueExA, RegCloseKey) and GetVersion. Each call that fails, for
// whatever reason, returns false.
class RegistryView {
  public:
    using Key = void*;
    // Value types.
    static constexpr DWORD kString = 1;  // REG_SZ
    static constexpr DWORD kBinary = 3;  // REG_BINARY

    virtual ~RegistryView() = default;

    // GetVersion: the top bit set means the 95/98/Me family.
    virtual DWORD Version() = 0;
    // Opens subKey below parent for reading; a null parent is
    // HKEY_LOCAL_MACHINE.
    virtual bool OpenKey(Key parent, const std::string& subKey, Key* key) = 0;
    virtual void CloseKey(Key key) = 0;
    // The value at index: its name into name (room for *nameSize
    // characters, the NUL included; the length without NUL comes back), its
    // type, its data into data (room for *dataSize bytes; the size used
    // comes back). Fails when there is no such value or a buffer is too
    // small.
    virtual bool EnumValue(Key key, DWORD index, char* name, DWORD* nameSize, DWORD* type,
                           BYTE* data, DWORD* dataSize) = 0;
    // The name of the subkey at index (room for nameSize characters).
    virtual bool EnumKey(Key key, DWORD index, char* name, DWORD nameSize) = 0;
    // The value called name, as EnumValue gives it.
    virtual bool QueryValue(Key key, const char* name, DWORD* type, BYTE* data,
                            DWORD* dataSize) = 0;
};

// The port names in the order the registry gives them, repeats included
// (the port list drops them).
std::vector<std::string> RegistryPortNames(RegistryView& registry);

}  // namespace platform

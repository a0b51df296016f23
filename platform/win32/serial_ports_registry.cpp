// The serial ports of this system from the registry (platform/
// registry_ports.h), read through the Win32 registry functions.
#include "platform/win32/windows_api.h"

#include "platform/registry_ports.h"
#include "platform/serial_ports.h"

namespace platform {
namespace {

class SystemRegistry final : public RegistryView {
  public:
    DWORD Version() override {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        return ::GetVersion();
#pragma GCC diagnostic pop
    }

    bool OpenKey(Key parent, const std::string& subKey, Key* key) override {
        HKEY opened = nullptr;
        HKEY from = parent != nullptr ? static_cast<HKEY>(parent) : HKEY_LOCAL_MACHINE;
        if (::RegOpenKeyExA(from, subKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
            return false;
        }
        *key = opened;
        return true;
    }

    void CloseKey(Key key) override {
        ::RegCloseKey(static_cast<HKEY>(key));
    }

    bool EnumValue(Key key, DWORD index, char* name, DWORD* nameSize, DWORD* type, BYTE* data,
                   DWORD* dataSize) override {
        return ::RegEnumValueA(static_cast<HKEY>(key), index, name, nameSize, nullptr, type, data,
                               dataSize) == ERROR_SUCCESS;
    }

    bool EnumKey(Key key, DWORD index, char* name, DWORD nameSize) override {
        return ::RegEnumKeyA(static_cast<HKEY>(key), index, name, nameSize) == ERROR_SUCCESS;
    }

    bool QueryValue(Key key, const char* name, DWORD* type, BYTE* data, DWORD* dataSize) override {
        return ::RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, type, data, dataSize) ==
               ERROR_SUCCESS;
    }
};

}  // namespace

bool EnumerateSerialPorts(std::vector<SerialPortInfo>* ports, std::string*) {
    ports->clear();
    SystemRegistry registry;
    for (const std::string& name : RegistryPortNames(registry)) {
        ports->push_back(SerialPortInfo{name, "", ""});
    }
    return true;
}

}  // namespace platform
